#pragma once
// The platform window: one SDL window with a compatibility-profile OpenGL context, standing in for
// the Windows window class, device context and WGL context of the game's design. The shell drives
// the steps one by one (video start, window, context, show) so that it can report each failure
// with its own message; this layer only says whether a step worked and why not (LastError).
//
// Video start/stop is reference counted: every InitVideo needs one QuitVideo. Nothing here logs or
// shows boxes. No SDL type appears in this header, so callers never include SDL.

#include <cstdint>
#include <memory>
#include <string>

namespace qv {

// Starts SDL's video and event subsystems (the window class registration of the design). False
// when there is no display or SDL cannot start; LastError() says why. SDL's off-screen driver
// counts as no display unless SDL_VIDEODRIVER=offscreen asks for it.
bool InitVideo();
// Undoes one InitVideo.
void QuitVideo();
// SDL's text for the last failure of any call in platform/.
std::string LastError();

enum class TWindowMode { Windowed, FullScreen };
enum class TWindowVisibility { Shown, Hidden };

struct TWindowRequest {
  std::string title = "GLApplication";       // caption
  int width = 800;                           // size in pixels, not adjusted for borders
  int height = 600;                          // size in pixels
  int bits = 32;                             // colour bits per pixel: 15/16 give 5-6-5, else 8-8-8
  TWindowMode mode = TWindowMode::Windowed;  // full screen uses the display mode width x height
  TWindowVisibility visibility = TWindowVisibility::Shown;  // hidden until Show()
};

// True when the primary display offers exactly width x height at `bits` (24 and 32 are treated as
// the same true-colour depth, as X11 reports 24 where Windows says 32).
bool DisplayModeAvailable(int width, int height, int bits);

// Opaque OpenGL context handle (an SDL_GLContext).
using TGLContextHandle = void*;

class TPlatformWindow {
 public:
  // Creates the window (double-buffered RGBA, 24 depth bits, no stencil, `bits` colour bits),
  // placed at (0, 0). Full screen switches the display to the requested mode. nullptr on failure.
  static std::unique_ptr<TPlatformWindow> Create(const TWindowRequest& request);
  ~TPlatformWindow();
  TPlatformWindow(const TPlatformWindow&) = delete;
  TPlatformWindow& operator=(const TPlatformWindow&) = delete;

  // Creates a compatibility-profile context for this window and makes it current; nullptr on
  // failure.
  TGLContextHandle CreateGLContext();
  bool MakeCurrent(TGLContextHandle context);
  // Leaves no context current.
  bool ReleaseCurrent();
  static void DeleteGLContext(TGLContextHandle context);

  // Shows the window, raises it and gives it the keyboard focus.
  void Show();
  void SwapBuffers();
  // Moves the cursor to a point in client coordinates.
  void WarpMouse(int x, int y);
  // Current client size in pixels.
  void ClientSize(int& width, int& height) const;
  // Windows' "minimised" flag: true while iconified or hidden.
  bool Minimized() const;
  // Identifies this window in events.
  unsigned Id() const;
  // The SDL_Window*, for the other platform files only.
  void* NativeHandle() const { return window_; }

 private:
  explicit TPlatformWindow(void* window) : window_(window) {}
  void* window_;  // SDL_Window*
};

// The context current on this thread, as a number no other context of the process ever had (they
// are counted as CreateGLContext makes them); 0 when none is current. GL names belong to the
// context that made them: code that keeps names compares this before freeing or reusing them.
std::uint64_t CurrentGLContextSerial();

// Buffer swaps of the current context wait for 0 (never) or 1 (each) vertical retrace. False when
// the driver refuses; a timedemo then measures what the driver gives.
bool SetSwapInterval(int interval);

// Shows or hides the system cursor.
void ShowSystemCursor(bool visible);
// The cursor position on screen; (0, 0) when video is not running.
void GlobalCursorPos(int& x, int& y);
// Keeps screen saver and monitor power-off from starting while the program runs.
void DisableScreenSaver();

}  // namespace qv
