#include "assets/DemoContent.h"

#include <charconv>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include "assets/DemoLevels.h"
#include "assets/DemoParts.h"
#include "assets/DemoTextures.h"
#include "assets/DemoWriter.h"

namespace qv::assets {

void TDemoFiles::AddBytes(const std::string& path, std::vector<std::uint8_t> bytes) {
  for (const TDemoFile& file : Files)
    if (file.Path == path) throw std::logic_error("demo file written twice: " + path);
  Files.push_back({path, std::move(bytes)});
}

void TDemoFiles::AddModel(const std::string& path, const TDemoModel& model) {
  AddBytes(path, EncodeModel(model));
}

void TDemoFiles::AddTexture(const std::string& path, const TTgaImage& image) {
  AddBytes(path, EncodeTga(image));
}

void TDemoFiles::AddText(const std::string& path, const std::string& text) {
  AddBytes(path, std::vector<std::uint8_t>(text.begin(), text.end()));
}

std::string FloatText(float value) {
  char buffer[32];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, result.ptr);
}

TIniText& TIniText::Comment(const std::string& text) {
  Out += "; " + text + "\r\n";
  return *this;
}

TIniText& TIniText::Section(const std::string& name) {
  if (!Out.empty()) Out += "\r\n";
  Out += "[" + name + "]\r\n";
  return *this;
}

TIniText& TIniText::Key(const std::string& key, const std::string& value) {
  Out += key + "=" + value + "\r\n";
  return *this;
}

TIniText& TIniText::Key(const std::string& key, float value) { return Key(key, FloatText(value)); }

TIniText& TIniText::Key(const std::string& key, int value) {
  return Key(key, std::to_string(value));
}

void AddSettings(TDemoFiles& files) {
  TIniText ini;
  ini.Comment("Quorvantille settings, read once at start and never written back.")
      .Comment("Every key is listed with the value the game takes when the key is left out.")
      .Comment("Switches are 0 (off) or 1 (on). Key settings: only the first character counts;")
      .Comment("write letters in upper case.")
      .Section("Window")
      .Comment("The full-screen mode F2 switches to; the game always starts in a window.")
      .Key("Width", 640)
      .Key("Height", 480)
      .Key("Bits", 32)
      .Key("FullScreen", 1)
      .Key("MouseCapture", 1)
      .Section("GL")
      .Key("Fog", 1)
      .Key("Light", 1)
      .Key("ShowFrameInfoLine", 1)
      .Key("Texture", 1)
      .Key("AlphaTest", 1)
      .Key("Blend", 1)
      .Key("SeparateSpecular", 1)
      .Key("DisplayLists", 0)
      .Section("Keys")
      .Key("FogKey", "F")
      .Key("FogOnMessage", "Fog enabled")
      .Key("FogOffMessage", "Fog disabled")
      .Key("LightKey", "L")
      .Key("LightOnMessage", "Lighting enabled")
      .Key("LightOffMessage", "Lighting disabled")
      .Key("FrameInfoKey", "I")
      .Key("WireFrameKey", "X")
      .Key("WireFrameOnMessage", "Displaying WireFrame")
      .Key("WireFrameOffMessage", "Displaying Filled Polygons")
      .Key("MouseCaptureKey", "M")
      .Key("MouseCaptureOnMessage", "MouseCapture on")
      .Key("MouseCaptureOffMessage", "MouseCapture off")
      .Key("TextureKey", "T")
      .Key("TextureOnMessage", "Texturing enabled")
      .Key("TextureOffMessage", "Texturing disabled")
      .Key("AlphaTestKey", "H")
      .Key("AlphaTestOnMessage", "AlphaTesting enabled")
      .Key("AlphaTestOffMessage", "AlphaTesting disabled")
      .Key("BlendKey", "B")
      .Key("BlendOnMessage", "Blending enabled")
      .Key("BlendOffMessage", "Blending disabled")
      .Key("SeparateSpecularKey", "P")
      .Key("SeparateSpecularOnMessage", "SeparateSpeculareColor enabled")
      .Key("SeparateSpecularOffMessage", "SeparateSpeculareColor disabled")
      .Key("DisplayListsKey", "K")
      .Key("DisplayListsOnMessage", "Using DisplayLists")
      .Key("DisplayListsOffMessage", "Using VertexArrays only")
      .Key("HighestQualityKey", "Q")
      .Key("HighestQualityOnMessage", "Set to HighestQuality")
      .Comment("Movement beside the arrows, Ctrl and the mouse buttons, which always work. Left")
      .Comment("out, a movement key is none; so are RunKey and JumpKey here.")
      .Key("ForwardKey", "W")
      .Key("BackKey", "S")
      .Key("StepLeftKey", "A")
      .Key("StepRightKey", "D")
      .Key("CrouchKey", "C")
      .Section("Mouse")
      .Comment("Sensitivity multiplies the turn per mouse travel (0..100); InvertY 1: mouse")
      .Comment("forward looks down.")
      .Key("Sensitivity", 1.0f)
      .Key("InvertY", 0)
      .Section("Levels")
      .Comment("Level numbers follow the order of these lines; the game starts in level 2.")
      .Key("Meadow", "levels\\Meadow")
      .Key("Tiny", "levels\\Tiny\\")
      .Key("Showcase", "levels\\Showcase\\")
      .Key("Stress", "levels\\Stress\\");
  files.AddText(kSettingsFileName, ini.Text());
}

void AddSharedObjects(TDemoFiles& files) {
  files.AddModel("objects/Player.3ds", PlayerModel());
  // Large enough to enclose every level that falls back on it.
  files.AddModel("objects/SkyBox.3DS", SkyModel(900.0f, "sky.jpg"));
  files.AddTexture("objects/sky.tga", SkyTexture(256, 21, {250, 170, 110}, {110, 90, 150}));
}

std::vector<TDemoFile> BuildDemoFiles() {
  TDemoFiles files;
  AddSettings(files);
  AddSharedObjects(files);
  AddMeadowLevel(files);
  AddTinyLevel(files);
  AddShowcaseLevel(files);
  AddStressLevel(files);
  return files.Take();
}

namespace {

bool HoldsBytes(const std::filesystem::path& file, const std::vector<std::uint8_t>& bytes) {
  std::error_code error;
  if (!std::filesystem::is_regular_file(file, error)) return false;
  if (std::filesystem::file_size(file, error) != bytes.size() || error) return false;
  std::ifstream in(file, std::ios::binary);
  const std::vector<std::uint8_t> old((std::istreambuf_iterator<char>(in)),
                                      std::istreambuf_iterator<char>());
  return old == bytes;
}

}  // namespace

TDemoWriteResult WriteDemoContent(const std::filesystem::path& outDir) {
  TDemoWriteResult result;
  for (const TDemoFile& file : BuildDemoFiles()) {
    const std::filesystem::path target = outDir / std::filesystem::path(file.Path);
    if (HoldsBytes(target, file.Bytes)) {
      ++result.Unchanged;
      continue;
    }
    std::error_code error;
    std::filesystem::create_directories(target.parent_path(), error);
    if (error)
      throw std::runtime_error(target.parent_path().string() +
                               ": cannot create folder: " + error.message());
    WriteBytes(target, file.Bytes);
    ++result.Written;
  }
  return result;
}

}  // namespace qv::assets
