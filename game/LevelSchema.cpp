#include "game/LevelSchema.h"

#include "game/LevelNumbers.h"
#include "platform/IniFile.h"

namespace qv {

float ReadLevelFloat(const TIniFile& ini, std::string_view section, const TLevelKey& key) {
  return ReadLevelFloat(ini, section, key.Name, key.Default);
}

int ReadLevelInteger(const TIniFile& ini, std::string_view section, const TLevelKey& key) {
  return ini.ReadInteger(section, key.Name, static_cast<int>(key.Default));
}

bool ReadLevelBool(const TIniFile& ini, std::string_view section, const TLevelKey& key) {
  return ini.ReadBool(section, key.Name, key.Default != 0);
}

std::string ReadLevelText(const TIniFile& ini, std::string_view section, const TLevelKey& key) {
  return ini.ReadString(section, key.Name, "");
}

}  // namespace qv
