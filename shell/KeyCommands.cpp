// The game window's key commands: one key release, one command. The configurable toggles are
// tried first, in a fixed order, so a toggle key that equals a fixed key (R, a digit, F2, Space,
// Enter, F1, F12) takes its place.
#include <string>
#include <vector>

#include "platform/Keys.h"
#include "platform/LogFile.h"
#include "shell/GLApplication.h"
#include "shell/MyGLWindow.h"

namespace qv {

namespace {

constexpr int kVkR = 82;
constexpr int kVkDigit0 = 48;
constexpr int kVkDigit9 = 57;

// A key character of the settings names the virtual-key code it equals; 0 (no settings) none.
bool Matches(char keyCharacter, int code) {
  return keyCharacter != 0 && static_cast<unsigned char>(keyCharacter) == code;
}

}  // namespace

void TMyGLWindow::KeyUp(int code) {
  if (ToggleKey(code)) return;
  FixedKey(code);
}

void TMyGLWindow::AddToggleMessage(bool on, const std::string& onMessage,
                                   const std::string& offMessage) {
  Messages->Add(on ? onMessage : offMessage);
}

bool TMyGLWindow::ToggleKey(int code) {
  TParams& p = *Params;
  TGLStates& s = *States;
  if (Matches(p.FrameInfoKey, code)) {
    p.ShowFrameInfoLine = !p.ShowFrameInfoLine;
  } else if (Matches(p.FogKey, code)) {
    s.SetFog(!s.Fog);
    GLResize();  // the far plane follows the fog
    AddToggleMessage(s.Fog, p.FogOnMessage, p.FogOffMessage);
  } else if (Matches(p.WireFrameKey, code)) {
    s.SetWireFrame(!s.WireFrame);
    AddToggleMessage(s.WireFrame, p.WireFrameOnMessage, p.WireFrameOffMessage);
  } else if (Matches(p.LightKey, code)) {
    s.SetLight(!s.Light);
    AddToggleMessage(s.Light, p.LightOnMessage, p.LightOffMessage);
  } else if (Matches(p.MouseCaptureKey, code)) {
    p.MouseCapture = !p.MouseCapture;
    App().SetCursorVisible(!p.MouseCapture);
    AddToggleMessage(p.MouseCapture, p.MouseCaptureOnMessage, p.MouseCaptureOffMessage);
  } else if (Matches(p.TextureKey, code)) {
    s.SetTexture(!s.Texture);
    AddToggleMessage(s.Texture, p.TextureOnMessage, p.TextureOffMessage);
  } else if (Matches(p.AlphaTestKey, code)) {
    s.SetAlphaTest(!s.AlphaTest);
    AddToggleMessage(s.AlphaTest, p.AlphaTestOnMessage, p.AlphaTestOffMessage);
  } else if (Matches(p.BlendKey, code)) {
    s.SetBlend(!s.Blend);
    AddToggleMessage(s.Blend, p.BlendOnMessage, p.BlendOffMessage);
  } else if (Matches(p.SeparateSpecularKey, code)) {
    s.SetSeparateSpecular(!s.SeparateSpecular);
    AddToggleMessage(s.SeparateSpecular, p.SeparateSpecularOnMessage, p.SeparateSpecularOffMessage);
  } else if (Matches(p.DisplayListsKey, code)) {
    World->SetUseDisplayLists(!World->UsesDisplayLists());
    AddToggleMessage(World->UsesDisplayLists(), p.DisplayListsOnMessage, p.DisplayListsOffMessage);
  } else if (Matches(p.HighestQualityKey, code)) {
    s.HighestQuality();
    Messages->Add(p.HighestQualityOnMessage);
  } else {
    return false;
  }
  return true;
}

bool TMyGLWindow::FixedKey(int code) {
  TGLApplication& app = App();
  if (code == kVkR) {
    World->GetPlayer().PlaceAt(TVector{0, 0, 0});
    Messages->Add("Reset to position(0,0,0)");
  } else if (code >= kVkDigit0 && code <= kVkDigit9) {
    LoadLevel(code - kVkDigit0, true);
  } else if (code == kVkF2) {
    GlobalLog().Log("modeswitch");
    if (app.FullScreen)
      app.SetDisplayMode(0, 0, 0, false);
    else
      app.SetDisplayMode(Params->Width, Params->Height, Params->Bits, true);
  } else if (code == kVkSpace && World->GameRunning()) {
    World->EndGame();
    GlobalLog().Log("reset seek game");
    Messages->Add("");
    Messages->Add("      The Seeker is tired of seeking.");
    Messages->Add("");
  } else if (code == kVkReturn) {
    if (World->GameRunning()) World->EndGame();
    World->PlayerStartsSeeking();
    GlobalLog().Log("player starts seeking");
    Messages->Add("");
    Messages->Add("      You're The Seeker now.");
    Messages->Add("");
  } else if (code == kVkF1) {
    ShowHelp();
  } else if (code == kVkF12) {
    // The key is released between frames, after the last one was swapped: the next frame drawn
    // is the one on the screen now, give or take a frame's movement.
    screenshotWanted_ = true;
  } else {
    return false;
  }
  return true;
}

void TMyGLWindow::ShowHelp() {
  Messages->Clear();
  for (const std::string& line : HelpLines(*Params)) Messages->Add(line);
}

std::vector<std::string> TMyGLWindow::HelpLines(const TParams& p) {
  const auto key = [](char c) { return std::string(1, c); };
  return {
      "Quorvantille - Keys:",
      " ",
      "Mouse/Arrows...movement       MouseButtons...jump/crouch",
      "Space..........terminate current Hide & Seek game",
      "Enter..........start seeking yourself",
      " ",
      "F1.............this help      ESC............quit program",
      "F2.............fullscreen",
      " ",
      "Number Keys....switch level   Q..............highest quality",
      " ",
      "Toggles:",
      key(p.MouseCaptureKey) + "...MouseCapture",
      key(p.DisplayListsKey) + "...DisplayLists    " + key(p.FogKey) + "...Fog            " +
          key(p.SeparateSpecularKey) + "...SeparateSpecColor",
      key(p.BlendKey) + "...Blending        " + key(p.LightKey) + "...Lighting       " +
          key(p.AlphaTestKey) + "...AlphaTest",
      key(p.WireFrameKey) + "...WireFrame       " + key(p.TextureKey) + "...Textures       " +
          key(p.FrameInfoKey) + "...FrameInfo",
      " ",
      " ",
      " ",
      "          (Quorvantille - made by the Quorvantille developers)",
  };
}

}  // namespace qv
