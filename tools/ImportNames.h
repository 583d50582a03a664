#pragma once
// Names for the .3ds file the importer writes: each fits the format's limit, is unique within its
// file and keeps what gives it meaning in the game (the case-sensitive "ter" and "col" prefixes of
// mesh names, the "CUBEMAP" mark of material names).

#include <cstddef>
#include <set>
#include <string>

namespace qvtool {

// Object names hold 10 characters, material names 16, texture map names 8 before ".tga".
constexpr std::size_t kMeshNameLimit = 10;
constexpr std::size_t kMaterialNameLimit = 16;
constexpr std::size_t kTextureStemLimit = 8;

// How two names clash: mesh names are looked at as written, material names as the game's material
// table compares them (letter case ignored), texture files as a case-insensitive disk sees them.
enum class TNameCase { Sensitive, Insensitive };

class TNameTable {
 public:
  TNameTable(std::size_t limit, TNameCase nameCase) : limit_(limit), case_(nameCase) {}

  // `wanted` when it fits and is free; otherwise the shortest change that keeps the prefix and
  // the mark: the middle cut, then "~2", "~3", ... at the end until the name is free.
  std::string Claim(const std::string& wanted);

 private:
  bool Taken(const std::string& name) const;
  std::size_t limit_;
  TNameCase case_;
  std::set<std::string> taken_;  // as compared (lower case when insensitive)
};

}  // namespace qvtool
