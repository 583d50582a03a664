// `qv-tool check` as a process: one small level that passes, broken in one way per case, with
// the lines and exit code each break gives; and the bundled demo levels, which must pass.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "models/Writer3DS.h"
#include "scene/TgaWriter.h"
#include "tests/support/TempDir.h"
#include "tests/support/WorldMesh.h"

namespace qv {
namespace {

namespace fs = std::filesystem;

struct TRun {
  int exitCode = -1;
  std::vector<std::string> lines;  // standard output, the closing count left out
};

// Runs `qv-tool check ARGS` in `dir`.
TRun Check(const std::string& args, const fs::path& dir) {
  const std::string command = "cd '" + dir.string() + "' && '" + QV_BUILD_DIR + "/qv-tool' check " +
                              args + " >'" + (dir / "out.txt").string() + "' 2>&1";
  const int status = std::system(command.c_str());
  TRun run;
  run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  std::ifstream out(dir / "out.txt");
  for (std::string line; std::getline(out, line);) run.lines.push_back(line);
  if (!run.lines.empty()) run.lines.pop_back();
  return run;
}

// An axis box in world axes, one material group over its 12 triangles unless `material` is "".
TMesh3DS Box(const std::string& name, TVector lo, TVector hi, const std::string& material = "m") {
  test::TWorldMesh m(name);
  m.Box(lo, hi);
  if (!material.empty()) m.Group({0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}, material);
  return m.mesh;
}

TMesh3DS Floor(const std::string& name, float half, float y) {
  test::TWorldMesh m(name);
  m.Rect(-half, -half, half, half, y);
  m.Group({0, 1});
  return m.mesh;
}

// A 15 x 15 grid of shared vertices standing at x = 15: 225 in the file, and, without smoothing
// data, one vertex per corner of its 392 triangles once built.
TMesh3DS Fence() {
  test::TWorldMesh m("colFence");
  for (int j = 0; j < 15; ++j)
    for (int i = 0; i < 15; ++i) m.Vertex({15, float(j), float(i - 7)});
  std::vector<std::uint16_t> all;
  for (int j = 0; j < 14; ++j)
    for (int i = 0; i < 14; ++i) {
      const auto a = static_cast<std::uint16_t>(j * 15 + i);
      m.mesh.faces.push_back({a, std::uint16_t(a + 1), std::uint16_t(a + 16), 0});
      m.mesh.faces.push_back({a, std::uint16_t(a + 16), std::uint16_t(a + 15), 0});
      all.push_back(static_cast<std::uint16_t>(all.size()));
      all.push_back(static_cast<std::uint16_t>(all.size()));
    }
  m.Group(all);
  return m.mesh;
}

// 170 thin triangles standing on two lines at x = -10 and 10: 510 vertices, whose bounds hold
// the level's middle while no triangle comes near it.
TMesh3DS Posts() {
  test::TWorldMesh m("colPosts");
  std::vector<std::uint16_t> all;
  for (int k = 0; k < 170; ++k) {
    const float x = k % 2 ? 10.0f : -10.0f, z = -10 + 0.1f * float(k);
    all.push_back(static_cast<std::uint16_t>(m.Triangle({x, 0, z}, {x, 4, z}, {x, 0, z + 0.05f})));
  }
  m.Group(all);
  return m.mesh;
}

TMaterial3DS Material(const std::string& name, const std::string& texture = "") {
  TMaterial3DS material;
  material.name = name;
  material.texture.map.name = texture;
  return material;
}

void WriteModel(const fs::path& file, const std::vector<TMesh3DS>& meshes,
                const std::vector<TMaterial3DS>& materials = {Material("m")}) {
  TWriter3DS writer;
  for (const TMaterial3DS& material : materials) writer.AddMaterial(material);
  for (const TMesh3DS& mesh : meshes) writer.AddMesh(mesh);
  writer.Save(file);
}

const std::string kPlayer = "[Player]\nStartingypos=2\n";
// Written in another letter case and with "\" as on Windows: that is no problem.
const std::string kGhost =
    "[g]\nfilename=GHOSTS\\G.3DS\nclassname=TSearchGhostObject\nInitialxpos=5\nInitialypos=2\n";

// A game folder with objects/Player.3ds and the level levels/L: a floor, a block, one ghost.
struct TGameFolder {
  test::TempDir dir;
  fs::path level = dir.Path() / "levels/L";
  std::vector<TMesh3DS> geometry = {Floor("terFloor", 20, 0),
                                    Box("colBlock", {10, 0, 10}, {12, 3, 12})};

  TGameFolder() {
    fs::create_directories(dir.Path() / "objects");
    fs::create_directories(level / "ghosts");
    WriteModel(dir.Path() / "objects/Player.3ds",
               {Box("body", {-0.5f, -1, -0.5f}, {0.5f, 1, 0.5f})});
    WriteModel(level / "ghosts/g.3ds", {Box("body", {-0.5f, -1, -0.5f}, {0.5f, 1, 0.5f})});
    WriteModel(level / "Objects.3DS", geometry);
    Ini(kPlayer + kGhost);
  }
  void Ini(const std::string& text) const { std::ofstream(level / "Level.ini") << text; }
};

struct TCase {
  const char* name;
  std::function<void(TGameFolder&)> breakIt;
  int exitCode;
  std::vector<std::string> lines;  // exactly, in order
};

const std::string kIni = "levels/L/Level.ini: ";
const std::string kObjects = "levels/L/Objects.3DS: ";
const std::string kPlain = ": it is a plain ghost that drifts straight on and never hides";
const std::string kStops = "; the game stops with \"Error Loading Texture\"";
const std::string kBlock =
    ", more than 500: actors meet it as one solid block, its doorways closed";
const std::string kInside =
    " inside the bounds of the large collision mesh \"colPosts\", which actors meet as one solid "
    "block";

const TCase kCases[] = {
    {"a sound level", [](TGameFolder&) {}, 0, {}},
    {"no level file",
     [](TGameFolder& f) { fs::remove(f.level / "Level.ini"); },
     1,
     {"error: " + kIni + "no such file: the game ignores a level folder without it"}},
    {"files the game cannot read",
     [](TGameFolder& f) {
       f.Ini(kPlayer + kGhost + "[h]\nfilename=ghosts\\gone.3ds\nclassname=TGhostObject\n");
       fs::remove(f.dir.Path() / "objects/Player.3ds");
       std::ofstream(f.level / "Objects.3DS") << "not a model";
       std::ofstream(f.level / "ghosts/g.3ds").close();
     },
     1,
     {"error: " + kIni + "[h] filename \"ghosts\\gone.3ds\": no such file",
      "error: objects/Player.3ds: no such file: the player's model (looked up in the game folder)",
      "error: " + kObjects +
          "it holds no meshes, and the game cannot load a level without "
          "geometry",
      "error: levels/L/GHOSTS/G.3DS: the file is empty"}},
    {"level-file values the game replaces or ignores",
     [](TGameFolder& f) {
       f.Ini(kPlayer + "FogEnd=far\nStartingxpos=1e9\nAbleToFly=yes\n" + kGhost +
             "[Notes]\nauthor=me\n"
             "[g2]\nfilename=ghosts\\g.3ds\nclassname=tsearchghostobject\n"
             "[g3]\nfilename=ghosts\\g.3ds\nclassname=Wisp\n"
             "[g4]\nfilename=ghosts\\g.3ds\nclassname=TSearchGhostObject\nInitialxpos=-5\n"
             "Initialypos=2\nInitialState=7\n"
             "[G]\nfilename=ghosts\\g.3ds\n");
     },
     0,
     {"warning: " + kIni + "[Player] FogEnd = \"far\" is not a number, the default 1000 is used",
      "warning: " + kIni +
          "[Player] Startingxpos = \"1e9\" lies beyond +-1000000, the default 0 "
          "is used",
      "warning: " + kIni + "[Player] AbleToFly = \"yes\" is not an integer, the default 0 is used",
      "warning: " + kIni + "section [Notes] has no \"filename\": the game ignores it",
      "warning: " + kIni +
          "[g2] classname \"tsearchghostobject\" is spelled in another letter "
          "case than \"TSearchGhostObject\" (class names are case-sensitive)" +
          kPlain,
      "warning: " + kIni + "[g3] classname \"Wisp\" names no ghost class" + kPlain,
      "warning: " + kIni + "[g4] InitialState = 7 is not 1, 2 or 3: the ghost starts free",
      "warning: " + kIni +
          "section [G] appears again: the game reads only the first section of "
          "that name (letter case aside)"}},
    {"textures that cannot be loaded",
     [](TGameFolder& f) {
       WriteBytes(f.level / "bad.tga", {0, 0, 10, 0, 0, 0, 0, 0, 0, 0, 0, 0});
       WriteModel(f.level / "Objects.3DS", f.geometry,
                  {Material("m"), Material("stone", "stone.jpg"), Material("bad", "BAD.TGA")});
     },
     1,
     {"error: " + kObjects + "material \"stone\": texture levels/L/stone.tga: no such file" +
          kStops,
      "error: " + kObjects +
          "material \"bad\": texture levels/L/BAD.tga: not an uncompressed "
          "true-colour TGA (no id, colour map, origin)" +
          kStops}},
    {"meshes that are not what their author meant",
     [](TGameFolder& f) {
       std::vector<TMesh3DS> meshes = f.geometry;
       meshes.push_back(Floor("TerHill", 3, 9));
       meshes.push_back(Box("ColWall", {-19, 0, -19}, {-18, 2, -18}));
       meshes.push_back(Box("rock", {-17, 0, -19}, {-16, 1, -18}, ""));
       meshes.push_back(Fence());
       meshes.push_back(Box("deco", {-15, 0, -19}, {-14, 1, -18}, "nothere"));
       meshes.push_back(Posts());
       WriteModel(f.level / "Objects.3DS", meshes);
     },
     0,
     {"warning: " + kObjects +
          "mesh \"TerHill\" begins like a terrain name but terrain names "
          "begin with \"ter\" (lower case); it is a plain mesh",
      "warning: " + kObjects +
          "mesh \"ColWall\" begins like a collision-mesh name but "
          "collision-mesh names begin with \"col\" (lower case); it is a "
          "plain mesh",
      "warning: " + kObjects + "mesh \"rock\" has no material assignments: it is never drawn",
      "warning: " + kObjects +
          "collision mesh \"colFence\" has 1176 vertices after smoothing "
          "splits (225 in the file)" +
          kBlock,
      "warning: " + kObjects +
          "mesh \"deco\": material \"nothere\" is not in the file, so its 12 "
          "face(s) are never drawn",
      "warning: " + kObjects + "collision mesh \"colPosts\" has 510 vertices" + kBlock,
      "warning: " + kIni + "[Player] starts at (0, 2, 0)" + kInside,
      "warning: " + kIni + "[g] starts at (5, 2, 0)" + kInside}},
    {"actors that cannot play",
     [](TGameFolder& f) {
       f.Ini(
           "[Player]\nStartingxpos=10\nStartingypos=1.5\nStartingzpos=11\n"
           "[g]\nfilename=ghosts\\g.3ds\nclassname=TSearchGhostObject\nInitialxpos=30\n"
           "Initialypos=2\n"
           "[low]\nfilename=ghosts\\g.3ds\nclassname=TDirectGhostObject\nInitialxpos=-5\n"
           "Initialypos=-1\n");
     },
     1,
     {"error: " + kIni + "[Player] starts at (10, 1.5, 11) inside collision mesh \"colBlock\"",
      "error: " + kIni +
          "[g] starts at (30, 2, 0) over no terrain: it cannot move (actors walk "
          "only where terrain lies below them)",
      "error: " + kIni +
          "[low] starts at (-5, -1, 0), not above the terrain surface there (y = "
          "0): it cannot move (actors stand only on terrain below them)"}},
};

TEST(CheckCommand, EachKindOfProblemGivesItsLinesAndExitCode) {
  for (const TCase& c : kCases) {
    SCOPED_TRACE(c.name);
    TGameFolder folder;
    c.breakIt(folder);
    const TRun run = Check("'levels\\L'", folder.dir.Path());
    EXPECT_EQ(run.exitCode, c.exitCode);
    ASSERT_EQ(run.lines.size(), c.lines.size()) << ::testing::PrintToString(run.lines);
    for (std::size_t i = 0; i < c.lines.size(); ++i) EXPECT_EQ(run.lines[i], c.lines[i]);
  }
}

TEST(CheckCommand, TheDemoLevelsHaveNoErrorsAndArgumentsAreChecked) {
  const fs::path build = QV_BUILD_DIR;
  for (const char* level : {"levels/Meadow", "levels/Tiny", "levels/Showcase", "levels/Stress"}) {
    SCOPED_TRACE(level);
    const TRun run = Check(std::string(level) + " --game-dir '" + build.string() + "'", build);
    EXPECT_EQ(run.exitCode, 0) << ::testing::PrintToString(run.lines);
  }
  test::TempDir dir;
  EXPECT_EQ(Check("", dir.Path()).exitCode, 2);
  EXPECT_EQ(Check("a b", dir.Path()).exitCode, 2);
  EXPECT_EQ(Check("a --game-dir", dir.Path()).exitCode, 2);
  const TRun none = Check("nowhere", dir.Path());
  EXPECT_EQ(none.exitCode, 1);
  EXPECT_EQ(none.lines, std::vector<std::string>{"error: nowhere/: no such folder"});
}

}  // namespace
}  // namespace qv
