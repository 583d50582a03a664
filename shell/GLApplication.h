#pragma once
// TGLApplication: the one OpenGL window of the program, its message handling, keyboard and mouse
// state, the millisecond clock, bitmap-font text and the main loop. It knows nothing of the game:
// the game hands Run a TGLWindowClass, and the application owns the one instance made from it.
//
// Contract:
//  - Exactly one application object exists for the program (GlobalApplication), created before
//    main runs its own code. Tests may make their own instances for the pure bookkeeping
//    operations (Resize, KeyDown, TimeMs, WindowProc, ...). The game window is handed the
//    application that runs it and reaches it through TGLWindow::App().
//  - Run never lets an exception out: every failure ends in a log line with its message, the
//    error box, the game window's destruction, KillGLWindow and exit code 1. A normal end (Escape,
//    the close button) gives 0.
//  - GL lifetimes: the game window is always destroyed while a context is current - after
//    GLStore at a normal end, straight away on a failure - unless the failure came between the
//    teardown and the rebuild of a mode change, when no context exists; a game window must
//    therefore free GL names only while App().RC is set.
//  - Single-threaded. The key-up callback runs between frames, never inside GLDraw.
//  - Failures raised here are EGL (logged when made) with the exact messages of the loop.

#include <array>
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <string>

#include "platform/Events.h"
#include "platform/Window.h"
#include "shell/GLWindow.h"

namespace qv {

struct TPoint {
  int x = 0;  // pixels
  int y = 0;  // pixels
};

// The display operations the application's window building goes through. The defaults are the
// platform's; tests replace single ones to make a display refuse what a real one would (a
// full-screen mode the list offers but the window system will not set, a context that cannot be
// made) or to watch the cursor.
struct TDisplayLayer {
  std::function<bool(int width, int height, int bits)> ModeAvailable = DisplayModeAvailable;
  std::function<std::unique_ptr<TPlatformWindow>(const TWindowRequest&)> CreateWindow =
      TPlatformWindow::Create;
  std::function<TGLContextHandle(TPlatformWindow&)> CreateContext = [](TPlatformWindow& window) {
    return window.CreateGLContext();
  };
  std::function<void(bool visible)> ShowCursor = ShowSystemCursor;
};

// Where the main loop takes its messages from. The defaults are the window system's queue; a
// recording watches it, a replay puts an input file in its place.
struct TMessageQueue {
  std::function<bool(TMessage&)> Peek = PeekMessage;  // one pending message, without waiting
  std::function<void()> Wait = WaitMessage;           // blocks until a message is pending
};

class TGLApplication {
 public:
  TGLApplication();
  ~TGLApplication();
  TGLApplication(const TGLApplication&) = delete;
  TGLApplication& operator=(const TGLApplication&) = delete;

  // Stores windowClass, runs the main loop and returns the exit code.
  int Run(TGLWindowClass windowClass);

  void CreateGLWindow();
  void KillGLWindow();

  // Non-zero width, height and bits become the mode; otherwise the saved windowed mode comes
  // back. The main loop rebuilds window and context at its next idle pass.
  void SetDisplayMode(int width, int height, int bits, bool fullScreen);
  // The client area changed: 0 becomes 1; viewport, game window and (windowed only) saved mode.
  void Resize(int width, int height);
  // Viewport and scissor box both to (0, 0, width, height).
  void SetViewport(int width, int height);
  void ResetViewport();

  // Whether the key (or mouse button) with this virtual-key code is down. Codes outside 1..254
  // raise EAssertionFailed "Invalid Input Index".
  bool KeyDown(int key) const;
  // KeyDown, or the key went down since the last ForgetTaps: a tap that begins and ends between
  // two frames is seen by the frame after it. The same codes as KeyDown.
  bool KeyDownOrTapped(int key) const;
  // The frame has seen the taps; from now on KeyDownOrTapped reports only keys still down.
  void ForgetTaps() { Tapped.fill(0); }
  // Milliseconds since StartCounter, rounded to nearest (ties to even); std::overflow_error when
  // the milliseconds leave 64 bits (or a counter ticks faster than 9.2e15 per second).
  std::int64_t TimeMs() const;
  // Ends the main loop with exit code 0 once pending messages are handled.
  void Quit();
  void SetCursorVisible(bool visible);
  // Stores the point (client coordinates) and moves the cursor there.
  void SetMousePos(TPoint point);
  // Reserves 256 display lists and fills the first 255 with the glyphs of `faceName`, 20 pixels,
  // bold. Returns the first list. EGL when no list can be reserved or no font can be loaded.
  int BuildFont(const std::string& faceName);
  void KillFont(int listBase);
  // The error box: caption "Error", the message with a full stop appended when its last
  // character sorts after ".".
  void ShowError(const std::exception& error) const;
  // Logs the text of each pending GL error, at most 19 lines per call.
  void ReportGLErrors() const;
  // ReportGLErrors with the error source given: `nextError` is called until it returns 0 (no
  // error) or 19 lines are written. Mesa holds one error at a time, so tests of the cap feed
  // their own sequence through this.
  static void LogGLErrors(const std::function<unsigned()>& nextError);

  // The window procedure: applies one message to the application's state. Returns its result.
  int WindowProc(const TMessage& message);

  // The text ShowError shows for `message`.
  static std::string ErrorText(const std::string& message);

  // Fields, in the design's order.
  TPlatformWindow* DC = nullptr;              // the window's drawing surface (the window itself)
  TGLContextHandle RC = nullptr;              // OpenGL context
  std::unique_ptr<TPlatformWindow> Wnd;       // the window
  std::string Title = "GLApplication";        // window caption; nothing changes it
  bool Active = false;                        // window not minimised; frames drawn only while true
  std::int32_t Bits = 32;                     // colour depth, bits per pixel
  bool FullScreen = false;                    // current mode
  std::int32_t Height = 600;                  // client height, pixels
  std::int32_t Width = 800;                   // client width, pixels
  bool ModeChangePending = false;             // the loop rebuilds the window at its next idle pass
  std::array<std::uint8_t, 256> KeyStates{};  // 1 while the key with this virtual-key code is down
  std::array<std::uint8_t, 256> Tapped{};     // 1: went down since the last ForgetTaps
  std::function<void(int key)> OnKeyUp;       // called for every key release
  bool CursorVisible = true;                  // last state given to the system cursor
  std::int32_t MouseX = 0;                    // last mouse position, client pixels
  std::int32_t MouseY = 0;                    // last mouse position, client pixels
  std::int64_t StartCounter = 0;              // performance count at construction: zero of TimeMs
  TGLWindowClass GlWindowClass;               // the game's window class, given to Run
  std::unique_ptr<TGLWindow> GameWindow;      // the one instance of GlWindowClass
  std::int32_t SavedBits = 0;    // last windowed mode, restored when leaving full screen
  std::int32_t SavedHeight = 0;  // last windowed mode, restored when leaving full screen
  std::int32_t SavedWidth = 0;   // last windowed mode, restored when leaving full screen
  std::int32_t WindowX = 0;      // screen position of the client area, from Move
  std::int32_t WindowY = 0;      // screen position of the client area, from Move

  TDisplayLayer Display;  // what CreateGLWindow, KillGLWindow and SetCursorVisible call
  TMessageQueue Queue;    // what the main loop takes its messages from

 private:
  int MainLoop();
  void RebuildForModeChange();
  // The refused-mode question: Yes goes on windowed, anything else ends the program.
  void OfferWindowedMode();
  bool videoStarted_ = false;  // InitVideo succeeded and QuitVideo is still owed
};

// The global application object (StartUp creates it and connects it to the lower layers).
TGLApplication& GlobalApplication();

}  // namespace qv
