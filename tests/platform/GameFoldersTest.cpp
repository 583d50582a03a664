// Where the game takes its data, settings, log and tree files from: the build folder, a copy of the
// game elsewhere, and an installed copy with and without the user's XDG variables.
#include "platform/GameFolders.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>

#include "tests/support/TempDir.h"

namespace {

namespace fs = std::filesystem;

TEST(GameFoldersTest, DataSettingsLogAndTreeFilesFollowWhereTheGameRunsFrom) {
  const qv::test::TempDir dir;
  const fs::path root = dir.Path();
  const fs::path build = root / "build", share = root / "usr/share/quorvantille";
  for (const fs::path& model : {build / "objects/Player.3ds", share / "objects/Player.3ds",
                                root / "copy/OBJECTS/player.3DS"}) {
    fs::create_directories(model.parent_path());
    std::ofstream(model) << "x";
  }
  fs::create_directories(root / "elsewhere");
  fs::create_directories(root / "cfg/quorvantille");
  std::ofstream(root / "cfg/quorvantille/quorvantille.ini") << "[Levels]\n";
  const fs::path installed = root / "usr/bin/quorvantille", built = build / "quorvantille";
  const fs::path home = root / "home";

  const struct {
    const char* name;
    fs::path executable, currentDir;
    std::map<std::string, std::string> env;
    fs::path data, settings, log, treeCache;
  } cases[] = {
      {"build folder", built, build, {}, "", build / "quorvantille.ini", "log.txt", ""},
      {"build from elsewhere",
       built,
       root / "elsewhere",
       {},
       build,
       build / "quorvantille.ini",
       "log.txt",
       ""},
      {"installed, defaults",
       installed,
       root / "elsewhere",
       {{"HOME", home.string()}},
       share,
       share / "quorvantille.ini",
       home / ".local/state/quorvantille/log.txt",
       home / ".cache/quorvantille"},
      {"installed, XDG set (a relative one ignored)",
       installed,
       root / "elsewhere",
       {{"HOME", home.string()},
        {"XDG_CONFIG_HOME", (root / "cfg").string()},
        {"XDG_STATE_HOME", "relative/state"},
        {"XDG_CACHE_HOME", (root / "cache").string()}},
       share,
       root / "cfg/quorvantille/quorvantille.ini",
       home / ".local/state/quorvantille/log.txt",
       root / "cache/quorvantille"},
      {"installed, started in a game folder",
       installed,
       root / "copy",
       {{"HOME", home.string()}},
       "",
       share / "quorvantille.ini",
       home / ".local/state/quorvantille/log.txt",
       home / ".cache/quorvantille"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const auto env = [&c](const std::string& name) -> std::optional<std::string> {
      const auto it = c.env.find(name);
      return it == c.env.end() ? std::nullopt : std::optional(it->second);
    };
    const qv::TGameFolders folders = qv::LocateGameFolders(c.executable, c.currentDir, env);
    EXPECT_EQ(folders.Data, c.data);
    EXPECT_EQ(folders.Settings, c.settings);
    EXPECT_EQ(folders.Log, c.log);
    EXPECT_EQ(folders.TreeCache, c.treeCache);
  }
}

TEST(GameFoldersTest, AnInstalledGameKeepsTreeFilesOutOfItsDataAndFallsBackToTheCache) {
  qv::TGameFolders installed;
  installed.Installed = "/usr/share/quorvantille";
  installed.TreeCache = "/home/u/.cache/quorvantille";
  const fs::path cache = installed.TreeCache / "trees";
  using Files = std::vector<fs::path>;
  EXPECT_EQ(installed.TreeFiles("/usr/share/quorvantille/levels/Showcase/"),
            Files{cache / "usr/share/quorvantille/levels/Showcase/bop"});
  EXPECT_EQ(installed.TreeFiles("/home/u/lv/../mine/"),
            (Files{"/home/u/lv/../mine/bop", cache / "home/u/mine/bop"}));
  EXPECT_EQ(qv::TGameFolders{}.TreeFiles("levels/Tiny/"), Files{"levels/Tiny/bop"});
}

}  // namespace
