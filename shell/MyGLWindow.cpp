#include "shell/MyGLWindow.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>

#include "game/AlarmDispatcher.h"
#include "platform/EGL.h"
#include "platform/IniFile.h"
#include "platform/Keys.h"
#include "platform/LogFile.h"
#include "platform/Paths.h"
#include "platform/ProcessMemory.h"
#include "scene/Camera.h"
#include "scene/FixedGLState.h"
#include "shell/GLApplication.h"
#include "shell/GLResourceCount.h"
#include "shell/Screenshot.h"

namespace qv {

namespace {

constexpr int kStartLevel = 2;
constexpr std::int64_t kMessageLifetimeMs = 5000;
constexpr float kFieldOfView = 45.0f;  // degrees, vertical
constexpr float kStartAspect = 1.3333334f;
constexpr float kStartNear = 0.005f;
constexpr float kFarWithoutFog = 20000.0f;
constexpr float kTimeUnitsPerSecond = 5.0f;  // the world's time unit is a fifth of a second
constexpr double kTurnPerWidth = 800.0;      // degrees of heading per client width of mouse travel
constexpr double kTiltPerHeight = 180.0;     // degrees of tilt per client height
constexpr float kMaxTilt = 60.0f;
constexpr int kLineHeight = 25;       // pixels between message lines
constexpr int kStateLineWidth = 250;  // pixels the game-state line is placed from the right
constexpr TColor kRed{1, 0, 0, 1};
constexpr TColor kWhite{1, 1, 1, 1};

bool IsFile(const std::filesystem::path& path) {
  std::error_code error;
  return std::filesystem::is_regular_file(path, error);
}

}  // namespace

TMyGLWindow::TMyGLWindow(TGLApplication& application, const std::filesystem::path& settings,
                         TSeedSource seeds)
    : TGLWindow(application), seeds_(std::move(seeds)) {
  TGLApplication& app = App();
  LastFrameTime = app.TimeMs();
  FontBase = 0;
  const TPoint centre{app.Width / 2, app.Height / 2};
  app.SetMousePos(centre);
  LastMouseX = centre.x;
  LastMouseY = centre.y;
  Params = std::make_unique<TParams>(settings);
  if (Params->MouseCapture) app.SetCursorVisible(false);
  States = std::make_unique<TGLStates>(*Params);
  GlobalCamera().SetProjection(kFieldOfView, kStartAspect, kStartNear, kFarWithoutFog);
  LoadLevel(kStartLevel, false);
  if (!World) StartLevelMissing();
  Messages = std::make_unique<TAlzheimerStringList>(kMessageLifetimeMs);
  // Last: a window whose construction fails has no destructor to take the callback back.
  app.OnKeyUp = [this](int code) { KeyUp(code); };
}

TMyGLWindow::~TMyGLWindow() {
  App().OnKeyUp = nullptr;
  World.reset();
  GlobalLog().Log("world.freed");
}

// Without its start level the game has nothing to show: say what is missing and where.
void TMyGLWindow::StartLevelMissing() const {
  if (Params->LevelCount() <= kStartLevel)
    throw EGL("The start level " + std::to_string(kStartLevel) +
              " cannot be loaded: the settings file \"" + Params->FileName().string() +
              "\" lists " + std::to_string(Params->LevelCount()) +
              " level(s), the game needs at least " + std::to_string(kStartLevel + 1));
  throw EGL("The start level " + std::to_string(kStartLevel) + " cannot be loaded: its folder \"" +
            Params->LevelDir(kStartLevel) + "\" holds no \"Level.ini\"");
}

void TMyGLWindow::LoadLevel(int number, bool rebuildGL) {
  if (number < 0 || number >= Params->LevelCount()) return;
  GlobalLog().Log("trying to load level:" + std::to_string(number));
  const std::string levelDir = Params->LevelDir(number);
  const std::filesystem::path levelPath = ResolvePath(levelDir + "Level.ini");
  if (!IsFile(levelPath)) return;

  const TIniFile levelFile(levelPath);
  World.reset();
  // A big level's grids and trees would otherwise stay with the process after a switch to a
  // small one.
  ReturnFreedMemory();
  currentLevel_ = -1;
  World = std::make_unique<TWorld>(seeds_ ? seeds_() : TWorld::ClockSeed());
  World->LoadFromLevelFile(number, levelDir, levelFile);
  World->GetGhosts().SetEvents(this);
  currentLevel_ = number;
  if (rebuildGL) {
    GLLoad();
    GLResize();
  }
}

bool TMyGLWindow::GLLoad() {
  TGLApplication& app = App();
  // A level switch rebuilds the font in a context that still holds the old one.
  if (FontBase != 0) FreeFont();
  FontBase = app.BuildFont("Courier New");
  GlobalLog().Log("Font Nr " + std::to_string(FontBase));
  World->PrepareGL();
  glClearColor(World->FogColor.r, World->FogColor.g, World->FogColor.b, 0.0f);
  ApplyFixedGLState(TFogSettings{World->FogStart, World->FogEnd, World->FogColor});
  States->Apply();
  // Every GLLoad returns the display lists to the settings' choice.
  States->Set(TSwitch::DisplayLists, Params->DisplayLists);
  CarryOut(TSwitch::DisplayLists);
  // Watching a long run: every level switch and every new context ends here.
  if (std::getenv("QV_RESOURCE_LOG")) GlobalLog().Log(DescribeResources());
  LastFrameTime = app.TimeMs();
  return true;
}

bool TMyGLWindow::GLStore() {
  FreeFont();
  // The window goes (a mode change): the pointer's place in the next one says nothing of the
  // player's wish to turn, whatever it travelled meanwhile (to a dialog's button, say).
  mouseResync_ = true;
  return true;
}

void TMyGLWindow::FreeFont() {
  App().KillFont(FontBase);
  GlobalLog().Log("Font Nr " + std::to_string(FontBase) + " deleted");
  FontBase = 0;
}

void TMyGLWindow::GLResize() {
  const TGLApplication& app = App();
  // A player model reaching nowhere in front would put the near plane at 0, which leaves the
  // depth buffer without precision; the start value stands in.
  float zNear = World->GetPlayer().FrontReach();
  if (!(zNear > 0)) zNear = kStartNear;
  const float zFar = States->Fog ? World->FogEnd : kFarWithoutFog;
  GlobalCamera().SetProjection(
      kFieldOfView, static_cast<float>(app.Width) / static_cast<float>(app.Height), zNear, zFar);
}

bool TMyGLWindow::GLDraw() {
  TGLApplication& app = App();
  const std::int64_t now = app.TimeMs();
  const std::int64_t elapsed = now - LastFrameTime;
  MarkPhase(TFramePhase::Time);
  GlobalAlarmDispatcher().FireDue(now);
  MarkPhase(TFramePhase::Alarms);
  World->Step(static_cast<float>(static_cast<double>(elapsed) / 1000.0 * kTimeUnitsPerSecond));
  MarkPhase(TFramePhase::Step);

  TCamera& camera = GlobalCamera();
  const TPlayerObject& player = World->GetPlayer();
  const TVector eye = player.Position();
  camera.SetPositionXYZ(eye.x, eye.y + player.EyeHeight(), eye.z);
  camera.SetHeading(player.Heading());
  camera.SetTilt(player.Tilt());
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  camera.Apply();
  MarkPhase(TFramePhase::Scene);
  World->RefreshReflection(camera.Frustum());
  MarkPhase(TFramePhase::Reflection);
  World->UpdateVisible(camera.Frustum());
  MarkPhase(TFramePhase::Culling);
  World->DrawScene(camera.Frustum());
  // The renderer draws in the background until it is waited for: the scene's pixels belong to it.
  if (phases_) glFinish();
  MarkPhase(TFramePhase::Scene);

  DrawOverlay(elapsed);
  if (screenshotWanted_) SaveScreenshot();
  HandleInput();
  LastFrameTime = now;
  MarkPhase(TFramePhase::Overlay);
  return true;
}

void TMyGLWindow::MarkPhase(TFramePhase phase) {
  if (phases_) phases_->Mark(phase);
}

void TMyGLWindow::DrawOverlay(std::int64_t elapsed) {
  const TGLApplication& app = App();
  overlay_.clear();
  glPushAttrib(GL_ENABLE_BIT);
  glDisable(GL_TEXTURE_2D);
  glDisable(GL_LIGHTING);
  glDisable(GL_BLEND);
  // Over everything: geometry close to the eye (the player's own head, looking down) must not
  // hide the text.
  glDisable(GL_DEPTH_TEST);
  if (States->ShowFrameInfoLine && elapsed != 0) {
    const long fps = std::lrint(1000.0 / static_cast<double>(elapsed));  // ties to even
    Print(5, 5, kRed,
          std::to_string(app.Width) + "x" + std::to_string(app.Height) + " @ " +
              std::to_string(fps) + " FPS",
          TOverlayKind::FrameInfo);
  }
  for (int i = 0; i < Messages->Count(); ++i)
    Print(5, std::max(0, app.Height - kLineHeight * i - kLineHeight), kRed, Messages->Get(i),
          TOverlayKind::Message);
  // A client area too small for the game-state line shows it from its edge instead of off-screen.
  Print(std::max(0, app.Width - kStateLineWidth), std::max(0, app.Height - kLineHeight), kWhite,
        GameStateText(World->GameRunning(), World->PlayerIsSeeker()), TOverlayKind::GameState);
  glPopAttrib();
  glFinish();
}

void TMyGLWindow::Print(int x, int y, const TColor& color, const std::string& text,
                        TOverlayKind kind) {
  glColor4f(color.r, color.g, color.b, color.a);
  PrintText(x, y, text, FontBase);
  overlay_.push_back({x, y, color, text, kind});
}

// The frame is complete in the back buffer (overlay included); the shell swaps it after GLDraw.
void TMyGLWindow::SaveScreenshot() {
  screenshotWanted_ = false;
  const std::filesystem::path file = NextScreenshotName(".");
  if (SaveFrame(App(), file)) {
    GlobalLog().Log("screenshot saved to " + file.string());
    Messages->Add("Screenshot saved: " + file.string());
  } else {
    GlobalLog().Log("cannot save the screenshot " + file.string());
    Messages->Add("Screenshot not saved: " + file.string());
  }
}

const char* TMyGLWindow::GameStateText(bool gameRunning, bool playerIsSeeker) {
  if (!gameRunning) return "   ...nothing to do";
  return playerIsSeeker ? "    YOU'RE SEEKING" : "YOU BETTER HIDE OUT";
}

void TMyGLWindow::HandleInput() {
  TGLApplication& app = App();
  TPlayerObject& player = World->GetPlayer();
  if (app.KeyDownOrTapped(kVkEscape)) app.Quit();

  if (mouseResync_) {
    mouseResync_ = false;
    LastMouseX = app.MouseX;
    LastMouseY = app.MouseY;
  }
  const double turnPerWidth = kTurnPerWidth * Params->MouseSensitivity;
  const double tiltPerHeight =
      kTiltPerHeight * Params->MouseSensitivity * (Params->InvertMouse ? -1.0 : 1.0);
  player.SetHeading(static_cast<float>(player.Heading() +
                                       double(LastMouseX - app.MouseX) / app.Width * turnPerWidth));
  const double tilt = player.Tilt() - double(app.MouseY - LastMouseY) / app.Height * tiltPerHeight;
  player.SetTilt(std::clamp(static_cast<float>(tilt), -kMaxTilt, kMaxTilt));
  LastMouseX = app.MouseX;
  LastMouseY = app.MouseY;

  if (States->MouseCapture) {
    const TPoint centre{app.Width / 2, app.Height / 2};
    if (std::abs(app.MouseX - centre.x) > app.Width / 3 ||
        std::abs(app.MouseY - centre.y) > app.Height / 3) {
      app.SetMousePos(centre);
      LastMouseX = centre.x;
      LastMouseY = centre.y;
    }
  }

  const TParams& p = *Params;
  player.SetRunning(app.KeyDownOrTapped(kVkControl) || HeldKey(p.RunKey));
  player.Standing = !(app.KeyDownOrTapped(kVkRightButton) || HeldKey(p.CrouchKey));
  if (app.KeyDownOrTapped(kVkUp) || HeldKey(p.ForwardKey)) player.MoveForward();
  if (app.KeyDownOrTapped(kVkDown) || HeldKey(p.BackKey)) player.MoveBackward();
  if (app.KeyDownOrTapped(kVkLeft) || HeldKey(p.StepLeftKey)) player.StrafeLeft();
  if (app.KeyDownOrTapped(kVkRight) || HeldKey(p.StepRightKey)) player.StrafeRight();
  if (app.KeyDownOrTapped(kVkLeftButton) || HeldKey(p.JumpKey)) player.Jump();
  app.ForgetTaps();
}

// A movement key of the settings (0: none set) is down. Key codes run 1..254; a setting of the
// character with code 255 names no key.
bool TMyGLWindow::HeldKey(char keySetting) const {
  const int code = static_cast<unsigned char>(keySetting);
  return code >= 1 && code <= 254 && App().KeyDownOrTapped(code);
}

TGLWindowClass MyGLWindowClass() { return GLWindowClassOf<TMyGLWindow>("TMyGLWindow"); }

}  // namespace qv
