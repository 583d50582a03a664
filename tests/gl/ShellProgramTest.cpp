// The real quorvantille program, started as a user would (under the test's Xvfb display): its log,
// its exit codes and its screenshot.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/LogFile.h"
#include "tests/support/GLTestContext.h"
#include "tests/support/ScopedLog.h"
#include "tests/support/TempDir.h"

namespace {

namespace fs = std::filesystem;

const fs::path kProgram = fs::path(QV_BUILD_DIR) / "quorvantille";

struct Outcome {
  int exitCode = -1;
  std::vector<std::string> log;  // messages of log.txt
  std::string err;               // standard error
};

// Runs the program in `dir` with `env` (arguments to env(1): "-u NAME" first, then "NAME=value");
// `shellAfter` may act on "$pid" while it runs and must wait for it.
Outcome RunProgram(const fs::path& dir, const std::string& env,
                   const std::string& shellAfter = "wait $pid") {
  const std::string command = "cd '" + dir.string() + "' || exit 99; env " + env +
                              " QV_NO_DIALOGS=1 '" + kProgram.string() +
                              "' 2>stderr.txt & pid=$!; " + shellAfter;
  const int status = std::system(command.c_str());
  Outcome outcome;
  outcome.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  outcome.log = qv::test::LogMessages(dir / "log.txt");
  std::ifstream err(dir / "stderr.txt");
  std::ostringstream text;
  text << err.rdbuf();
  outcome.err = text.str();
  return outcome;
}

bool Contains(const std::vector<std::string>& lines, const std::string& line) {
  return std::find(lines.begin(), lines.end(), line) != lines.end();
}

class ShellProgramTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!fs::exists(kProgram)) GTEST_FAIL() << "build the quorvantille target first: " << kProgram;
  }
  qv::test::TempDir dir_;
};

TEST_F(ShellProgramTest, AnUnattendedRunLogsItsLifeSavesTheTextAndEndsWithZero) {
  std::ofstream(dir_.Path() / "log.txt") << "a line from an earlier run\r\n";
  const Outcome run =
      RunProgram(dir_.Path(), "QV_QUIT_AFTER_MS=300 QV_SCREENSHOT=shot.png");
  EXPECT_EQ(run.exitCode, 0) << run.err;
  const std::vector<std::string> expected = {std::string(qv::kLogHeader),
                                             "CreateGLWindow...",
                                             "CreateGLWindow done",
                                             "screenshot saved to shot.png",
                                             "KillGLWindow...",
                                             "KillGLWindow done",
                                             "end program"};
  EXPECT_EQ(run.log, expected);

  int w = 0, h = 0;
  const auto png = qv::test::ReadPng(dir_.Path() / "shot.png", w, h);
  EXPECT_EQ(w, 800);
  EXPECT_EQ(h, 600);
  int yellow = 0;
  for (std::size_t i = 0; i < png.size(); i += 4)
    yellow += png[i] > 200 && png[i + 1] > 150 && png[i + 2] < 120;
  EXPECT_GT(yellow, 1000);  // the placeholder's line of text
}

TEST_F(ShellProgramTest, TerminatingTheProgramClosesItsWindowAndEndsWithZero) {
  // SIGTERM arrives as the window system's close request.
  const Outcome run = RunProgram(
      dir_.Path(), "",
      "for i in $(seq 1 200); do grep -q 'CreateGLWindow done' log.txt 2>/dev/null && break; "
      "sleep 0.05; done; sleep 0.3; kill -TERM $pid; wait $pid");
  EXPECT_EQ(run.exitCode, 0) << run.err;
  ASSERT_FALSE(run.log.empty());
  EXPECT_EQ(run.log.back(), "end program");
}

TEST_F(ShellProgramTest, AFontThatCannotBeLoadedFailsGLLoadWithExitCodeOne) {
  std::ofstream(dir_.Path() / "fonts.conf") << "<?xml version=\"1.0\"?>\n<fontconfig></fontconfig>\n";
  const Outcome run = RunProgram(
      dir_.Path(), "FONTCONFIG_FILE='" + (dir_.Path() / "fonts.conf").string() + "' QV_QUIT_AFTER_MS=300");
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_TRUE(Contains(run.log, "BuildFont: no font found for the face \"Courier New\""));
  EXPECT_TRUE(Contains(run.log, "GlWindowClass.GLLoad failed"));
  EXPECT_FALSE(Contains(run.log, "end program"));
  EXPECT_EQ(run.log.back(), "KillGLWindow done");
  EXPECT_NE(run.err.find("Error: GlWindowClass.GLLoad failed.\n"), std::string::npos) << run.err;
}

TEST_F(ShellProgramTest, WithoutADisplayTheWindowClassCannotBeRegistered) {
  const Outcome run = RunProgram(dir_.Path(), "-u DISPLAY -u WAYLAND_DISPLAY");
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_TRUE(Contains(run.log, "Failed To Register The Window Class."));
  EXPECT_NE(run.err.find("Error: Failed To Register The Window Class.\n"), std::string::npos)
      << run.err;
  ASSERT_GE(run.log.size(), 3u);
  EXPECT_EQ(run.log[2].rfind("video start failed: no display", 0), 0u) << run.log[2];
}

TEST_F(ShellProgramTest, ALogThatCannotBeWrittenIsReportedAndTheGameGoesOn) {
  fs::create_directory(dir_.Path() / "log.txt");
  const Outcome run = RunProgram(dir_.Path(), "QV_QUIT_AFTER_MS=200");
  EXPECT_EQ(run.exitCode, 0) << run.err;
  // One box for creating the file and one per line: header, two for creation, two for teardown,
  // "end program".
  std::size_t boxes = 0;
  for (std::size_t at = 0; (at = run.err.find("Application Error: ", at)) != std::string::npos;
       ++at)
    ++boxes;
  EXPECT_EQ(boxes, 7u) << run.err;
}

}  // namespace
