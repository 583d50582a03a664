// `qv-tool playtest` as a process, on a walled 16 x 16 room whose outcome is known: a direct seeker
// ends its games, a plain ghost drifting into a wall is frozen there, the same seed gives the same
// report, and bad arguments or folders end as `check` ends.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "models/Writer3DS.h"
#include "tests/support/TempDir.h"
#include "tests/support/WorldMesh.h"

namespace qv {
namespace {

namespace fs = std::filesystem;

struct TRun {
  int exitCode = -1;
  std::string out, err;
};

std::string ReadAll(const fs::path& file) {
  std::ifstream in(file);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

TMesh3DS Box(const std::string& name, TVector lo, TVector hi) {
  test::TWorldMesh m(name);
  m.Box(lo, hi);
  return m.mesh;
}

void WriteModel(const fs::path& file, const std::vector<TMesh3DS>& meshes) {
  TWriter3DS writer;
  for (const TMesh3DS& mesh : meshes) writer.AddMesh(mesh);
  writer.Save(file);
}

// The game's folder: the player's model, and levels/Room: a floor at y = 0 inside four walls
// whose inner faces stand at x, z = +-8; actors are 1 x 2 x 1 boxes about their origin.
struct TRoomFolder {
  test::TempDir dir;
  fs::path level = dir.Path() / "levels/Room";

  TRoomFolder() {
    fs::create_directories(dir.Path() / "objects");
    fs::create_directories(level);
    const TMesh3DS body = Box("body", {-0.5f, -1, -0.5f}, {0.5f, 1, 0.5f});
    WriteModel(dir.Path() / "objects/Player.3ds", {body});
    WriteModel(level / "ghost.3ds", {body});
    test::TWorldMesh floor("terFloor");
    floor.Rect(-10, -10, 10, 10, 0);
    WriteModel(level / "Objects.3DS",
               {floor.mesh, Box("colNorth", {-9, 0, -9}, {9, 3, -8}),
                Box("colSouth", {-9, 0, 8}, {9, 3, 9}), Box("colWest", {-9, 0, -8}, {-8, 3, 8}),
                Box("colEast", {8, 0, -8}, {9, 3, 8})});
  }
  void Ini(const std::string& text) const { std::ofstream(level / "Level.ini") << text; }

  TRun Playtest(const std::string& args) const {
    const std::string command = "cd '" + dir.Path().string() + "' && '" + QV_BUILD_DIR +
                                "/qv-tool' playtest " + args + " >out.txt 2>err.txt";
    const int status = std::system(command.c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status),
            ReadAll(dir.Path() / "out.txt"), ReadAll(dir.Path() / "err.txt")};
  }
};

// The number after `"key":` in a JSON text (the first such key); NaN when it is missing or null.
double JsonValue(const std::string& json, const std::string& key, std::size_t from = 0) {
  const std::size_t at = json.find("\"" + key + "\":", from);
  if (at == std::string::npos) return std::nan("");
  return std::strtod(json.c_str() + at + key.size() + 3, nullptr);
}

const std::string kPlayer = "[Player]\nStartingypos=2\n";
// Facing +x (heading -90), 4.5 units from the east wall: it drifts there in about 5 seconds.
const std::string kDrifter =
    "[drifter]\nfilename=ghost.3ds\nclassname=TGhostObject\nInitialxpos=3\nInitialypos=1.5\n"
    "Initialzpos=-5\nInitialHeading=-90\n";
const std::string kSeeker =
    "[hunter]\nfilename=ghost.3ds\nclassname=TDirectGhostObject\nInitialxpos=-4\nInitialypos=2\n"
    "Initialzpos=4\nUnitsPerSec=1.5\n";

TEST(PlaytestCommandTest, KnownOutcomesOfASmallRoom) {
  TRoomFolder room;
  room.Ini(kPlayer + kSeeker + kDrifter);
  const TRun run = room.Playtest("levels/Room --minutes 10 --seeds 3 --json");
  ASSERT_EQ(run.exitCode, 0) << run.err;
  const std::string& json = run.out;

  // The direct ghost, wandering, meets the still player: it seeks, finds and ends its games.
  const double started = JsonValue(json, "started"), ended = JsonValue(json, "ended");
  EXPECT_GE(started, 1) << json;
  EXPECT_EQ(ended, started - JsonValue(json, "reset") - JsonValue(json, "running")) << json;
  EXPECT_LT(JsonValue(json, "p90_s"), 400) << json;
  EXPECT_EQ(JsonValue(json, "hunter", json.find("\"seekers\"")), started) << json;
  EXPECT_GE(JsonValue(json, "finds"), ended) << json;  // the player, at least, in each

  // The plain ghost stops at the east wall, its box (half a unit wide) against the wall's face at
  // x = 8, for minutes (the seeker may nudge it).
  const std::size_t drifter = json.find("\"name\":\"drifter\"");
  ASSERT_NE(drifter, std::string::npos) << json;
  EXPECT_GT(JsonValue(json, "frozen_s", drifter), 300) << json;
  const std::size_t at = json.find("\"at\":[", drifter);
  ASSERT_NE(at, std::string::npos) << json;
  EXPECT_NEAR(std::strtod(json.c_str() + at + 6, nullptr), 7.5, 0.05) << json;
}

TEST(PlaytestCommandTest, EachSeedPlaysTheSameGameEveryTime) {
  TRoomFolder room;
  room.Ini(kPlayer + kSeeker + kDrifter);
  for (const char* player : {"still", "wander"}) {
    SCOPED_TRACE(player);
    const std::string args = std::string("levels/Room --minutes 3 --player ") + player;
    const TRun two = room.Playtest(args + " --seeds 2");
    EXPECT_EQ(room.Playtest(args + " --seeds 2").out, two.out);
    // A seed's run does not depend on the runs before it.
    const std::string oneLine = "  seed 1: ";
    const TRun one = room.Playtest(args + " --seeds 1");
    const std::size_t inOne = one.out.find(oneLine), inTwo = two.out.find(oneLine);
    ASSERT_NE(inOne, std::string::npos) << one.out;
    ASSERT_NE(inTwo, std::string::npos) << two.out;
    EXPECT_EQ(one.out.substr(inOne, one.out.find('\n', inOne) - inOne),
              two.out.substr(inTwo, two.out.find('\n', inTwo) - inTwo));
  }
}

TEST(PlaytestCommandTest, BadArgumentsAndFoldersEndAsCheckDoes) {
  TRoomFolder room;
  room.Ini(kPlayer + kDrifter);
  struct TCase {
    std::string args;
    int exitCode;
    std::string err;  // the start of standard error
  };
  const std::string usage = "usage: qv-tool playtest LEVELDIR";
  const TCase cases[] = {
      {"", 2, usage},
      {"levels/Room --minutes 0", 2, usage},
      {"levels/Room --minutes 2x", 2, usage},
      {"levels/Room --seeds", 2, usage},
      {"levels/Room --player run", 2, usage},
      {"levels/Room --json --json", 2, usage},
      {"levels/Room levels/Room", 2, usage},
      {"levels/Nowhere", 1, "error: levels/Nowhere/: no such folder\n"},
      {"levels", 1, "error: levels/Level.ini: no such file"},
      {"levels\\\\ROOM --minutes 1", 0, ""},  // as the settings name folders
  };
  for (const TCase& c : cases) {
    const TRun run = room.Playtest(c.args);
    EXPECT_EQ(run.exitCode, c.exitCode) << c.args;
    EXPECT_EQ(run.err.substr(0, c.err.size()), c.err) << c.args;
    if (c.exitCode != 0) {
      EXPECT_EQ(run.out, "") << c.args;
    }
  }
  fs::remove(room.level / "ghost.3ds");
  const TRun missing = room.Playtest("levels/Room");
  EXPECT_EQ(missing.exitCode, 1);
  EXPECT_NE(missing.err.find("ghost.3ds"), std::string::npos) << missing.err;
}

}  // namespace
}  // namespace qv
