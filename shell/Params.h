#pragma once
// TParams: the game's settings, read once from the settings file when the game window is made and
// then a plain record of initial values. Nothing is ever written back, and nothing changes it
// after construction: the switches the player flips live in TGLStates.
//
// Contract:
//  - No settings file: every field stays zero (false, 0, key character 0 which matches no key,
//    empty messages, no levels), so the game starts with every toggle off; only the mouse keeps
//    its plain steering (MouseSensitivity 1, not inverted).
//  - Otherwise every key is read with its default under the ini reader's rules ("12abc" counts as
//    missing). Refused, with an EGL naming the file and the key: a key setting present but empty,
//    "Width" or "Height" below 0, "Bits" outside 0..255, [Mouse] "Sensitivity" outside 0..100.
//  - Movement keys ([Keys] "ForwardKey", "BackKey", "StepLeftKey", "StepRightKey", "RunKey",
//    "JumpKey", "CrouchKey") are additions: left out, they are character 0 and match no key, so
//    only the arrows, Ctrl and the mouse buttons move the player, as always.
//  - Levels: each line of [Levels] with a value names a level folder; repeated key names (any
//    letter case) make one level with the first line's value; file order gives the numbers. The
//    folder is kept as written with a "\" added unless it already ends in "\" or "/". Callers open
//    level files through the path layer: ResolvePath(LevelDir(i) + "Level.ini"), or LevelFile(i,
//    "Level.ini") which does exactly that, so folders written for Windows work unchanged.
//  - Key settings keep only their first character, compared with virtual-key codes: write letters
//    in upper case (a lower-case letter has the code of a keypad key).

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Paths.h"

namespace qv {

class TParams {
 public:
  explicit TParams(const std::filesystem::path& settings = SettingsPath());

  // The folder of level `index` (0-based) with its trailing delimiter; std::out_of_range outside
  // 0..LevelCount()-1.
  std::string LevelDir(int index) const;
  int LevelCount() const { return static_cast<int>(LevelDirs.size()); }
  // ResolvePath(LevelDir(index) + name): a file of that level, found without regard to separators
  // and letter case, relative to the current directory.
  std::filesystem::path LevelFile(int index, std::string_view name) const;
  // The settings file this record was read from (whether or not it existed).
  const std::filesystem::path& FileName() const { return fileName_; }

  // Every field and the file name equal.
  friend bool operator==(const TParams&, const TParams&) = default;

  // [Window]
  int Width = 0;              // full-screen width, pixels (default 640)
  int Height = 0;             // full-screen height, pixels (default 480)
  int Bits = 0;               // full-screen colour depth, 0..255 (default 32)
  bool FullScreen = false;    // read and kept; the game always starts windowed (default true)
  bool MouseCapture = false;  // steer with the hidden cursor held near the centre (default true)
  // [GL], each default true except DisplayLists
  bool Fog = false;                // initial fog switch
  bool Light = false;              // initial lighting switch
  bool ShowFrameInfoLine = false;  // the frame-rate line is drawn
  bool Texture = false;            // initial texture switch
  bool AlphaTest = false;          // initial alpha-test switch
  bool Blend = false;              // initial blending switch
  bool SeparateSpecular = false;   // initial separate-specular switch
  bool DisplayLists = false;       // meshes use display lists (default false)
  bool WireFrame = false;          // no key: wire frame always starts off
  // [Keys]: key characters and the messages that report each toggle
  char FogKey = 0;
  std::string FogOnMessage, FogOffMessage;
  char LightKey = 0;
  std::string LightOnMessage, LightOffMessage;
  char FrameInfoKey = 0;
  char WireFrameKey = 0;
  std::string WireFrameOnMessage, WireFrameOffMessage;
  char MouseCaptureKey = 0;
  std::string MouseCaptureOnMessage, MouseCaptureOffMessage;
  char TextureKey = 0;
  std::string TextureOnMessage, TextureOffMessage;
  char AlphaTestKey = 0;
  std::string AlphaTestOnMessage, AlphaTestOffMessage;
  char BlendKey = 0;
  std::string BlendOnMessage, BlendOffMessage;
  char SeparateSpecularKey = 0;
  std::string SeparateSpecularOnMessage, SeparateSpecularOffMessage;
  char DisplayListsKey = 0;
  std::string DisplayListsOnMessage, DisplayListsOffMessage;
  char HighestQualityKey = 0;
  std::string HighestQualityOnMessage;
  // [Keys], movement beside the arrows, Ctrl and the mouse buttons (which always work); 0: none
  char ForwardKey = 0;
  char BackKey = 0;
  char StepLeftKey = 0;
  char StepRightKey = 0;
  char RunKey = 0;
  char JumpKey = 0;
  char CrouchKey = 0;
  // [Mouse]
  float MouseSensitivity = 1.0f;  // "Sensitivity": multiplies the turn per mouse travel (default 1)
  bool InvertMouse = false;       // "InvertY": moving the mouse forward looks down (default 0)
  // [Levels]
  std::vector<std::string> LevelDirs;  // level folders in level-number order, delimiter at the end

 private:
  std::filesystem::path fileName_;
};

}  // namespace qv
