#include "shell/Params.h"

#include <cstdint>
#include <stdexcept>
#include <string>
#include <system_error>
#include <unordered_set>

#include "platform/EGL.h"
#include "platform/IniFile.h"

namespace qv {

namespace {

template <class T>
struct TSetting {
  const char* section;
  const char* key;
  T TParams::*field;
  T defaultValue;
};

// One row per key with its default, grouped by type.
const TSetting<bool> kBools[] = {
    {"Window", "FullScreen", &TParams::FullScreen, true},
    {"Window", "MouseCapture", &TParams::MouseCapture, true},
    {"GL", "Fog", &TParams::Fog, true},
    {"GL", "Light", &TParams::Light, true},
    {"GL", "ShowFrameInfoLine", &TParams::ShowFrameInfoLine, true},
    {"GL", "Texture", &TParams::Texture, true},
    {"GL", "AlphaTest", &TParams::AlphaTest, true},
    {"GL", "Blend", &TParams::Blend, true},
    {"GL", "SeparateSpecular", &TParams::SeparateSpecular, true},
    {"GL", "DisplayLists", &TParams::DisplayLists, false},
    {"Mouse", "InvertY", &TParams::InvertMouse, false},
};

struct TRange {
  int min, max;
};
struct TIntSetting {
  TSetting<int> setting;
  TRange range;
};
// No window system makes a window beyond 16384 pixels a side (X11 stops at 32767, GL viewports
// at 16384 on common drivers), and a refused full-screen mode falls back to a window of this
// size: a larger one would only fail deeper down, or overflow a pixel count.
constexpr int kLargestSide = 16384;
const TIntSetting kInts[] = {
    {{"Window", "Width", &TParams::Width, 640}, {0, kLargestSide}},
    {{"Window", "Height", &TParams::Height, 480}, {0, kLargestSide}},
    {{"Window", "Bits", &TParams::Bits, 32}, {0, 255}},
};

const TSetting<char> kKeys[] = {
    {"Keys", "FogKey", &TParams::FogKey, 'F'},
    {"Keys", "LightKey", &TParams::LightKey, 'L'},
    {"Keys", "FrameInfoKey", &TParams::FrameInfoKey, 'I'},
    {"Keys", "WireFrameKey", &TParams::WireFrameKey, 'W'},
    {"Keys", "MouseCaptureKey", &TParams::MouseCaptureKey, 'M'},
    {"Keys", "TextureKey", &TParams::TextureKey, 'T'},
    {"Keys", "AlphaTestKey", &TParams::AlphaTestKey, 'A'},
    {"Keys", "BlendKey", &TParams::BlendKey, 'B'},
    {"Keys", "SeparateSpecularKey", &TParams::SeparateSpecularKey, 'S'},
    {"Keys", "DisplayListsKey", &TParams::DisplayListsKey, 'D'},
    {"Keys", "HighestQualityKey", &TParams::HighestQualityKey, 'Q'},
    {"Keys", "ForwardKey", &TParams::ForwardKey, 0},
    {"Keys", "BackKey", &TParams::BackKey, 0},
    {"Keys", "StepLeftKey", &TParams::StepLeftKey, 0},
    {"Keys", "StepRightKey", &TParams::StepRightKey, 0},
    {"Keys", "RunKey", &TParams::RunKey, 0},
    {"Keys", "JumpKey", &TParams::JumpKey, 0},
    {"Keys", "CrouchKey", &TParams::CrouchKey, 0},
};

// Ten times slower or faster than the plain steering is already unplayable; the bound keeps a
// typing slip ("1e9") from spinning the view a million turns per pixel.
constexpr double kMaxMouseSensitivity = 100.0;

struct TMessageSetting {
  const char* key;  // in [Keys]
  std::string TParams::*field;
  const char* defaultValue;
};
const TMessageSetting kMessages[] = {
    {"FogOnMessage", &TParams::FogOnMessage, "Fog enabled"},
    {"FogOffMessage", &TParams::FogOffMessage, "Fog disabled"},
    {"LightOnMessage", &TParams::LightOnMessage, "Lighting enabled"},
    {"LightOffMessage", &TParams::LightOffMessage, "Lighting disabled"},
    {"WireFrameOnMessage", &TParams::WireFrameOnMessage, "Displaying WireFrame"},
    {"WireFrameOffMessage", &TParams::WireFrameOffMessage, "Displaying Filled Polygons"},
    {"MouseCaptureOnMessage", &TParams::MouseCaptureOnMessage, "MouseCapture on"},
    {"MouseCaptureOffMessage", &TParams::MouseCaptureOffMessage, "MouseCapture off"},
    {"TextureOnMessage", &TParams::TextureOnMessage, "Texturing enabled"},
    {"TextureOffMessage", &TParams::TextureOffMessage, "Texturing disabled"},
    {"AlphaTestOnMessage", &TParams::AlphaTestOnMessage, "AlphaTesting enabled"},
    {"AlphaTestOffMessage", &TParams::AlphaTestOffMessage, "AlphaTesting disabled"},
    {"BlendOnMessage", &TParams::BlendOnMessage, "Blending enabled"},
    {"BlendOffMessage", &TParams::BlendOffMessage, "Blending disabled"},
    {"SeparateSpecularOnMessage", &TParams::SeparateSpecularOnMessage,
     "SeparateSpeculareColor enabled"},
    {"SeparateSpecularOffMessage", &TParams::SeparateSpecularOffMessage,
     "SeparateSpeculareColor disabled"},
    {"DisplayListsOnMessage", &TParams::DisplayListsOnMessage, "Using DisplayLists"},
    {"DisplayListsOffMessage", &TParams::DisplayListsOffMessage, "Using VertexArrays only"},
    {"HighestQualityOnMessage", &TParams::HighestQualityOnMessage, "Set to HighestQuality"},
};

char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// Key names compare without regard to letter case: equal names fold to the same text.
std::string FoldedKeyName(std::string_view name) {
  std::string folded(name);
  for (char& c : folded) c = LowerAscii(c);
  return folded;
}

[[noreturn]] void Refuse(const std::filesystem::path& file, const char* section, const char* key,
                         const std::string& problem) {
  throw EGL("Settings file " + file.string() + ": [" + section + "] " + key + " " + problem);
}

}  // namespace

TParams::TParams(const std::filesystem::path& settings) : fileName_(settings) {
  std::error_code ec;
  if (!std::filesystem::exists(settings, ec)) return;
  const TIniFile ini(settings);

  for (const auto& [section, key, field, fallback] : kBools)
    this->*field = ini.ReadBool(section, key, fallback);

  for (const auto& [setting, range] : kInts) {
    const int value = ini.ReadInteger(setting.section, setting.key, setting.defaultValue);
    if (value < range.min || value > range.max)
      Refuse(settings, setting.section, setting.key,
             "is " + std::to_string(value) + "; it must lie in 0.." + std::to_string(range.max));
    this->*setting.field = value;
  }

  const double sensitivity = ini.ReadFloat("Mouse", "Sensitivity", 1.0);
  if (!(sensitivity >= 0 && sensitivity <= kMaxMouseSensitivity))
    Refuse(settings, "Mouse", "Sensitivity",
           "is " + ini.ReadString("Mouse", "Sensitivity", "") + "; it must lie in 0..100");
  MouseSensitivity = static_cast<float>(sensitivity);

  for (const auto& [section, key, field, fallback] : kKeys) {
    if (!ini.ValueExists(section, key)) {
      this->*field = fallback;
      continue;
    }
    const std::string text = ini.ReadString(section, key, "");
    if (text.empty()) Refuse(settings, section, key, "is empty; it needs one key character");
    this->*field = text.front();
  }

  for (const auto& [key, field, fallback] : kMessages)
    this->*field = ini.ReadString("Keys", key, fallback);

  // A repeated key name is one level, with the first line's value (the profile reader would find
  // only that one), numbered where the name first appears. Looked up in a set: comparing every
  // line with every earlier one grows with the square of the lines, and the reader's 16 MB allow
  // millions of them.
  std::unordered_set<std::string> seen;
  for (const auto& [key, value] : ini.SectionValues("Levels")) {
    if (!seen.insert(FoldedKeyName(key)).second) continue;
    if (value.empty()) continue;
    const char last = value.back();
    LevelDirs.push_back(last == '\\' || last == '/' ? value : value + '\\');
  }
}

std::string TParams::LevelDir(int index) const {
  if (index < 0 || index >= LevelCount())
    throw std::out_of_range("TParams.LevelDir: level " + std::to_string(index) + " of " +
                            std::to_string(LevelCount()));
  return LevelDirs[static_cast<std::size_t>(index)];
}

std::filesystem::path TParams::LevelFile(int index, std::string_view name) const {
  return ResolvePath(LevelDir(index) + std::string(name));
}

}  // namespace qv
