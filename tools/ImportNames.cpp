#include "tools/ImportNames.h"

#include <cctype>

namespace qvtool {

namespace {

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

// The parts of a name that must survive shortening: its mesh-kind prefix and its reflection mark.
struct TNameParts {
  std::string prefix;  // "ter", "col" or ""
  std::string mark;    // "CUBEMAP" or ""
  std::string rest;    // everything else, in order
};

TNameParts Split(const std::string& name) {
  TNameParts parts;
  std::string body = name;
  if (body.starts_with("ter") || body.starts_with("col")) {
    parts.prefix = body.substr(0, 3);
    body.erase(0, 3);
  }
  const std::size_t mark = body.find("CUBEMAP");
  if (mark != std::string::npos) {
    parts.mark = "CUBEMAP";
    body.erase(mark, 7);
  }
  parts.rest = body;
  return parts;
}

// prefix + the first characters of the rest + mark + tail, within `limit`.
std::string Compose(const TNameParts& parts, const std::string& tail, std::size_t limit) {
  const std::size_t fixed = parts.prefix.size() + parts.mark.size() + tail.size();
  const std::size_t room = limit > fixed ? limit - fixed : 0;
  return parts.prefix + parts.rest.substr(0, room) + parts.mark + tail;
}

}  // namespace

bool TNameTable::Taken(const std::string& name) const {
  return taken_.count(case_ == TNameCase::Insensitive ? Lower(name) : name) > 0;
}

std::string TNameTable::Claim(const std::string& wanted) {
  std::string name = wanted;
  if (name.size() > limit_ || Taken(name)) {
    const TNameParts parts = Split(wanted);
    name = Compose(parts, "", limit_);
    for (int n = 2; Taken(name); ++n) name = Compose(parts, "~" + std::to_string(n), limit_);
  }
  taken_.insert(case_ == TNameCase::Insensitive ? Lower(name) : name);
  return name;
}

}  // namespace qvtool
