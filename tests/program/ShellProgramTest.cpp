// The real quorvantille program, started as a user would (under the test's Xvfb display) in a
// folder holding the demo data: its log, its exit codes, its screenshot and the ways it fails.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <regex>
#include <string>
#include <vector>

#include "platform/LogFile.h"
#include "shell/GLApplication.h"
#include "tests/support/GLTestContext.h"
#include "tests/support/ProgramFolder.h"

namespace {

namespace fs = std::filesystem;
using qv::test::ProgramFolder;
using qv::test::ProgramOutcome;

bool Contains(const std::vector<std::string>& lines, const std::string& line) {
  return std::find(lines.begin(), lines.end(), line) != lines.end();
}

// Each log line must match its pattern as a whole.
void ExpectLogMatches(const std::vector<std::string>& log,
                      const std::vector<std::string>& patterns) {
  ASSERT_EQ(log.size(), patterns.size()) << ::testing::PrintToString(log);
  for (std::size_t i = 0; i < log.size(); ++i)
    EXPECT_TRUE(std::regex_match(log[i], std::regex(patterns[i])))
        << "line " << i << ": \"" << log[i] << "\" against /" << patterns[i] << "/";
}

// The number of pixels of the region (top row 0) that satisfy `test`.
int CountPixels(const std::vector<std::uint8_t>& png, int width, int x0, int y0, int x1, int y1,
                const std::function<bool(int r, int g, int b)>& test) {
  int count = 0;
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x) {
      const std::size_t at = (static_cast<std::size_t>(y) * width + x) * 4;
      count += test(png[at], png[at + 1], png[at + 2]);
    }
  return count;
}

// Waits (in the run's shell) until log.txt holds a line containing `text`, then `after`.
std::string WhenLogged(const std::string& text, const std::string& after) {
  return "for i in $(seq 1 400); do grep -q '" + text +
         "' log.txt 2>/dev/null && break; sleep 0.05; done; " + after;
}

TEST(ShellProgramTest, AnUnattendedRunLoadsTheStartLevelLogsItsLifeAndSavesTheFrame) {
  const ProgramFolder folder;
  folder.Write("log.txt", "a line from an earlier run\r\n");
  // Late enough that the saved frame is not the first after loading, which sees no time passed
  // and so draws no frame line.
  const ProgramOutcome run = folder.Run("QV_QUIT_AFTER_MS=2000 QV_SCREENSHOT=shot.png");
  EXPECT_EQ(run.exitCode, 0) << run.err;
  // A fresh folder has no tree file: the tree is built and its figures logged.
  ExpectLogMatches(
      run.log,
      {std::regex_replace(std::string(qv::kLogHeader), std::regex(R"([*.])"), R"(\$&)"),
       "CreateGLWindow\\.\\.\\.", "CreateGLWindow done", "trying to load level:2",
       "  world\\.created anew, loading level:2", "create time:[0-9]+ tree",
       "avg depth:[0-9.]+ ideal:[0-9.]+", "  MEMORY for terrain-objects: [0-9]+(\\.[0-9]+)? kB",
       "Font Nr [1-9][0-9]*", "screenshot saved to shot\\.png", "Font Nr [1-9][0-9]* deleted",
       "world\\.freed", "KillGLWindow\\.\\.\\.", "KillGLWindow done", "end program"});
  if (run.log.size() == 15) {
    EXPECT_EQ(run.log[10], run.log[8] + " deleted");
  }

  int w = 0, h = 0;
  const auto png = qv::test::ReadPng(folder.Path() / "shot.png", w, h);
  ASSERT_EQ(w, 800);
  ASSERT_EQ(h, 600);
  // The white game-state line at the top right, the red frame line at the bottom left, and the
  // showcase's blue sky along the top left.
  const auto white = [](int r, int g, int b) { return r > 230 && g > 230 && b > 230; };
  const auto red = [](int r, int g, int b) { return r > 180 && g < 80 && b < 80; };
  const auto sky = [](int r, int g, int b) { return b > 180 && b > r + 20 && b > g; };
  EXPECT_GT(CountPixels(png, w, 550, 0, 800, 25, white), 150);
  EXPECT_EQ(CountPixels(png, w, 0, 0, 550, 25, white), 0);
  EXPECT_GT(CountPixels(png, w, 0, 575, 250, 600, red), 150);
  EXPECT_GT(CountPixels(png, w, 0, 0, 500, 100, sky), 500 * 100 * 9 / 10);
}

TEST(ShellProgramTest, TerminatingTheProgramClosesItsWindowFreesTheWorldAndEndsWithZero) {
  // SIGTERM arrives as the window system's close request.
  const ProgramFolder folder;
  const ProgramOutcome run =
      folder.Run("", WhenLogged("Font Nr", "sleep 0.3; kill -TERM $pid; wait $pid"));
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_TRUE(Contains(run.log, "world.freed"));
  ASSERT_FALSE(run.log.empty());
  EXPECT_EQ(run.log.back(), "end program");
}

TEST(ShellProgramTest, AFontThatCannotBeLoadedFailsGLLoadWithExitCodeOne) {
  const ProgramFolder folder;
  folder.Write("fonts.conf", "<?xml version=\"1.0\"?>\n<fontconfig></fontconfig>\n");
  const ProgramOutcome run = folder.Run(
      "FONTCONFIG_FILE='" + (folder.Path() / "fonts.conf").string() + "' QV_QUIT_AFTER_MS=300");
  EXPECT_EQ(run.exitCode, 1);
  const std::string message = "BuildFont: no font found for the face \"Courier New\"";
  EXPECT_TRUE(Contains(run.log, message));
  EXPECT_TRUE(Contains(run.log, "world.freed"));
  EXPECT_FALSE(Contains(run.log, "end program"));
  EXPECT_EQ(run.log.back(), "KillGLWindow done");
  EXPECT_EQ(run.err, "Error: " + qv::TGLApplication::ErrorText(message) + "\n");
}

TEST(ShellProgramTest, WithoutADisplayTheWindowClassCannotBeRegistered) {
  const ProgramFolder folder;
  const ProgramOutcome run = folder.Run("-u DISPLAY -u WAYLAND_DISPLAY");
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_TRUE(Contains(run.log, "Failed To Register The Window Class."));
  EXPECT_NE(run.err.find("Error: Failed To Register The Window Class.\n"), std::string::npos)
      << run.err;
  ASSERT_GE(run.log.size(), 3u);
  EXPECT_EQ(run.log[2].rfind("video start failed: no display", 0), 0u) << run.log[2];
}

TEST(ShellProgramTest, ALogThatCannotBeWrittenIsReportedAndTheGameGoesOn) {
  const ProgramFolder folder;
  fs::create_directory(folder.Path() / "log.txt");
  const ProgramOutcome run = folder.Run("QV_QUIT_AFTER_MS=200");
  EXPECT_EQ(run.exitCode, 0) << run.err;
  // One box for creating the file and one per line: header, two for creation, three for the
  // level with two more for its tree, the font, its deletion, "world.freed", two for teardown,
  // "end program".
  std::size_t boxes = 0;
  for (std::size_t at = 0; (at = run.err.find("Application Error: ", at)) != std::string::npos;
       ++at)
    ++boxes;
  EXPECT_EQ(boxes, 15u) << run.err;
}

// Every way the start level can be missing or broken ends the program through the error box with
// exit code 1, and the log says the same as the box.
TEST(ShellProgramTest, AStartLevelThatCannotBeLoadedEndsWithItsReasonAndExitCodeOne) {
  struct Case {
    const char* name;
    std::function<void(const ProgramFolder&)> spoil;
    std::string message;  // "@" stands for the program's folder
  };
  const std::string corrupt(300, '\x4D');  // a chunk header whose length runs past the end
  const std::vector<Case> cases = {
      {"corrupt geometry",
       [&](const ProgramFolder& f) { f.Write("levels/Showcase/Objects.3DS", corrupt); },
       "levels\\Showcase\\Objects.3DS: Chunk 0x4D4D at offset 0: length 1296911693 runs past "
       "the end of the file (300 bytes)"},
      {"two levels",
       [](const ProgramFolder& f) {
         f.Write("quorvantille.ini", "[Levels]\nMeadow=levels\\Meadow\nTiny=levels\\Tiny\\\n");
       },
       "The start level 2 cannot be loaded: the settings file \"@/quorvantille.ini\" lists 2 "
       "level(s), the game needs at least 3"},
      {"no settings", [](const ProgramFolder& f) { fs::remove(f.Path() / "quorvantille.ini"); },
       "The start level 2 cannot be loaded: the settings file \"@/quorvantille.ini\" lists 0 "
       "level(s), the game needs at least 3"},
      {"no Level.ini",
       [](const ProgramFolder& f) { fs::remove(f.Path() / "levels/Showcase/Level.ini"); },
       "The start level 2 cannot be loaded: its folder \"levels\\Showcase\\\" holds no "
       "\"Level.ini\""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const ProgramFolder folder;
    c.spoil(folder);
    const ProgramOutcome run = folder.Run("QV_QUIT_AFTER_MS=300");
    const std::string message =
        std::regex_replace(c.message, std::regex("@"), folder.Path().string());
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(Contains(run.log, message)) << ::testing::PrintToString(run.log);
    EXPECT_EQ(run.err, "Error: " + qv::TGLApplication::ErrorText(message) + "\n");
    EXPECT_FALSE(Contains(run.log, "end program"));
    ASSERT_FALSE(run.log.empty());
    EXPECT_EQ(run.log.back(), "KillGLWindow done");
  }
}

// An X server of the test's own, started in `dir`, that a test may kill under the game.
struct OwnXServer {
  explicit OwnXServer(const fs::path& dir) : pidFile(dir / "xvfb.pid") {
    const fs::path number = dir / "display.txt";
    (void)std::system(("Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>'" +
                       number.string() + "' >/dev/null 2>&1 & echo $! >'" + pidFile.string() + "'")
                          .c_str());
    for (int i = 0; i < 200 && qv::test::ReadText(number).empty(); ++i)
      (void)std::system("sleep 0.05");
    const std::string text = qv::test::ReadText(number);
    display = text.empty() ? "" : ":" + text.substr(0, text.find('\n'));
  }
  ~OwnXServer() {
    (void)std::system(("kill -KILL $(cat '" + pidFile.string() + "') 2>/dev/null").c_str());
  }
  fs::path pidFile;
  std::string display;  // "" when the server did not start
};

TEST(ShellProgramTest, AnXServerDyingUnderTheGameEndsItWithExitCodeOneAndItsReason) {
  const ProgramFolder folder;
  const OwnXServer server(folder.Path());
  ASSERT_FALSE(server.display.empty()) << "Xvfb did not start";
  const ProgramOutcome run =
      folder.Run("DISPLAY=" + server.display + " LIBGL_ALWAYS_SOFTWARE=1",
                 WhenLogged("Font Nr",
                            "sleep 0.3; kill -KILL $(cat xvfb.pid); "
                            "for i in $(seq 1 200); do kill -0 $pid 2>/dev/null || break; "
                            "sleep 0.05; done; kill -KILL $pid 2>/dev/null; wait $pid"));
  EXPECT_EQ(run.exitCode, 1) << run.err;
  EXPECT_NE(run.err.find("Error: The connection to the display is lost."), std::string::npos)
      << run.err;
  EXPECT_EQ(run.err.find("corrupted"), std::string::npos) << run.err;
  ASSERT_FALSE(run.log.empty());
  EXPECT_EQ(run.log.back(), "The connection to the display is lost");
}

}  // namespace
