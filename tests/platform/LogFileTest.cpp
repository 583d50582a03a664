// The log must survive every failure and keep its line format.
#include "platform/LogFile.h"

#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <sstream>
#include <vector>

#include "platform/EGL.h"
#include "platform/MessageBox.h"
#include "tests/support/ScopedLog.h"
#include "tests/support/TempDir.h"

namespace {

namespace fs = std::filesystem;

std::string ReadAll(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

std::vector<std::string> Lines(const fs::path& file) {
  std::vector<std::string> lines;
  std::string text = ReadAll(file);
  std::size_t at = 0;
  while (at < text.size()) {
    const std::size_t end = text.find("\r\n", at);
    if (end == std::string::npos) {
      lines.push_back(text.substr(at) + "<no CR LF>");
      break;
    }
    lines.push_back(text.substr(at, end - at));
    at = end + 2;
  }
  return lines;
}

using qv::test::BoxRecorder;

const std::regex kStamped(R"(\d\d/\d\d/\d\d \d\d:\d\d:\d\d   (.*))");

TEST(LogFile, StartTruncatesAndEveryLineIsStampedAndComplete) {
  qv::test::TempDir dir;
  const fs::path file = dir.Path() / "log.txt";
  std::ofstream(file) << "an earlier run's line\r\n";
  qv::TLogFile log(file);
  log.Log("CreateGLWindow...");
  log.Log("");
  // Complete on disk after each call, without closing anything.
  const auto lines = Lines(file);
  ASSERT_EQ(lines.size(), 3u);
  std::smatch match;
  ASSERT_TRUE(std::regex_match(lines[0], match, kStamped)) << lines[0];
  EXPECT_EQ(match[1], std::string(qv::kLogHeader));
  ASSERT_TRUE(std::regex_match(lines[1], match, kStamped)) << lines[1];
  EXPECT_EQ(match[1], "CreateGLWindow...");
  // An empty message still gives a line: stamp and three blanks.
  ASSERT_TRUE(std::regex_match(lines[2], match, kStamped)) << lines[2];
  EXPECT_EQ(match[1], "");
  EXPECT_EQ(lines[2].substr(lines[2].size() - 3), "   ");

  // A second start in the same place keeps only its own lines.
  qv::TLogFile again(file);
  EXPECT_EQ(Lines(file).size(), 1u);
}

TEST(LogFile, TimeStampLeavesOutTheTimeAtMidnightOnly) {
  std::tm midnight{};
  midnight.tm_year = 126;
  midnight.tm_mon = 11;
  midnight.tm_mday = 8;
  midnight.tm_isdst = -1;
  const std::time_t atMidnight = std::mktime(&midnight);
  EXPECT_EQ(qv::LogTimeStamp(atMidnight), "12/08/26");
  EXPECT_EQ(qv::LogTimeStamp(atMidnight + 1), "12/08/26 00:00:01");
  EXPECT_EQ(qv::LogTimeStamp(atMidnight - 1), "12/07/26 23:59:59");
}

TEST(LogFile, UnwritableLogShowsABoxPerLineAndTheProgramGoesOn) {
  qv::test::TempDir dir;
  // A folder where the file should be cannot be opened, not even by root.
  const fs::path file = dir.Path() / "log.txt";
  fs::create_directory(file);
  BoxRecorder recorder;
  qv::TLogFile log(file);  // creating fails, then the header line fails
  log.Log("one more");
  ASSERT_EQ(recorder.texts.size(), 3u);
  for (const std::string& box : recorder.texts) {
    EXPECT_EQ(box.rfind("Application Error|Exception EInOutError in module ", 0), 0u) << box;
    EXPECT_NE(box.find(file.string()), std::string::npos) << box;
    EXPECT_NE(box.find("Is a directory"), std::string::npos) << box;
  }
}

TEST(LogFile, AFailedWriteAfterASuccessfulOpenIsCaughtToo) {
  if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
  BoxRecorder recorder;
  qv::TLogFile log("/dev/full");  // opens fine, every flush fails with "No space left"
  log.Log("lost");
  ASSERT_EQ(recorder.texts.size(), 2u);
  EXPECT_NE(recorder.texts[1].find("No space left on device"), std::string::npos)
      << recorder.texts[1];
}

TEST(LogFile, LogInAMissingFolderReportsAndSurvives) {
  qv::test::TempDir dir;
  BoxRecorder recorder;
  qv::TLogFile log(dir.Path() / "no such folder" / "log.txt");
  log.Log("lost");
  EXPECT_EQ(recorder.texts.size(), 3u);
}

TEST(LogFile, WithoutDialogsTheBoxGoesToStandardError) {
  qv::test::TempDir dir;
  setenv("QV_NO_DIALOGS", "1", 1);
  testing::internal::CaptureStderr();
  qv::TLogFile log(dir.Path() / "missing" / "log.txt");
  const std::string err = testing::internal::GetCapturedStderr();
  EXPECT_NE(err.find("Application Error: Exception EInOutError"), std::string::npos) << err;
  EXPECT_NE(err.find("No such file or directory"), std::string::npos) << err;
}

TEST(LogFile, EGLLogsItsMessageBeforeAnybodyCatchesIt) {
  qv::test::TempDir dir;
  const fs::path file = dir.Path() / "global.txt";
  qv::GlobalLog().Restart(file);
  try {
    throw qv::EGL("Window creation error.");
  } catch (const qv::EGL& e) {
    EXPECT_STREQ(e.what(), "Window creation error.");
  }
  const auto lines = Lines(file);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_NE(lines[1].find("   Window creation error."), std::string::npos);
  qv::GlobalLog().Restart("log.txt");
}

}  // namespace
