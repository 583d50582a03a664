#pragma once
// Ini-file reading with the rules of the Windows profile functions the settings and level files
// were written for. The file is read once, at construction; nothing is ever written back.
//
// Rules:
//  - "[name]" starts a section; "key = value" is an entry (split at the first "="). Lines before
//    the first section, lines without "=" and lines whose first non-blank character is ";" are
//    ignored. CR LF and LF line ends both work; a UTF-8 byte-order mark at the start is skipped.
//  - Section and key names compare without regard to ASCII letter case.
//  - Blanks (spaces and tabs) around section names, keys and values are trimmed.
//  - The first matching section wins: a later section of the same name is never seen. Within it,
//    the first matching key wins.
//  - A value enclosed in a matching pair of double quotes loses them ("" gives an empty value).
//    Nothing else is unquoted; ";" after a value is part of the value.
//  - Integers are a whole optional sign and decimal digits; anything else ("12abc", "abc", "1.5",
//    "", a value outside the 32-bit range) counts as missing and gives the default.
//  - Booleans are integers: 0 is false, any other integer true, a non-integer gives the default.
//  - Floats use "." as the decimal separator: optional sign, digits with an optional fraction, an
//    optional exponent. Anything else ("1,5", "inf", "nan", "0x10", "1.5m") gives the default.
//  - A file that does not exist, cannot be read or is larger than kMaxIniFileSize gives every
//    default (a file that exists but cannot be read, or is too large, is noted in the global log).
//
// Lookups are linear in the number of lines; files are small and read rarely.

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace qv {

class TIniFile {
 public:
  static constexpr std::uintmax_t kMaxIniFileSize = 16u << 20;  // bytes

  explicit TIniFile(const std::filesystem::path& fileName);
  // Parses `text` as if it were a file's content (for tests and the fuzzer).
  static TIniFile FromText(std::string_view text);

  std::string ReadString(std::string_view section, std::string_view key,
                         std::string_view defaultValue) const;
  int ReadInteger(std::string_view section, std::string_view key, int defaultValue) const;
  bool ReadBool(std::string_view section, std::string_view key, bool defaultValue) const;
  double ReadFloat(std::string_view section, std::string_view key, double defaultValue) const;

  bool SectionExists(std::string_view section) const;
  bool ValueExists(std::string_view section, std::string_view key) const;
  // Every section name in file order, as written (a repeated name is listed again).
  std::vector<std::string> SectionNames() const;
  // The entries of the first matching section in file order, keys and values as the reader
  // returns them, repeated keys included.
  std::vector<std::pair<std::string, std::string>> SectionValues(std::string_view section) const;

  const std::filesystem::path& FileName() const { return fileName_; }

 private:
  struct TSection {
    std::string name;                                         // as written, trimmed
    std::vector<std::pair<std::string, std::string>> values;  // key, value, in file order
  };
  TIniFile() = default;
  void Parse(std::string_view text);
  const TSection* FindSection(std::string_view section) const;
  const std::string* FindValue(std::string_view section, std::string_view key) const;

  std::filesystem::path fileName_;
  std::vector<TSection> sections_;
};

// The parsing rules on their own, shared with callers that read numbers from other text.
// Both return false (and leave `value` alone) when `text` is not a number under the rules above.
bool ParseIniInteger(std::string_view text, int& value);
bool ParseIniFloat(std::string_view text, double& value);

}  // namespace qv
