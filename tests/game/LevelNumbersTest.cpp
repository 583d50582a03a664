// Level-file numbers: what the ini reader cannot read and what is too large for the game both give
// the key's default; only the second is logged, with file, section, key and value.
#include "game/LevelNumbers.h"

#include <fstream>

#include <gtest/gtest.h>

#include "platform/IniFile.h"
#include "tests/support/ScopedLog.h"

namespace {

using qv::TLevelNumber;

TEST(LevelNumbersTest, NonFiniteAndHugeNumbersGiveTheDefault) {
  const struct {
    const char* text;
    TLevelNumber::TStatus status;
    float value;
  } cases[] = {
      {"12.5", TLevelNumber::Read, 12.5f},      {"-1e6", TLevelNumber::Read, -1e6f},
      {"nan", TLevelNumber::Unreadable, 7},     {"inf", TLevelNumber::Unreadable, 7},
      {"-inf", TLevelNumber::Unreadable, 7},    {"1e999", TLevelNumber::Unreadable, 7},
      {"1e300", TLevelNumber::OutOfRange, 7},   {"1000000.5", TLevelNumber::OutOfRange, 7},
      {"-3.4e38", TLevelNumber::OutOfRange, 7}, {"", TLevelNumber::Unreadable, 7},
  };
  qv::test::TempDir dir;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    qv::test::ScopedLog log;
    std::ofstream(dir.Path() / "Level.ini") << "[Ghost]\nUnitsPerSec=" << c.text << "\n";
    const qv::TIniFile ini(dir.Path() / "Level.ini");
    const TLevelNumber number = qv::ReadLevelNumber(ini, "Ghost", "UnitsPerSec", 7);
    EXPECT_EQ(number.Status, c.status);
    EXPECT_EQ(number.Value, c.value);
    EXPECT_EQ(qv::ReadLevelFloat(ini, "Ghost", "UnitsPerSec", 7), c.value);
    const std::string problem = qv::LevelNumberProblem(ini, "Ghost", "UnitsPerSec", number);
    EXPECT_EQ(problem.empty(), c.status == TLevelNumber::Read);
    const bool logged = log.Messages().size() > 1 && log.Messages().back() == problem;
    EXPECT_EQ(logged, c.status == TLevelNumber::OutOfRange);
    if (!problem.empty()) {
      EXPECT_NE(problem.find((dir.Path() / "Level.ini").string()), std::string::npos);
      EXPECT_NE(problem.find("[Ghost] UnitsPerSec = \"" + std::string(c.text) + "\""),
                std::string::npos);
      EXPECT_NE(problem.find("default 7"), std::string::npos);
    }
  }
  const qv::TIniFile empty(dir.Path() / "none.ini");
  EXPECT_EQ(qv::ReadLevelNumber(empty, "Ghost", "UnitsPerSec", 7).Status, TLevelNumber::Absent);
}

}  // namespace
