#include "shell/InputFile.h"

#include <charconv>
#include <fstream>
#include <sstream>
#include <string_view>

#include "platform/Events.h"

namespace qv {

namespace {

constexpr std::int64_t kMaxFrameMs = 3600000;  // an hour: more is a typo, and sums stay small
constexpr int kMaxSize = 16384;                // beyond any GL viewport; bounds a screenshot

std::vector<std::string_view> Words(std::string_view text) {
  std::vector<std::string_view> words;
  std::size_t at = 0;
  while (at < text.size()) {
    while (at < text.size() && (text[at] == ' ' || text[at] == '\t')) ++at;
    const std::size_t start = at;
    while (at < text.size() && text[at] != ' ' && text[at] != '\t') ++at;
    if (at > start) words.push_back(text.substr(start, at - start));
  }
  return words;
}

std::string_view Trim(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r'))
    text.remove_suffix(1);
  return text;
}

class TLineReader {
 public:
  TLineReader(const std::string& name, int line) : name_(name), line_(line) {}

  [[noreturn]] void Fail(const std::string& problem) const {
    throw TInputError(name_ + ":" + std::to_string(line_) + ": " + problem);
  }

  std::int64_t Number(std::string_view word, std::int64_t low, std::int64_t high,
                      const char* what) const {
    std::int64_t value = 0;
    const char* end = word.data() + word.size();
    const auto [ptr, error] = std::from_chars(word.data(), end, value);
    if (error != std::errc() || ptr != end)
      Fail(std::string(what) + " \"" + std::string(word) + "\" is not a whole number");
    if (value < low || value > high)
      Fail(std::string(what) + " " + std::to_string(value) + " is not within " +
           std::to_string(low) + ".." + std::to_string(high));
    return value;
  }

  void Count(const std::vector<std::string_view>& words, std::size_t wanted) const {
    if (words.size() != wanted)
      Fail("\"" + std::string(words[0]) + "\" takes " + std::to_string(wanted - 1) +
           " value(s), the line has " + std::to_string(words.size() - 1));
  }

  bool Down(std::string_view word) const {
    if (word == "down") return true;
    if (word == "up") return false;
    Fail("expected \"down\" or \"up\", not \"" + std::string(word) + "\"");
  }

 private:
  const std::string& name_;
  int line_;
};

}  // namespace

std::vector<TInputItem> ReadInput(std::istream& in, const std::string& name) {
  std::vector<TInputItem> items;
  bool header = false;
  bool framed = false;
  std::string text;
  int line = 0;
  while (std::getline(in, text)) {
    ++line;
    std::string_view content = text;
    if (const std::size_t hash = content.find('#'); hash != std::string_view::npos)
      content = content.substr(0, hash);
    content = Trim(content);
    if (content.empty()) continue;
    const TLineReader reader(name, line);
    const std::vector<std::string_view> words = Words(content);
    if (!header) {
      if (words.size() != 2 || words[0] != "quorvantille-input")
        reader.Fail(std::string("expected the header \"") + kInputHeader + "\"");
      if (words[1] != "1")
        reader.Fail("input file version " + std::string(words[1]) + " is not known (only 1 is)");
      header = true;
      continue;
    }
    TInputItem item;
    item.line = line;
    const std::string_view word = words[0];
    if (word == "seed") {
      reader.Count(words, 2);
      item.kind = TInputKind::Seed;
      item.a = reader.Number(words[1], 0, 4294967295LL, "seed");
    } else if (word == "key") {
      reader.Count(words, 3);
      item.kind = reader.Down(words[1]) ? TInputKind::KeyDown : TInputKind::KeyUp;
      item.a = reader.Number(words[2], 1, 254, "key code");
    } else if (word == "button") {
      reader.Count(words, 3);
      item.kind = reader.Down(words[1]) ? TInputKind::ButtonDown : TInputKind::ButtonUp;
      item.a = reader.Number(words[2], 1, 4, "button");
      if (item.a == 3) reader.Fail("button 3 is none: 1 left, 2 right, 4 middle");
    } else if (word == "mouse") {
      reader.Count(words, 3);
      item.kind = TInputKind::Mouse;
      item.a = reader.Number(words[1], -32768, 32767, "x");
      item.b = static_cast<int>(reader.Number(words[2], -32768, 32767, "y"));
    } else if (word == "size") {
      reader.Count(words, 3);
      item.kind = TInputKind::Size;
      item.a = reader.Number(words[1], 0, kMaxSize, "width");
      item.b = static_cast<int>(reader.Number(words[2], 0, kMaxSize, "height"));
    } else if (word == "frame") {
      reader.Count(words, 2);
      item.kind = TInputKind::Frame;
      item.a = reader.Number(words[1], 0, kMaxFrameMs, "milliseconds");
      framed = true;
    } else if (word == "shot") {
      if (words.size() < 2) reader.Fail("\"shot\" needs the name of a PNG file");
      if (!framed) reader.Fail("\"shot\" before the first frame: there is nothing to save yet");
      item.kind = TInputKind::Shot;
      item.file = std::string(Trim(content.substr(4)));
    } else {
      reader.Fail("unknown item \"" + std::string(word) + "\"");
    }
    items.push_back(std::move(item));
  }
  if (!header)
    throw TInputError(name + ":" + std::to_string(line + 1) + ": expected the header \"" +
                      kInputHeader + "\", the file ends first");
  return items;
}

std::vector<TInputItem> ReadInputFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw TInputError(path.string() + ": cannot be opened");
  return ReadInput(in, path.string());
}

std::string FormatInputItem(const TInputItem& item) {
  const std::string a = std::to_string(item.a);
  const std::string b = std::to_string(item.b);
  switch (item.kind) {
    case TInputKind::Seed: return "seed " + a;
    case TInputKind::KeyDown: return "key down " + a;
    case TInputKind::KeyUp: return "key up " + a;
    case TInputKind::ButtonDown: return "button down " + a;
    case TInputKind::ButtonUp: return "button up " + a;
    case TInputKind::Mouse: return "mouse " + a + " " + b;
    case TInputKind::Size: return "size " + a + " " + b;
    case TInputKind::Frame: return "frame " + a;
    case TInputKind::Shot: return "shot " + item.file;
  }
  return {};
}

bool InputItemOf(const TMessage& message, TInputItem& item) {
  item = TInputItem{};
  item.a = message.a;
  switch (message.kind) {
    case TMessageKind::KeyDown: item.kind = TInputKind::KeyDown; break;
    case TMessageKind::KeyUp: item.kind = TInputKind::KeyUp; break;
    case TMessageKind::ButtonDown: item.kind = TInputKind::ButtonDown; break;
    case TMessageKind::ButtonUp: item.kind = TInputKind::ButtonUp; break;
    case TMessageKind::MouseMove:
      item.kind = TInputKind::Mouse;
      item.b = message.b;
      break;
    case TMessageKind::Size:
      item.kind = TInputKind::Size;
      item.b = message.b;
      break;
    default: return false;
  }
  return true;
}

bool MessageOf(const TInputItem& item, TMessage& message) {
  const int a = static_cast<int>(item.a);
  switch (item.kind) {
    case TInputKind::KeyDown: message = {TMessageKind::KeyDown, a, 0}; return true;
    case TInputKind::KeyUp: message = {TMessageKind::KeyUp, a, 0}; return true;
    case TInputKind::ButtonDown: message = {TMessageKind::ButtonDown, a, 0}; return true;
    case TInputKind::ButtonUp: message = {TMessageKind::ButtonUp, a, 0}; return true;
    case TInputKind::Mouse: message = {TMessageKind::MouseMove, a, item.b}; return true;
    case TInputKind::Size: message = {TMessageKind::Size, a, item.b}; return true;
    default: return false;
  }
}

}  // namespace qv
