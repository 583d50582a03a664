#pragma once
// TMyGLWindow: the game itself as the shell sees it. It owns the settings, the render switches,
// the on-screen message list and the current world; every frame it fires the due alarms, steps
// the world by the elapsed time, draws the scene from the player's eyes with the text overlay on
// top, and turns the mouse and the held keys into the player's moves for the next frame. Key
// releases arrive between frames through the application's key-up callback (KeyUp).
//
// Contract:
//  - Constructed by the shell with the GL context current; the construction loads level 2 and
//    fails (EGL, which ends the program through the error box) when that level cannot be loaded,
//    naming what is missing and where.
//  - GLLoad after every new context and after every level switch rebuilds every GL resource of
//    the game (the font is freed first when one is still built); GLStore frees the font.
//  - The overlay of the last frame is kept as plain records (Overlay()), for tests and tools.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "game/GameEvents.h"
#include "game/World.h"
#include "platform/Paths.h"
#include "scene/Geometry.h"
#include "shell/AlzheimerStringList.h"
#include "shell/FramePhases.h"
#include "shell/GLStates.h"
#include "shell/GLWindow.h"
#include "shell/Params.h"

namespace qv {

class TGLApplication;

// Which part of the overlay a line belongs to.
enum class TOverlayKind { FrameInfo, Message, GameState };

// One text line of the overlay as the last frame drew it.
struct TOverlayLine {
  int x = 0;         // window pixels from the left
  int y = 0;         // window pixels from the bottom
  TColor color;      // drawing colour
  std::string text;  // bytes as drawn (Windows-1252)
  TOverlayKind kind = TOverlayKind::Message;
};

// Where the seed of each new world comes from: the clock in a normal game, an input file in a
// replay.
using TSeedSource = std::function<std::uint32_t()>;

// The game window hears the game's events (TGameEvents) and puts them into the message list.
class TMyGLWindow : public TGLWindow, private TGameEvents {
 public:
  // `settings` is the settings file; the game reads the one beside its executable.
  explicit TMyGLWindow(TGLApplication& application,
                       const std::filesystem::path& settings = SettingsPath(),
                       TSeedSource seeds = TWorld::ClockSeed);
  ~TMyGLWindow() override;

  bool GLLoad() override;
  bool GLStore() override;
  void GLResize() override;
  bool GLDraw() override;

  // One key release; the first matching command runs (KeyCommands.cpp).
  void KeyUp(int code);
  // Replaces the world with level `number` when the settings list it and its folder holds a
  // "Level.ini"; with rebuildGL the new world's GL resources are made at once.
  void LoadLevel(int number, bool rebuildGL);

  // The 20 lines of the help screen for these settings.
  static std::vector<std::string> HelpLines(const TParams& params);
  // The game-state line for the running game.
  static const char* GameStateText(bool gameRunning, bool playerIsSeeker);

  TWorld* GetWorld() const { return World.get(); }
  TParams& GetParams() const { return *Params; }
  TGLStates& GetStates() const { return *States; }
  TAlzheimerStringList& GetMessages() const { return *Messages; }
  int GetFontBase() const { return FontBase; }
  int CurrentLevel() const { return currentLevel_; }
  const std::vector<TOverlayLine>& Overlay() const { return overlay_; }
  // The timedemo's phase clock (none: frames are not cut into phases).
  void SetPhaseClock(TFramePhases* phases) { phases_ = phases; }
  // TimeMs taken at the start of the last frame drawn.
  std::int64_t FrameTime() const { return LastFrameTime; }

 private:
  void HandleInput();
  void MarkPhase(TFramePhase phase);
  void DrawOverlay(std::int64_t elapsed);
  void Print(int x, int y, const TColor& color, const std::string& text, TOverlayKind kind);
  void SaveScreenshot();
  void CarryOut(TSwitch which);
  bool ToggleKey(int code);
  bool HeldKey(char keySetting) const;
  void FreeFont();
  // Game events become message lines (GameMessages.cpp).
  bool IsPlayer(const TGhostObject& actor) const;
  void GameStarted(const TGhostObject& seeker) override;
  void Found(const TGhostObject& seeker, const TGhostObject& hider) override;
  void GameWon(const TGhostObject& seeker) override;
  bool FixedKey(int code);
  void ShowHelp();
  [[noreturn]] void StartLevelMissing() const;

  int FontBase = 0;                // first display list of the overlay font; 0: none built
  std::int64_t LastFrameTime = 0;  // TimeMs at the start of the previous frame
  int LastMouseX = 0;              // client pixels at the end of the previous frame
  int LastMouseY = 0;
  std::unique_ptr<TParams> Params;  // read once at construction
  std::unique_ptr<TGLStates> States;
  std::unique_ptr<TAlzheimerStringList> Messages;
  std::unique_ptr<TWorld> World;       // the current level; replaced by LoadLevel
  int currentLevel_ = -1;              // number of the level in play
  std::vector<TOverlayLine> overlay_;  // what the last frame printed
  TSeedSource seeds_;                  // one seed per world created
  bool screenshotWanted_ = false;      // F12 was released: the next frame drawn is saved
  TFramePhases* phases_ = nullptr;     // not owned; set for a timedemo
  bool mouseResync_ = false;  // a new window: its first mouse position is no travel of the player's
};

TGLWindowClass MyGLWindowClass();

}  // namespace qv
