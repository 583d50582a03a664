// The model adapter with a GL context: whole files made by the writer and the real-world corpus
// turned into materials and mesh objects.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "collision/CollideeObject.h"
#include "models/3DSFileAdapter.h"
#include "models/Writer3DS.h"
#include "platform/EGL.h"
#include "scene/Material.h"
#include "scene/TerrainObject.h"
#include "scene/TgaWriter.h"
#include "tests/support/GLTestContext.h"
#include "tests/support/TempDir.h"

namespace qv {
namespace {

namespace fs = std::filesystem;

// A flat 10 x 10 square (file x-y plane) named `name`, optionally with one material group.
TMesh3DS Square(const std::string& name, const std::string& material = "") {
  TMesh3DS mesh;
  mesh.name = name;
  mesh.vertices = {{0, 0, 0}, {10, 0, 0}, {10, 10, 0}, {0, 10, 0}};
  mesh.faces = {{0, 1, 2, 0}, {0, 2, 3, 0}};
  if (!material.empty()) mesh.matGroups = {{material, {0, 1}}};
  return mesh;
}

TMaterial3DS MaterialNamed(const std::string& name, const std::string& texture = "") {
  TMaterial3DS material;
  material.name = name;
  material.ambient = {0.2f, 0.2f, 0.2f};
  material.diffuse = {0.6f, 0.5f, 0.4f};
  material.specular = {0.9f, 0.9f, 0.9f};
  material.shininess = 0.5f;
  material.texture.map.name = texture;
  return material;
}

class MeshAdapterTest : public ::testing::Test {
 protected:
  test::GLTestContext ctx{64, 64};
  test::TempDir dir;
};

TEST_F(MeshAdapterTest, FileWithoutMaterialsGetsTheDefaultMaterial) {
  TWriter3DS writer;
  writer.AddMesh(Square("Named", "DEFAULT"));
  writer.AddMesh(Square("Other", "Stone"));
  writer.AddMesh(Square("Bare"));
  writer.Save(dir.Path() / "m.3ds");
  T3DSFileAdapter adapter((dir.Path() / "m.3ds").string());
  ASSERT_EQ(adapter.MaterialCount(), 1);
  EXPECT_EQ(adapter.MaterialName(0), "Default");
  TMaterial* fallback = adapter.GetMaterial(0);
  EXPECT_EQ(fallback->Diffuse, (TColor{0.8f, 0.8f, 0.8f, 1}));
  ASSERT_EQ(adapter.ObjectCount(), 3);
  EXPECT_EQ(adapter.GetObject(0)->GetFaceGroup(0).Material, fallback) << "found in any case";
  EXPECT_EQ(adapter.GetObject(1)->GetFaceGroup(0).Material, nullptr);
  ASSERT_EQ(adapter.GetObject(2)->FaceGroupCount(), 1);
  EXPECT_EQ(adapter.GetObject(2)->GetFaceGroup(0).Material, nullptr);
}

TEST_F(MeshAdapterTest, MaterialTableIsSortedAndRefusesNamesDifferingOnlyInCase) {
  TWriter3DS writer;
  writer.AddMaterial(MaterialNamed("b"));
  writer.AddMaterial(MaterialNamed("Stone"));
  writer.AddMaterial(MaterialNamed("a"));
  writer.AddMesh(Square("Box", "stone"));
  writer.Save(dir.Path() / "ok.3ds");
  T3DSFileAdapter adapter((dir.Path() / "ok.3ds").string());
  ASSERT_EQ(adapter.MaterialCount(), 3);
  EXPECT_EQ(adapter.MaterialName(0), "a");
  EXPECT_EQ(adapter.MaterialName(1), "b");
  EXPECT_EQ(adapter.MaterialName(2), "Stone");
  EXPECT_EQ(adapter.GetObject(0)->GetFaceGroup(0).Material, adapter.FindMaterial("STONE"));
  EXPECT_NE(adapter.FindMaterial("STONE"), nullptr);

  writer.AddMaterial(MaterialNamed("STONE"));
  writer.Save(dir.Path() / "twice.3ds");
  try {
    T3DSFileAdapter twice((dir.Path() / "twice.3ds").string());
    FAIL() << "duplicate material accepted";
  } catch (const EGL& e) {
    const std::string message = e.what();
    EXPECT_NE(message.find("twice.3ds"), std::string::npos) << message;
    EXPECT_NE(message.find("STONE"), std::string::npos) << message;
  }
}

TEST_F(MeshAdapterTest, AccentedMaterialNamesMatchInAnyCase) {
  TWriter3DS writer;
  writer.AddMaterial(
      MaterialNamed("\xE9"
                    "corce"));
  writer.AddMesh(Square("Tree",
                        "\xC9"
                        "CORCE"));
  writer.Save(dir.Path() / "bark.3ds");
  T3DSFileAdapter adapter((dir.Path() / "bark.3ds").string());
  ASSERT_EQ(adapter.MaterialCount(), 1);
  EXPECT_NE(adapter.GetMaterial(0), nullptr);
  EXPECT_EQ(adapter.GetObject(0)->GetFaceGroup(0).Material, adapter.GetMaterial(0));

  writer.AddMaterial(
      MaterialNamed("\xC9"
                    "CORCE"));
  writer.Save(dir.Path() / "twice.3ds");
  EXPECT_THROW(T3DSFileAdapter((dir.Path() / "twice.3ds").string()), EGL);
}

TEST_F(MeshAdapterTest, MeshNamesChooseTerrainCollideeOrPlainMesh) {
  TWriter3DS writer;
  for (const char* name : {"terGround", "colWall", "Terrace", "Column", "tercolumn", "box"})
    writer.AddMesh(Square(name));
  writer.Save(dir.Path() / "classes.3ds");
  T3DSFileAdapter adapter((dir.Path() / "classes.3ds").string());
  ASSERT_EQ(adapter.ObjectCount(), 6);
  auto terrain = [&](int i) {
    return dynamic_cast<TTerrainObject*>(adapter.GetObject(i)) != nullptr;
  };
  auto collidee = [&](int i) {
    return dynamic_cast<TCollideeObject*>(adapter.GetObject(i)) != nullptr;
  };
  EXPECT_TRUE(terrain(0));
  EXPECT_TRUE(collidee(1));
  EXPECT_FALSE(terrain(2) || collidee(2));
  EXPECT_FALSE(terrain(3) || collidee(3));
  EXPECT_TRUE(terrain(4));
  EXPECT_FALSE(terrain(5) || collidee(5));
  std::string name;
  adapter.GetObject(3)->GetName(name);
  EXPECT_EQ(name, "Column") << "objects keep the file's mesh order";
}

TEST_F(MeshAdapterTest, ReleaseChunksChooseTheWinding) {
  struct TCase {
    uint32_t meshRelease, fileRelease;  // chunk values, 0 = chunk left out
    int level;                          // expected release level
  };
  for (const TCase& c : {TCase{3, 2, 2}, TCase{1, 3, 2}, TCase{0, 0, 2}, TCase{2, 1, 1}}) {
    TWriter3DS writer;
    writer.meshRelease = c.meshRelease;
    writer.fileRelease = c.fileRelease;
    writer.AddMesh(Square("Floor"));
    const fs::path file = dir.Path() / "release.3ds";
    writer.Save(file);
    T3DSFileAdapter adapter(file.string());
    EXPECT_EQ(adapter.ReleaseLevel(), c.level) << c.meshRelease << "/" << c.fileRelease;
    // The square winds counter-clockwise about the file's up axis: release 3 lights it from above.
    EXPECT_FLOAT_EQ(adapter.GetObject(0)->GetNormals()[0].y, c.level == 2 ? 1.f : -1.f);
  }
}

TEST_F(MeshAdapterTest, TexturesComeFromTheModelsFolderAndFailuresAreTheCallersChoice) {
  fs::create_directories(dir.Path() / "Level1");
  WriteTga(dir.Path() / "Level1" / "bricks.tga", MakeTgaImage(8, 8, 24, 200, 80, 60));
  TWriter3DS writer;
  writer.AddMaterial(MaterialNamed("Wall", "BRICKS.BMP"));
  writer.AddMaterial(MaterialNamed("Lost", "nowhere.jpg"));
  TMesh3DS mesh = Square("Box", "Wall");
  mesh.matGroups.push_back({"Lost", {}});
  writer.AddMesh(mesh);
  const fs::path file = dir.Path() / "Level1" / "Objects.3DS";
  writer.Save(file);
  const std::string asWritten = (dir.Path() / "level1").string() + "\\objects.3ds";

  // The game: the level fails with the texture's error.
  try {
    T3DSFileAdapter game(asWritten);
    FAIL() << "missing texture accepted";
  } catch (const EGL& e) {
    EXPECT_NE(std::string(e.what()).find("Error Loading Texture:"), std::string::npos) << e.what();
    EXPECT_NE(std::string(e.what()).find("nowhere.tga"), std::string::npos) << e.what();
  }

  // A tool: warned, drawn untextured, everything else as the file says.
  std::vector<std::string> warnings;
  T3DSFileAdapter tool(asWritten, TTextureFailure::WarnUntextured,
                       [&](const std::string& message) { warnings.push_back(message); });
  ASSERT_EQ(warnings.size(), 1u);
  EXPECT_NE(warnings[0].find("Lost"), std::string::npos) << warnings[0];
  TMaterial* wall = tool.FindMaterial("wall");
  ASSERT_NE(wall, nullptr);
  TMaterial* lost = tool.FindMaterial("Lost");
  ASSERT_NE(lost, nullptr);
  EXPECT_EQ(lost->Texture, nullptr);
  // The writer stores colours as bytes.
  EXPECT_NEAR(lost->Diffuse.g, 0.5f, 1.0f / 255);
  EXPECT_EQ(lost->Specular, wall->Specular) << "the rest of the material as the file says";
  ASSERT_NE(wall->Texture, nullptr);
  tool.UploadTextures();
  EXPECT_TRUE(glIsTexture(wall->Texture->TextureName));
  EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(MeshAdapterTest, WhiteAndDullReachEveryMaterial) {
  TWriter3DS writer;
  writer.AddMaterial(MaterialNamed("A"));
  writer.AddMaterial(MaterialNamed("B"));
  writer.AddMesh(Square("Box", "A"));
  writer.Save(dir.Path() / "w.3ds");
  T3DSFileAdapter adapter((dir.Path() / "w.3ds").string());
  adapter.SetMaterialsWhite();
  adapter.SetMaterialsDull();
  for (int i = 0; i < adapter.MaterialCount(); ++i) {
    const TMaterial& m = *adapter.GetMaterial(i);
    EXPECT_EQ(m.Ambient, (TColor{1, 1, 1, 1}));
    EXPECT_EQ(m.Diffuse, (TColor{1, 1, 1, 1}));
    EXPECT_EQ(m.Specular, (TColor{0.1f, 0.1f, 0.1f, 1}));
    EXPECT_EQ(m.Shininess, 55);
    EXPECT_EQ(m.SavedShininess, 55);
  }
}

// The meshes expected.txt lists for each corpus file, in order.
std::map<std::string, std::vector<std::string>> ExpectedCorpusMeshes() {
  std::ifstream in(fs::path(QV_CORPUS_DIR) / "3ds" / "expected.txt");
  std::map<std::string, std::vector<std::string>> expected;
  std::string line, current;
  while (std::getline(in, line)) {
    if (line.starts_with("== ")) {
      current = line.substr(3);
      expected[current];
    } else if (line.starts_with("mesh ")) {
      std::istringstream words(line.substr(5));
      std::string name;
      words >> name;
      expected[current].push_back(name);
    }
  }
  return expected;
}

TEST_F(MeshAdapterTest, EveryCorpusFileLoads) {
  const auto expected = ExpectedCorpusMeshes();
  int files = 0;
  for (const auto& entry : fs::directory_iterator(fs::path(QV_CORPUS_DIR) / "3ds")) {
    const std::string name = entry.path().filename().string();
    std::string lower = name;
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (!lower.ends_with(".3ds") || name == "empty.3ds") continue;
    SCOPED_TRACE(name);
    ++files;
    // The corpus names textures it does not ship.
    T3DSFileAdapter adapter(entry.path().string(), TTextureFailure::WarnUntextured);
    const auto it = expected.find(name);
    ASSERT_NE(it, expected.end());
    ASSERT_EQ(adapter.ObjectCount(), static_cast<int>(it->second.size()));
    for (int i = 0; i < adapter.ObjectCount(); ++i) {
      std::string meshName;
      adapter.GetObject(i)->GetName(meshName);
      EXPECT_EQ(meshName, it->second[i]);
      EXPECT_GT(adapter.GetObject(i)->VertexCount(), 0);
    }
    EXPECT_GE(adapter.MaterialCount(), 1);
  }
  EXPECT_EQ(files, 9);
}

}  // namespace
}  // namespace qv
