#include "game/LevelNumbers.h"

#include <cmath>
#include <cstdio>

#include "platform/IniFile.h"
#include "platform/LogFile.h"

namespace qv {

namespace {

std::string Shortest(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%g", value);
  return text;
}

}  // namespace

TLevelNumber ReadLevelNumber(const TIniFile& ini, std::string_view section, std::string_view key,
                             float fallback) {
  TLevelNumber number;
  number.Value = fallback;
  if (!ini.ValueExists(section, key)) return number;
  number.Text = ini.ReadString(section, key, "");
  // Two defaults that differ tell a number that was read from one that was not.
  const double read = ini.ReadFloat(section, key, 0.0);
  if (read != ini.ReadFloat(section, key, 1.0)) {
    number.Status = TLevelNumber::Unreadable;
  } else if (!(std::fabs(read) <= kLevelNumberLimit)) {
    number.Status = TLevelNumber::OutOfRange;
  } else {
    number.Status = TLevelNumber::Read;
    number.Value = static_cast<float>(read);
  }
  return number;
}

std::string LevelNumberProblem(const TIniFile& ini, std::string_view section, std::string_view key,
                               const TLevelNumber& number) {
  std::string what;
  if (number.Status == TLevelNumber::Unreadable)
    what = " is not a number";
  else if (number.Status == TLevelNumber::OutOfRange)
    what = " lies beyond +-" + std::to_string(static_cast<long>(kLevelNumberLimit));
  else
    return "";
  return "Level file " + ini.FileName().string() + ": [" + std::string(section) + "] " +
         std::string(key) + " = \"" + number.Text + "\"" + what + ", the default " +
         Shortest(number.Value) + " is used";
}

float ReadLevelFloat(const TIniFile& ini, std::string_view section, std::string_view key,
                     float fallback) {
  const TLevelNumber number = ReadLevelNumber(ini, section, key, fallback);
  if (number.Status == TLevelNumber::OutOfRange)
    GlobalLog().Log(LevelNumberProblem(ini, section, key, number));
  return number.Value;
}

}  // namespace qv
