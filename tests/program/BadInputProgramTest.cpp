// The real program given broken level folders and settings: each ends as designed - the level's
// defaults, or the error path with a box and a log line naming the file and the problem - never
// with a crash. The same runs happen under the sanitizers in the sanitizer build.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <random>
#include <string>

#include "shell/GLApplication.h"
#include "tests/support/ProgramFolder.h"

namespace {

namespace fs = std::filesystem;
using qv::test::ProgramFolder;

constexpr const char* kShowcase = "levels/Showcase/";

bool Logged(const std::vector<std::string>& log, const std::string& line) {
  return std::find(log.begin(), log.end(), line) != log.end();
}

std::string RandomBytes(std::size_t count) {
  std::mt19937 random(7);
  std::string bytes(count, '\0');
  for (char& c : bytes) c = static_cast<char>(random() & 0xFF);
  return bytes;
}

// Every number of the start level set to what no level means: non-finite ones, which read as no
// number, and finite ones beyond the game's bounds.
std::string LevelOfBadNumbers() {
  return "[Player]\nFogStart=nan\nFogEnd=inf\nFogColorR=1e999\nFogColorG=-1e300\nFogColorB=1e39\n"
         "Startingxpos=1e300\nStartingypos=nan\nStartingzpos=-inf\nHeading=1e30\nTilt=1e999\n"
         "UnitsPerSec=1e20\nAbleToFly=1e999\noverrideMaterialAmbientDiffuse=nan\n"
         "[Hunter]\nfilename=ghosts\\Shade.3ds\nclassname=TDirectGhostObject\nInitialxpos=2e6\n"
         "Initialypos=nan\nInitialzpos=inf\nInitialHeading=1e999\nUnitsPerSec=3e38\n"
         "InitialState=99999999999\n"
         "[Ferry]\nfilename=Lantern.3ds\nclassname=TShuttleGhostObject\nMoveVecx=1e300\n"
         "MoveVecy=nan\nMoveVecz=-1e7\n"
         "[Watcher]\nfilename=ghosts\\Shade.3ds\nclassname=TInFrustumGhostObject\n"
         "ViewingAngle=1e300\nInitialState=-2147483648\n";
}

std::string Beyond(const std::string& section, const std::string& key, const std::string& text,
                   const std::string& fallback) {
  return "Level file levels/Showcase/Level.ini: [" + section + "] " + key + " = \"" + text +
         "\" lies beyond +-1000000, the default " + fallback + " is used";
}

TEST(BadInputProgramTest, BrokenLevelsAndSettingsEndAsDesignedNeverInACrash) {
  struct Case {
    const char* name;
    std::function<void(const ProgramFolder&)> spoil;
    int exitCode;
    std::vector<std::string> logged;  // for exit code 1, the first is also the box text
  };
  const std::string settings = "[Levels]\na=levels\\Meadow\nb=levels\\Tiny\nc=levels\\Showcase\n";
  const std::vector<Case> cases = {
      {"no Objects.3DS",
       [](const ProgramFolder& f) { fs::remove(f.Path() / kShowcase / "Objects.3DS"); },
       1,
       {"levels\\Showcase\\Objects.3DS: cannot open the file: No such file or directory"}},
      {"Objects.3DS that is no model file",
       [](const ProgramFolder& f) {
         f.Write(fs::path(kShowcase) / "Objects.3DS", "\x01\x02" + RandomBytes(300));
       },
       1,
       {"levels\\Showcase\\Objects.3DS: holds no meshes; a level's geometry needs at least one"}},
      {"no ghost model",
       [](const ProgramFolder& f) { fs::remove(f.Path() / kShowcase / "ghosts/Shade.3ds"); },
       1,
       {"levels\\Showcase\\ghosts\\Shade.3ds: cannot open the file: No such file or directory"}},
      {"corrupt ghost model",
       [](const ProgramFolder& f) {
         f.Write(fs::path(kShowcase) / "ghosts/Shade.3ds", "MM\xff\xff\xff\x7f" + RandomBytes(90));
       },
       1,
       {"levels\\Showcase\\ghosts\\Shade.3ds: Chunk 0x4D4D at offset 0: length 2147483647 runs "
        "past the end of the file (96 bytes)"}},
      // Not a model file at all: it opens as one without meshes, as any unknown root chunk does.
      {"ghost model of random bytes",
       [](const ProgramFolder& f) {
         f.Write(fs::path(kShowcase) / "ghosts/Shade.3ds", "\x01\x02" + RandomBytes(200));
       },
       0,
       {"world.freed"}},
      {"no texture",
       [](const ProgramFolder& f) { fs::remove(f.Path() / kShowcase / "stone.tga"); },
       1,
       {"Error Loading Texture:levels/Showcase/stone.tga"}},
      {"no player model",
       [](const ProgramFolder& f) { fs::remove(f.Path() / "objects/Player.3ds"); },
       1,
       {"objects\\Player.3ds: cannot open the file: No such file or directory"}},
      {"Level.ini of random bytes",
       [](const ProgramFolder& f) {
         f.Write(fs::path(kShowcase) / "Level.ini", RandomBytes(4096));
       },
       0,
       {"  world.created anew, loading level:2", "world.freed"}},
      {"bad numbers in the level",
       [](const ProgramFolder& f) {
         f.Write(fs::path(kShowcase) / "Level.ini", LevelOfBadNumbers());
       },
       0,
       {Beyond("Player", "Startingxpos", "1e300", "0"), Beyond("Player", "Heading", "1e30", "0"),
        Beyond("Player", "UnitsPerSec", "1e20", "2"), Beyond("Hunter", "Initialxpos", "2e6", "0"),
        Beyond("Hunter", "UnitsPerSec", "3e38", "1"), Beyond("Ferry", "MoveVecx", "1e300", "0.2"),
        Beyond("Ferry", "MoveVecz", "-1e7", "0.2"),
        Beyond("Watcher", "ViewingAngle", "1e300", "35"), "world.freed"}},
      {"bad numbers in the settings",
       [&](const ProgramFolder& f) {
         f.Write("quorvantille.ini",
                 "[Window]\nWidth=nan\nHeight=1e999\nBits=inf\n"
                 "FullScreen=99999999999\n[GL]\nFog=-inf\n" +
                     settings);
       },
       0,
       {"world.freed"}},
      {"huge size in the settings",
       [&](const ProgramFolder& f) {
         f.Write("quorvantille.ini", "[Window]\nWidth=2147483647\n" + settings);
       },
       1,
       {"Settings file @/quorvantille.ini: [Window] Width is 2147483647; it must lie in "
        "0..16384"}},
      {"empty key setting",
       [&](const ProgramFolder& f) { f.Write("quorvantille.ini", "[Keys]\nFogKey=\n" + settings); },
       1,
       {"Settings file @/quorvantille.ini: [Keys] FogKey is empty; it needs one key character"}},
      {"Bits=300",
       [&](const ProgramFolder& f) {
         f.Write("quorvantille.ini", "[Window]\nBits=300\n" + settings);
       },
       1,
       {"Settings file @/quorvantille.ini: [Window] Bits is 300; it must lie in 0..255"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const ProgramFolder folder;
    c.spoil(folder);
    const auto run = folder.Run("QV_QUIT_AFTER_MS=500");
    EXPECT_EQ(run.exitCode, c.exitCode) << run.err;
    for (std::string line : c.logged) {
      if (const auto at = line.find('@'); at != std::string::npos)
        line.replace(at, 1, folder.Path().string());
      EXPECT_TRUE(Logged(run.log, line)) << line << "\n" << ::testing::PrintToString(run.log);
    }
    ASSERT_FALSE(run.log.empty());
    if (c.exitCode == 1) {
      std::string box = c.logged.front();
      if (const auto at = box.find('@'); at != std::string::npos)
        box.replace(at, 1, folder.Path().string());
      EXPECT_EQ(run.err, "Error: " + qv::TGLApplication::ErrorText(box) + "\n");
      EXPECT_EQ(run.log.back(), "KillGLWindow done");
    } else {
      EXPECT_EQ(run.log.back(), "end program");
    }
  }
}

}  // namespace
