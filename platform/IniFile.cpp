#include "platform/IniFile.h"

#include <charconv>
#include <fstream>
#include <sstream>
#include <system_error>

#include "platform/LogFile.h"

namespace qv {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

std::string_view Trim(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (Lower(a[i]) != Lower(b[i])) return false;
  return true;
}

std::string_view Unquote(std::string_view value) {
  if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
    return value.substr(1, value.size() - 2);
  return value;
}

}  // namespace

bool ParseIniInteger(std::string_view text, int& value) {
  std::size_t at = 0;
  if (at < text.size() && (text[at] == '+' || text[at] == '-')) ++at;
  if (at == text.size()) return false;
  for (std::size_t i = at; i < text.size(); ++i)
    if (!IsDigit(text[i])) return false;
  // from_chars takes a minus but no plus sign.
  if (text.front() == '+') text.remove_prefix(1);
  int parsed = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), parsed);
  if (error != std::errc() || end != text.data() + text.size()) return false;
  value = parsed;
  return true;
}

bool ParseIniFloat(std::string_view text, double& value) {
  std::size_t at = 0;
  const auto digits = [&] {
    const std::size_t start = at;
    while (at < text.size() && IsDigit(text[at])) ++at;
    return at - start;
  };
  if (at < text.size() && (text[at] == '+' || text[at] == '-')) ++at;
  std::size_t mantissa = digits();
  if (at < text.size() && text[at] == '.') {
    ++at;
    mantissa += digits();
  }
  if (mantissa == 0) return false;
  if (at < text.size() && (text[at] == 'e' || text[at] == 'E')) {
    ++at;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) ++at;
    if (digits() == 0) return false;
  }
  if (at != text.size()) return false;
  if (text.front() == '+') text.remove_prefix(1);
  double parsed = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), parsed);
  if (error != std::errc() || end != text.data() + text.size()) return false;
  value = parsed;
  return true;
}

TIniFile::TIniFile(const std::filesystem::path& fileName) : fileName_(fileName) {
  std::error_code ec;
  if (!std::filesystem::exists(fileName, ec)) return;
  const std::uintmax_t size = std::filesystem::file_size(fileName, ec);
  if (ec) {
    GlobalLog().Log("cannot read " + fileName.string() + ": " + ec.message());
    return;
  }
  if (size > kMaxIniFileSize) {
    GlobalLog().Log("ignoring " + fileName.string() + ": larger than " +
                    std::to_string(kMaxIniFileSize) + " bytes");
    return;
  }
  std::ifstream file(fileName, std::ios::binary);
  std::ostringstream text;
  if (file) text << file.rdbuf();
  if (!file || file.bad()) {
    GlobalLog().Log("cannot read " + fileName.string());
    return;
  }
  Parse(text.str());
}

TIniFile TIniFile::FromText(std::string_view text) {
  TIniFile ini;
  ini.Parse(text);
  return ini;
}

void TIniFile::Parse(std::string_view text) {
  if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
  TSection* current = nullptr;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    line = Trim(line);
    if (line.empty() || line.front() == ';') continue;
    if (line.front() == '[') {
      const std::size_t close = line.find(']');
      if (close == std::string_view::npos) continue;
      sections_.push_back({std::string(Trim(line.substr(1, close - 1))), {}});
      current = &sections_.back();
      continue;
    }
    const std::size_t equals = line.find('=');
    if (!current || equals == std::string_view::npos) continue;
    current->values.emplace_back(std::string(Trim(line.substr(0, equals))),
                                 std::string(Unquote(Trim(line.substr(equals + 1)))));
  }
}

const TIniFile::TSection* TIniFile::FindSection(std::string_view section) const {
  for (const TSection& s : sections_)
    if (SameName(s.name, Trim(section))) return &s;
  return nullptr;
}

const std::string* TIniFile::FindValue(std::string_view section, std::string_view key) const {
  const TSection* s = FindSection(section);
  if (!s) return nullptr;
  for (const auto& [name, value] : s->values)
    if (SameName(name, Trim(key))) return &value;
  return nullptr;
}

std::string TIniFile::ReadString(std::string_view section, std::string_view key,
                                 std::string_view defaultValue) const {
  const std::string* value = FindValue(section, key);
  return value ? *value : std::string(defaultValue);
}

int TIniFile::ReadInteger(std::string_view section, std::string_view key, int defaultValue) const {
  const std::string* text = FindValue(section, key);
  int value = defaultValue;
  if (text) ParseIniInteger(*text, value);
  return value;
}

bool TIniFile::ReadBool(std::string_view section, std::string_view key, bool defaultValue) const {
  const std::string* text = FindValue(section, key);
  int value = 0;
  if (text && ParseIniInteger(*text, value)) return value != 0;
  return defaultValue;
}

double TIniFile::ReadFloat(std::string_view section, std::string_view key,
                           double defaultValue) const {
  const std::string* text = FindValue(section, key);
  double value = defaultValue;
  if (text) ParseIniFloat(*text, value);
  return value;
}

bool TIniFile::SectionExists(std::string_view section) const {
  return FindSection(section) != nullptr;
}

bool TIniFile::ValueExists(std::string_view section, std::string_view key) const {
  return FindValue(section, key) != nullptr;
}

std::vector<std::string> TIniFile::SectionNames() const {
  std::vector<std::string> names;
  names.reserve(sections_.size());
  for (const TSection& s : sections_) names.push_back(s.name);
  return names;
}

std::vector<std::pair<std::string, std::string>> TIniFile::SectionValues(
    std::string_view section) const {
  const TSection* s = FindSection(section);
  return s ? s->values : std::vector<std::pair<std::string, std::string>>{};
}

}  // namespace qv
