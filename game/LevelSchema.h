#pragma once
// The level file's schema: every key of "Level.ini" with the sections that hold it, its type and
// its default, written once, here. The game's loaders read their keys through it (LevelKey is
// consteval, so a loader naming a key the table lacks does not compile), `qv-tool check` walks it
// to find what to check, and a test compares README's key list with it. Adding a key is one row.
//
// Scope: "Player" is the section written exactly so; a ghost class name stands for every ghost
// section whose classname makes that class or one derived from it (GhostClasses.h), so
// "TGhostObject" rows belong to every ghost section.
//
// Reading follows the ini rules (platform/IniFile.h) and, for numbers, the bounds of
// LevelNumbers.h: a number beyond them is logged and replaced by the row's default.

#include <span>
#include <string>
#include <string_view>

namespace qv {

class TIniFile;

enum class TLevelKeyType {
  Number,   // a float within +-kLevelNumberLimit
  Integer,  // booleans (0 false) and states
  Text,     // file and class names
};

struct TLevelKey {
  std::string_view Scope;  // "Player" or the ghost class whose sections carry it
  std::string_view Name;   // as written in the file; ini names ignore letter case
  TLevelKeyType Type;
  float Default;  // what the game takes when the key is absent or unreadable (0 for Text)
};

inline constexpr TLevelKey kLevelKeys[] = {
    {"Player", "FogStart", TLevelKeyType::Number, 50},
    {"Player", "FogEnd", TLevelKeyType::Number, 1000},  // also the far plane while fog is on
    {"Player", "FogColorR", TLevelKeyType::Number, 0.6f},
    {"Player", "FogColorG", TLevelKeyType::Number, 0.6f},
    {"Player", "FogColorB", TLevelKeyType::Number, 0.6f},
    {"Player", "overrideMaterialAmbientDiffuse", TLevelKeyType::Integer, 0},
    {"Player", "overrideMaterialSpecularShininess", TLevelKeyType::Integer, 0},
    {"Player", "Startingxpos", TLevelKeyType::Number, 0},
    {"Player", "Startingypos", TLevelKeyType::Number, 0},
    {"Player", "Startingzpos", TLevelKeyType::Number, 0},
    {"Player", "Heading", TLevelKeyType::Number, 0},
    {"Player", "Tilt", TLevelKeyType::Number, 0},
    {"Player", "UnitsPerSec", TLevelKeyType::Number, 2},
    {"Player", "AbleToFly", TLevelKeyType::Integer, 0},
    {"TGhostObject", "filename", TLevelKeyType::Text, 0},  // required: no ghost without it
    {"TGhostObject", "classname", TLevelKeyType::Text, 0},
    {"TGhostObject", "Initialxpos", TLevelKeyType::Number, 0},
    {"TGhostObject", "Initialypos", TLevelKeyType::Number, 0},
    {"TGhostObject", "Initialzpos", TLevelKeyType::Number, 0},
    {"TGhostObject", "InitialHeading", TLevelKeyType::Number, 0},
    {"TGhostObject", "InitialTilt", TLevelKeyType::Number, 0},
    {"TGhostObject", "UnitsPerSec", TLevelKeyType::Number, 1},
    {"TInFrustumGhostObject", "ViewingAngle", TLevelKeyType::Number, 35},  // degrees
    {"TShuttleGhostObject", "MoveVecx", TLevelKeyType::Number, 0.2f},
    {"TShuttleGhostObject", "MoveVecy", TLevelKeyType::Number, 0.2f},
    {"TShuttleGhostObject", "MoveVecz", TLevelKeyType::Number, 0.2f},
    {"TSearchGhostObject", "InitialState", TLevelKeyType::Integer,
     2},  // 1 seeking, 2 free, 3 hiding
};

// The row of a key, found while compiling: a scope and name the table lacks is a compile error.
consteval const TLevelKey& LevelKey(std::string_view scope, std::string_view name) {
  for (const TLevelKey& key : kLevelKeys)
    if (key.Scope == scope && key.Name == name) return key;
  throw "no such key in kLevelKeys";
}

inline std::span<const TLevelKey> LevelKeys() { return kLevelKeys; }

// The key's value in `section` as the game reads it, the row's default when absent or unreadable.
float ReadLevelFloat(const TIniFile& ini, std::string_view section, const TLevelKey& key);
int ReadLevelInteger(const TIniFile& ini, std::string_view section, const TLevelKey& key);
bool ReadLevelBool(const TIniFile& ini, std::string_view section, const TLevelKey& key);
std::string ReadLevelText(const TIniFile& ini, std::string_view section, const TLevelKey& key);

}  // namespace qv
