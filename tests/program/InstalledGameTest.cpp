// The game installed as a package installs it (cmake --install under a temporary prefix) and
// started from "/" as a desktop menu starts it, its data folder read-only and the program unable
// to write it (tests/support/Unprivileged.h): it plays, logs into the user's state folder and
// keeps its tree files where the user may write them.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <regex>
#include <string>
#include <vector>

#include "tests/support/ProgramFolder.h"
#include "tests/support/ScopedLog.h"
#include "tests/support/TempDir.h"
#include "tests/support/Unprivileged.h"

namespace {

namespace fs = std::filesystem;

int Shell(const std::string& command) {
  const int status = std::system(command.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

class InstalledGameTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    prefixDir_ = std::make_unique<qv::test::TempDir>();
    const fs::path output = prefixDir_->Path() / "install.txt";
    const std::string install = "cmake --install '" + std::string(QV_BUILD_DIR) + "' --prefix '" +
                                Prefix().string() + "' >'" + output.string() + "' 2>&1";
    ASSERT_EQ(Shell(install), 0) << qv::test::ReadText(output);
    ASSERT_EQ(Shell("chmod -R a-w '" + Data().string() + "'"), 0);
    qv::test::OpenToEveryone(Prefix());
  }
  static void TearDownTestSuite() { prefixDir_.reset(); }

  static fs::path Prefix() { return prefixDir_->Path() / "usr"; }
  static fs::path Data() { return Prefix() / "share" / "quorvantille"; }

  static std::unique_ptr<qv::test::TempDir> prefixDir_;
};
std::unique_ptr<qv::test::TempDir> InstalledGameTest::prefixDir_;

TEST_F(InstalledGameTest, ProgramsAndFilesAnswerAsAUserExpects) {
  const qv::test::TempDir out;
  const struct {
    std::string command;  // run in the prefix
    int exitCode;
    std::string output;  // a regex the standard output and error must contain
  } cases[] = {
      {"bin/quorvantille --version", 0, "^quorvantille [0-9]+\\.[0-9]+\\.[0-9]+\n$"},
      {"bin/qv-tool --version", 0, "^qv-tool [0-9]+\\.[0-9]+\\.[0-9]+\n$"},
      {"bin/qv-tool --help", 0, "\n  check LEVELDIR"},
      {"bin/qv-tool help bop", 0, "^usage: qv-tool bop FILE.3ds"},
      {"bin/qv-tool help nope", 2, "unknown command 'nope'"},
      {"desktop-file-validate share/applications/quorvantille.desktop", 0, "^$"},
      {"grep -x Exec=quorvantille share/applications/quorvantille.desktop", 0, "Exec"},
      {"head -c 4 share/icons/hicolor/128x128/apps/quorvantille.png", 0, "PNG"},
      {"grep -c '^.SH' share/man/man6/quorvantille.6 share/man/man1/qv-tool.1", 0, ":[4-9]"},
  };
  for (const auto& c : cases) {
    const fs::path output = out.Path() / "output.txt";
    const int code = Shell("cd '" + Prefix().string() + "' && " + c.command + " >'" +
                           output.string() + "' 2>&1");
    const std::string text = qv::test::ReadText(output);
    EXPECT_EQ(code, c.exitCode) << c.command << "\n" << text;
    EXPECT_TRUE(std::regex_search(text, std::regex(c.output))) << c.command << "\n" << text;
  }
}

TEST_F(InstalledGameTest, PlaysFromTheRootFolderWithItsDataReadOnly) {
  const qv::test::TempDir homeDir;
  const fs::path home = homeDir.Path() / "home";
  const fs::path ownLevel = home / "my level";
  const fs::path cachedShowcase =
      fs::path("quorvantille/trees") / Data().relative_path() / "levels/Showcase/bop";
  const struct {
    const char* name;
    std::string env;       // besides HOME
    std::string settings;  // the user's own settings file; empty: none
    fs::path log;          // where log.txt must land
    fs::path treeFile;     // where the start level's tree file must land
  } cases[] = {
      {"the installed settings, XDG folders below HOME", "", "",
       home / ".local/state/quorvantille/log.txt", home / ".cache" / cachedShowcase},
      {"the user's settings naming their own level, XDG variables set",
       "XDG_CONFIG_HOME='" + (home / "config").string() + "' XDG_STATE_HOME='" +
           (home / "state").string() + "' XDG_CACHE_HOME='" + (home / "cache").string() + "'",
       "[Levels]\na=levels\\Tiny\\\nb=levels\\meadow\\\nc=" + ownLevel.string() + "\n",
       home / "state/quorvantille/log.txt", ownLevel / "bop"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    fs::remove_all(home);
    fs::create_directories(home);
    fs::copy(Data() / "levels/Tiny", ownLevel, fs::copy_options::recursive);
    fs::permissions(ownLevel, fs::perms::owner_write, fs::perm_options::add);  // copied read-only
    if (!c.settings.empty()) {
      fs::create_directories(home / "config/quorvantille");
      std::ofstream(home / "config/quorvantille/quorvantille.ini") << c.settings;
    }
    qv::test::GiveToRunUser(home);
    const fs::path err = homeDir.Path() / "stderr.txt";
    const int code =
        Shell("cd / && " + qv::test::AsRunUser() +
              "env -u XDG_CONFIG_HOME -u XDG_STATE_HOME -u XDG_CACHE_HOME HOME='" + home.string() +
              "' " + c.env + " QV_NO_DIALOGS=1 QV_QUIT_AFTER_MS=1500 '" +
              (Prefix() / "bin/quorvantille").string() + "' 2>'" + err.string() + "'");
    EXPECT_EQ(code, 0) << qv::test::ReadText(err);
    const std::vector<std::string> log = qv::test::LogMessages(c.log);
    for (const char* line : {"trying to load level:2", "end program"})
      EXPECT_NE(std::find(log.begin(), log.end(), line), log.end())
          << line << " not in " << c.log << ": " << ::testing::PrintToString(log);
    EXPECT_TRUE(fs::is_regular_file(c.treeFile)) << c.treeFile;
    for (const auto& entry : fs::recursive_directory_iterator(Data()))
      EXPECT_NE(entry.path().filename(), "bop") << "written into the installed data: " << entry;
  }
}

}  // namespace
