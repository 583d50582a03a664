// The ini reader on arbitrary bytes: parsing and every lookup must stay in bounds, and a value can
// never be longer than the text it came from.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/IniFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const qv::TIniFile ini = qv::TIniFile::FromText(text);
  for (const std::string& section : ini.SectionNames()) {
    if (!ini.SectionExists(section)) __builtin_trap();
    for (const auto& [key, value] : ini.SectionValues(section)) {
      ini.ReadInteger(section, key, 0);
      ini.ReadBool(section, key, false);
      ini.ReadFloat(section, key, 0.0);
      if (ini.ReadString(section, key, "").size() > size || value.size() > size) __builtin_trap();
    }
  }
  return 0;
}
