// `qv-tool view` run as a level author runs it, on the test display: the screenshot of a
// writer-made textured, smoothed model must show it lit from above and textured.
#include <gtest/gtest.h>
#include <png.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "models/Writer3DS.h"
#include "scene/TgaWriter.h"
#include "tests/support/TempDir.h"

namespace qv {
namespace {

namespace fs = std::filesystem;

struct TImage {
  int width = 0, height = 0;
  std::vector<std::uint8_t> rgba;  // top row first
  const std::uint8_t* At(int x, int y) const { return &rgba[(std::size_t(y) * width + x) * 4]; }
};

TImage ReadPng(const fs::path& file) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  TImage result;
  if (!png_image_begin_read_from_file(&image, file.c_str())) return result;
  image.format = PNG_FORMAT_RGBA;
  result.rgba.resize(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, result.rgba.data(), 0, nullptr)) return {};
  result.width = static_cast<int>(image.width);
  result.height = static_cast<int>(image.height);
  return result;
}

struct TRun {
  int status;          // exit code
  std::string output;  // standard output and error
};

TRun RunTool(const std::string& arguments, const fs::path& dir) {
  const fs::path tool = fs::path(QV_BUILD_DIR) / "qv-tool";
  const fs::path log = dir / "output.txt";
  const std::string command = "cd '" + dir.string() + "' && '" + tool.string() + "' " + arguments +
                              " > '" + log.string() + "' 2>&1";
  const int raw = std::system(command.c_str());
  std::ifstream in(log);
  std::stringstream text;
  text << in.rdbuf();
  return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, text.str()};
}

// A UV sphere of radius 5 in smoothing group 1 with texture coordinates, in file axes (z up),
// wound counter-clockwise from outside; its material carries a red and blue checker texture.
void WriteTexturedBall(const fs::path& file, const std::string& textureName) {
  constexpr int kRings = 12, kSegments = 24;
  constexpr float kPi = 3.14159265f;
  TMesh3DS ball;
  ball.name = "Ball";
  for (int r = 0; r <= kRings; ++r) {
    const float polar = kPi * r / kRings;
    for (int s = 0; s <= kSegments; ++s) {
      const float azimuth = 2 * kPi * s / kSegments;
      ball.vertices.push_back({5 * std::sin(polar) * std::cos(azimuth),
                               5 * std::sin(polar) * std::sin(azimuth), 5 * std::cos(polar)});
      ball.texVerts.push_back({4.0f * s / kSegments, 2.0f * r / kRings});
    }
  }
  auto at = [](int r, int s) { return std::uint16_t(r * (kSegments + 1) + s); };
  for (int r = 0; r < kRings; ++r)
    for (int s = 0; s < kSegments; ++s) {
      ball.faces.push_back({at(r, s), at(r + 1, s), at(r + 1, s + 1), 0});
      ball.faces.push_back({at(r, s), at(r + 1, s + 1), at(r, s + 1), 0});
    }
  ball.smoothing.assign(ball.faces.size(), 1);
  TObjMat3DS group{"Checker", {}};
  for (std::size_t f = 0; f < ball.faces.size(); ++f) group.faces.push_back(std::uint16_t(f));
  ball.matGroups = {group};

  TMaterial3DS checker;
  checker.name = "Checker";
  checker.ambient = {0.2f, 0.2f, 0.2f};
  checker.diffuse = {0.6f, 0.6f, 0.6f};
  checker.specular = {0.1f, 0.1f, 0.1f};
  checker.texture.map.name = textureName;

  TWriter3DS writer;
  writer.AddMaterial(checker);
  writer.AddMesh(ball);
  writer.Save(file);
}

void WriteChecker(const fs::path& file) {
  TTgaImage image = MakeTgaImage(16, 16, 24);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) {
      if ((x / 8 + y / 8) % 2)
        SetTgaPixel(image, x, y, 230, 30, 30);
      else
        SetTgaPixel(image, x, y, 30, 30, 230);
    }
  WriteTga(file, image);
}

TEST(ViewCommandTest, ScreenshotShowsAWriterMadeModelLitAndTextured) {
  test::TempDir dir;
  WriteTexturedBall(dir.Path() / "Ball.3ds", "checker.bmp");
  WriteChecker(dir.Path() / "checker.tga");

  const TRun run = RunTool("view Ball.3ds --screenshot shot.png --size 320x240", dir.Path());
  ASSERT_EQ(run.status, 0) << run.output;
  EXPECT_EQ(run.output.find("warning"), std::string::npos) << run.output;
  const TImage shot = ReadPng(dir.Path() / "shot.png");
  ASSERT_EQ(shot.width, 320);
  ASSERT_EQ(shot.height, 240);

  // Textured: both checker colours on the ball.
  int reddish = 0, bluish = 0;
  for (int y = 0; y < shot.height; ++y)
    for (int x = 0; x < shot.width; ++x) {
      const std::uint8_t* p = shot.At(x, y);
      if (p[0] > 2 * p[2] + 40) ++reddish;
      if (p[2] > 2 * p[0] + 40) ++bluish;
    }
  EXPECT_GT(reddish, 2000);
  EXPECT_GT(bluish, 2000);

  // Lit from above: along the centre column, the ball is brighter near its top than near its
  // bottom. Find the ball's rows by where the background (a grey-blue) ends.
  const std::uint8_t* background = shot.At(0, 0);
  auto isBall = [&](int y) {
    const std::uint8_t* p = shot.At(shot.width / 2, y);
    return std::abs(p[0] - background[0]) + std::abs(p[1] - background[1]) +
               std::abs(p[2] - background[2]) >
           30;
  };
  int top = 0, bottom = shot.height - 1;
  while (top < shot.height && !isBall(top)) ++top;
  while (bottom > top && !isBall(bottom)) --bottom;
  ASSERT_GT(bottom - top, 60) << "no ball in the middle of the picture";
  auto brightness = [&](int y) {
    int sum = 0;
    for (int x = shot.width / 2 - 20; x < shot.width / 2 + 20; ++x)
      sum += std::max({shot.At(x, y)[0], shot.At(x, y)[1], shot.At(x, y)[2]});
    return sum / 40;
  };
  const int span = bottom - top;
  EXPECT_GT(brightness(top + span / 5), brightness(bottom - span / 10) + 60);
}

TEST(ViewCommandTest, MissingTextureIsAWarningAndBadInputAnError) {
  test::TempDir dir;
  WriteTexturedBall(dir.Path() / "Ball.3ds", "gone.jpg");
  const TRun missing = RunTool("view Ball.3ds --screenshot shot.png --size 64x64", dir.Path());
  EXPECT_EQ(missing.status, 0) << missing.output;
  EXPECT_NE(missing.output.find("warning"), std::string::npos) << missing.output;
  EXPECT_NE(missing.output.find("gone.tga"), std::string::npos) << missing.output;
  EXPECT_TRUE(fs::exists(dir.Path() / "shot.png"));

  std::ofstream(dir.Path() / "empty.3ds").close();
  const TRun empty = RunTool("view empty.3ds --screenshot e.png", dir.Path());
  EXPECT_EQ(empty.status, 1);
  EXPECT_NE(empty.output.find("empty.3ds"), std::string::npos) << empty.output;
  EXPECT_FALSE(fs::exists(dir.Path() / "e.png"));

  EXPECT_EQ(RunTool("view", dir.Path()).status, 2);
  EXPECT_EQ(RunTool("view Ball.3ds --size 12", dir.Path()).status, 2);
}

TEST(ViewCommandTest, NamesTheMeshesItDoesNotDrawAndWhy) {
  test::TempDir dir;
  TMaterial3DS red;
  red.name = "Red";
  red.diffuse = {1, 0, 0};
  TWriter3DS writer;
  writer.AddMaterial(red);
  struct Case {
    const char* mesh;
    std::vector<TObjMat3DS> groups;
    bool hidden;
    const char* line;  // what the view says; "" for a mesh it draws
  };
  const Case cases[] = {
      {"Seen", {{"red", {0}}}, false, ""},
      {"Plain", {}, false, "not drawn: mesh \"Plain\" has no material assignment"},
      {"Lost",
       {{"Nowhere", {0}}},
       false,
       "not drawn: mesh \"Lost\": 1 face(s) name material \"Nowhere\", which the file does not "
       "hold"},
      {"Veiled", {{"Red", {0}}}, true, "not drawn: mesh \"Veiled\" is flagged hidden"},
  };
  for (const Case& c : cases) {
    TMesh3DS mesh;
    mesh.name = c.mesh;
    mesh.vertices = {{0, 0, 0}, {1, 0, 0}, {0, 0, 1}};
    mesh.faces = {{0, 1, 2, 0}};
    mesh.matGroups = c.groups;
    mesh.hidden = c.hidden;
    writer.AddMesh(mesh);
  }
  writer.Save(dir.Path() / "Mixed.3ds");
  const TRun run = RunTool("view Mixed.3ds --screenshot shot.png --size 64x64", dir.Path());
  EXPECT_EQ(run.status, 0) << run.output;
  for (const Case& c : cases) {
    const bool said = run.output.find(std::string("\"") + c.mesh + "\"") != std::string::npos;
    if (*c.line)
      EXPECT_NE(run.output.find(c.line), std::string::npos) << run.output;
    else
      EXPECT_FALSE(said) << run.output;
  }
}

}  // namespace
}  // namespace qv
