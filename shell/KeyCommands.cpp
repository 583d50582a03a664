// The game window's key commands: one key release, one command. The configurable toggles are
// tried first, in a fixed order, so a toggle key that equals a fixed key (R, a digit, F2, Space,
// Enter, F1, F12) takes its place.
#include <cstdio>
#include <string>
#include <vector>

#include "platform/Keys.h"
#include "platform/LogFile.h"
#include "shell/GLApplication.h"
#include "shell/GLStates.h"
#include "shell/MyGLWindow.h"

namespace qv {

namespace {

// A key character of the settings names the virtual-key code it equals; 0 (no settings) none.
bool Matches(char keyCharacter, int code) {
  return keyCharacter != 0 && static_cast<unsigned char>(keyCharacter) == code;
}

// One toggle command: its key setting, the messages that report the new state (none for the
// frame-rate line; HighestQuality only turns on) and the switch it flips.
struct TToggle {
  char TParams::*key;
  std::string TParams::*onMessage;   // null: the toggle says nothing
  std::string TParams::*offMessage;  // null: the toggle says nothing when it turns off
  TSwitch which;
};

// In the order the keys are tried: where two toggles share a key, the first wins.
const TToggle kToggles[] = {
    {&TParams::FrameInfoKey, nullptr, nullptr, TSwitch::FrameInfo},
    {&TParams::FogKey, &TParams::FogOnMessage, &TParams::FogOffMessage, TSwitch::Fog},
    {&TParams::WireFrameKey, &TParams::WireFrameOnMessage, &TParams::WireFrameOffMessage,
     TSwitch::WireFrame},
    {&TParams::LightKey, &TParams::LightOnMessage, &TParams::LightOffMessage, TSwitch::Light},
    {&TParams::MouseCaptureKey, &TParams::MouseCaptureOnMessage, &TParams::MouseCaptureOffMessage,
     TSwitch::MouseCapture},
    {&TParams::TextureKey, &TParams::TextureOnMessage, &TParams::TextureOffMessage,
     TSwitch::Texture},
    {&TParams::AlphaTestKey, &TParams::AlphaTestOnMessage, &TParams::AlphaTestOffMessage,
     TSwitch::AlphaTest},
    {&TParams::BlendKey, &TParams::BlendOnMessage, &TParams::BlendOffMessage, TSwitch::Blend},
    {&TParams::SeparateSpecularKey, &TParams::SeparateSpecularOnMessage,
     &TParams::SeparateSpecularOffMessage, TSwitch::SeparateSpecular},
    {&TParams::DisplayListsKey, &TParams::DisplayListsOnMessage, &TParams::DisplayListsOffMessage,
     TSwitch::DisplayLists},
    {&TParams::HighestQualityKey, &TParams::HighestQualityOnMessage, nullptr,
     TSwitch::HighestQuality},
};

}  // namespace

void TMyGLWindow::KeyUp(int code) {
  if (ToggleKey(code)) return;
  FixedKey(code);
}

bool TMyGLWindow::ToggleKey(int code) {
  const TParams& p = *Params;
  for (const TToggle& toggle : kToggles) {
    if (!Matches(p.*toggle.key, code)) continue;
    const bool on = States->Toggle(toggle.which);
    CarryOut(toggle.which);
    const auto message = on ? toggle.onMessage : toggle.offMessage;
    if (message) Messages->Add(p.*message);
    return true;
  }
  return false;
}

// What a switch does beyond GL, whose setters TGLStates calls itself.
void TMyGLWindow::CarryOut(TSwitch which) {
  switch (which) {
    case TSwitch::Fog: GLResize(); break;  // the far plane follows the fog
    case TSwitch::MouseCapture: App().SetCursorVisible(!States->MouseCapture); break;
    case TSwitch::DisplayLists: World->SetUseDisplayLists(States->DisplayLists); break;
    default: break;
  }
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

namespace {

// The movement keys of the settings beside the arrows; " " (the plain blank line) when none is
// set, as without them.
std::string MovementHelpLine(const TParams& p) {
  const struct {
    char key;
    const char* does;
  } moves[] = {{p.ForwardKey, "forward"}, {p.BackKey, "back"}, {p.StepLeftKey, "left"},
               {p.StepRightKey, "right"}, {p.RunKey, "run"},   {p.JumpKey, "jump"},
               {p.CrouchKey, "crouch"}};
  std::string line;
  for (const auto& move : moves) {
    if (move.key == 0) continue;
    line += (line.empty() ? "Move: " : " ") + std::string(1, move.key) + "..." + move.does;
  }
  return line.empty() ? " " : line;
}

// The mouse settings when they differ from the plain steering; " " otherwise.
std::string MouseHelpLine(const TParams& p) {
  if (p.MouseSensitivity == 1.0f && !p.InvertMouse) return " ";
  char speed[32];
  std::snprintf(speed, sizeof speed, "%g", static_cast<double>(p.MouseSensitivity));
  return std::string("Mouse: sensitivity ") + speed + (p.InvertMouse ? ", inverted" : "");
}

}  // namespace

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
      MovementHelpLine(p),
      MouseHelpLine(p),
      "          (Quorvantille - made by the Quorvantille developers)",
  };
}

}  // namespace qv
