#pragma once
// The numbers of a level file. The ini reader already turns text that is no number into the
// key's default: "nan", "inf" and "1e999" (beyond a double) among them. What it lets through are
// finite numbers far beyond any level: 1e300 does not fit a float at all, squares of anything
// above about 1.8e19 overflow to infinity in the movement step, and long before that a float
// cannot place an actor finer than its own step. So every number of a level file must lie
// within +-kLevelNumberLimit; a number beyond it is refused like an unreadable one (the key's
// default applies) and the log names the file, section, key and value. At the limit a float still
// resolves positions to 1/16 of a unit and every square and sum of the step stays finite.
//
// Cost: one ini lookup per number. Refuses nothing else.

#include <string>
#include <string_view>

namespace qv {

class TIniFile;

constexpr double kLevelNumberLimit = 1e6;

struct TLevelNumber {
  enum TStatus { Absent, Read, Unreadable, OutOfRange };
  TStatus Status = Absent;
  float Value = 0;   // what the game uses: the number read, or the default
  std::string Text;  // the value as written, for messages
};

// Reads one number of a level file; Value is the default unless Status is Read.
TLevelNumber ReadLevelNumber(const TIniFile& ini, std::string_view section, std::string_view key,
                             float fallback);

// The message for a number the game did not take ("" for Absent and Read), naming the file.
std::string LevelNumberProblem(const TIniFile& ini, std::string_view section, std::string_view key,
                               const TLevelNumber& number);

// ReadLevelNumber, logging the message of a number refused for its size.
float ReadLevelFloat(const TIniFile& ini, std::string_view section, std::string_view key,
                     float fallback);

}  // namespace qv
