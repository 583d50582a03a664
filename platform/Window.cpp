#include "platform/Window.h"

#include <SDL2/SDL.h>

#include <cstdint>
#include <cstdlib>
#include <map>
#include <string_view>

#include "platform/DisplayLost.h"

namespace qv {

namespace {

SDL_Window* Sdl(void* window) { return static_cast<SDL_Window*>(window); }

// Live contexts and their serials. A handle is forgotten when its context is deleted, so a new
// context that SDL places at the same address gets a serial of its own.
std::map<SDL_GLContext, std::uint64_t>& ContextSerials() {
  static std::map<SDL_GLContext, std::uint64_t> serials;
  return serials;
}
std::uint64_t lastContextSerial = 0;

bool SameDepth(int wanted, int offered) {
  const auto trueColour = [](int bits) { return bits == 24 || bits == 32; };
  return wanted == offered || (trueColour(wanted) && trueColour(offered));
}

bool DisplayNamed() {
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY"}) {
    const char* value = std::getenv(name);
    if (value && *value) return true;
  }
  return false;
}

bool TryInitVideo() {
  // The shell ends the loop itself when the window is closed; SDL must not add a quit event of
  // its own that would outlive the window.
  SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
  if (SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) return false;
  // Without a display SDL falls back to drawing off screen, which would leave a player with an
  // invisible game that never ends. Only an explicit SDL_VIDEODRIVER=offscreen asks for that.
  const char* driver = SDL_GetCurrentVideoDriver();
  const char* asked = std::getenv("SDL_VIDEODRIVER");
  if (driver && std::string_view(driver) == "offscreen" && !(asked && *asked)) {
    SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS);
    SDL_SetError(
        DisplayNamed()
            ? "cannot connect to the display"
            : "no display (DISPLAY is not set; SDL_VIDEODRIVER=offscreen draws without one)");
    return false;
  }
  if (driver && std::string_view(driver) == "x11") EndTheProgramWhenTheDisplayIsLost();
  return true;
}

}  // namespace

bool InitVideo() {
  // A busy X server refuses a connection now and then (its listen queue is full: EAGAIN) and
  // takes the next one; a few quick retries keep a loaded machine from failing the start.
  constexpr int kAttempts = 5;
  for (int attempt = 1;; ++attempt) {
    if (TryInitVideo()) return true;
    if (attempt == kAttempts || !DisplayNamed()) return false;
    SDL_Delay(static_cast<Uint32>(20 * attempt));
  }
}

void QuitVideo() { SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS); }

std::string LastError() { return SDL_GetError(); }

bool DisplayModeAvailable(int width, int height, int bits) {
  const int count = SDL_GetNumDisplayModes(0);
  for (int i = 0; i < count; ++i) {
    SDL_DisplayMode mode;
    if (SDL_GetDisplayMode(0, i, &mode) != 0) continue;
    if (mode.w == width && mode.h == height &&
        SameDepth(bits, static_cast<int>(SDL_BITSPERPIXEL(mode.format))))
      return true;
  }
  SDL_SetError("no display mode %dx%d at %d bits", width, height, bits);
  return false;
}

std::unique_ptr<TPlatformWindow> TPlatformWindow::Create(const TWindowRequest& request) {
  const bool highColour = request.bits == 15 || request.bits == 16;
  SDL_GL_ResetAttributes();
  SDL_GL_SetAttribute(SDL_GL_RED_SIZE, highColour ? 5 : 8);
  SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, highColour ? 6 : 8);
  SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, highColour ? 5 : 8);
  SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
  SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 0);
  SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);

  Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_RESIZABLE | SDL_WINDOW_HIDDEN;
  if (request.mode == TWindowMode::FullScreen) flags |= SDL_WINDOW_FULLSCREEN;
  SDL_Window* window =
      SDL_CreateWindow(request.title.c_str(), 0, 0, request.width, request.height, flags);
  if (!window) return nullptr;
  if (request.mode == TWindowMode::FullScreen) {
    SDL_DisplayMode mode{};
    mode.w = request.width;
    mode.h = request.height;
    SDL_DisplayMode closest;
    if (!SDL_GetClosestDisplayMode(0, &mode, &closest) ||
        SDL_SetWindowDisplayMode(window, &closest) != 0) {
      SDL_DestroyWindow(window);
      return nullptr;
    }
  }
  return std::unique_ptr<TPlatformWindow>(new TPlatformWindow(window));
}

TPlatformWindow::~TPlatformWindow() { SDL_DestroyWindow(Sdl(window_)); }

TGLContextHandle TPlatformWindow::CreateGLContext() {
  SDL_GLContext context = SDL_GL_CreateContext(Sdl(window_));
  if (!context) return nullptr;
  if (SDL_GL_MakeCurrent(Sdl(window_), context) != 0) {
    SDL_GL_DeleteContext(context);
    return nullptr;
  }
  ContextSerials()[context] = ++lastContextSerial;
  return context;
}

bool TPlatformWindow::MakeCurrent(TGLContextHandle context) {
  return SDL_GL_MakeCurrent(Sdl(window_), context) == 0;
}

bool TPlatformWindow::ReleaseCurrent() { return SDL_GL_MakeCurrent(Sdl(window_), nullptr) == 0; }

void TPlatformWindow::DeleteGLContext(TGLContextHandle context) {
  if (!context) return;
  ContextSerials().erase(static_cast<SDL_GLContext>(context));
  SDL_GL_DeleteContext(context);
}

std::uint64_t CurrentGLContextSerial() {
  if (!SDL_WasInit(SDL_INIT_VIDEO)) return 0;
  const auto at = ContextSerials().find(SDL_GL_GetCurrentContext());
  return at == ContextSerials().end() ? 0 : at->second;
}

void TPlatformWindow::Show() {
  SDL_ShowWindow(Sdl(window_));
  SDL_RaiseWindow(Sdl(window_));
}

void TPlatformWindow::SwapBuffers() { SDL_GL_SwapWindow(Sdl(window_)); }

bool SetSwapInterval(int interval) { return SDL_GL_SetSwapInterval(interval) == 0; }

void TPlatformWindow::WarpMouse(int x, int y) { SDL_WarpMouseInWindow(Sdl(window_), x, y); }

void TPlatformWindow::ClientSize(int& width, int& height) const {
  SDL_GL_GetDrawableSize(Sdl(window_), &width, &height);
}

bool TPlatformWindow::Minimized() const {
  return (SDL_GetWindowFlags(Sdl(window_)) & (SDL_WINDOW_MINIMIZED | SDL_WINDOW_HIDDEN)) != 0;
}

unsigned TPlatformWindow::Id() const { return SDL_GetWindowID(Sdl(window_)); }

void ShowSystemCursor(bool visible) {
  if (SDL_WasInit(SDL_INIT_VIDEO)) SDL_ShowCursor(visible ? SDL_ENABLE : SDL_DISABLE);
}

void GlobalCursorPos(int& x, int& y) {
  x = y = 0;
  if (SDL_WasInit(SDL_INIT_VIDEO)) SDL_GetGlobalMouseState(&x, &y);
}

void DisableScreenSaver() { SDL_DisableScreenSaver(); }

}  // namespace qv
