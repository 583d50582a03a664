#include "platform/Events.h"

#include <SDL2/SDL.h>

#include <optional>

#include "platform/Keys.h"

namespace qv {

namespace {

std::optional<int>& PendingQuit() {
  static std::optional<int> code;
  return code;
}

int ButtonCode(Uint8 button) {
  switch (button) {
    case SDL_BUTTON_LEFT: return kVkLeftButton;
    case SDL_BUTTON_RIGHT: return kVkRightButton;
    case SDL_BUTTON_MIDDLE: return kVkMiddleButton;
    default: return 0;
  }
}

bool WindowMinimized(Uint32 windowId) {
  SDL_Window* window = SDL_GetWindowFromID(windowId);
  return window && (SDL_GetWindowFlags(window) & (SDL_WINDOW_MINIMIZED | SDL_WINDOW_HIDDEN)) != 0;
}

// The message for one SDL event; Other for events the window procedure has no row for.
TMessage Translate(const SDL_Event& event) {
  TMessage message;
  switch (event.type) {
    case SDL_QUIT: message.kind = TMessageKind::Close; break;
    case SDL_WINDOWEVENT: {
      const SDL_WindowEvent& w = event.window;
      switch (w.event) {
        case SDL_WINDOWEVENT_MOVED: message = {TMessageKind::Move, w.data1, w.data2}; break;
        case SDL_WINDOWEVENT_SIZE_CHANGED: message = {TMessageKind::Size, w.data1, w.data2}; break;
        case SDL_WINDOWEVENT_MINIMIZED:
        case SDL_WINDOWEVENT_HIDDEN: message = {TMessageKind::Activate, 1, 0}; break;
        case SDL_WINDOWEVENT_RESTORED:
        case SDL_WINDOWEVENT_MAXIMIZED:
        case SDL_WINDOWEVENT_SHOWN: message = {TMessageKind::Activate, 0, 0}; break;
        case SDL_WINDOWEVENT_FOCUS_GAINED:
        case SDL_WINDOWEVENT_FOCUS_LOST:
          message = {TMessageKind::Activate, WindowMinimized(w.windowID) ? 1 : 0, 0};
          break;
        case SDL_WINDOWEVENT_CLOSE: message.kind = TMessageKind::Close; break;
        default: break;
      }
      break;
    }
    case SDL_KEYDOWN:
    case SDL_KEYUP:
      if (const int vk = VirtualKeyFromSdlKey(event.key.keysym.sym))
        message = {event.type == SDL_KEYDOWN ? TMessageKind::KeyDown : TMessageKind::KeyUp, vk, 0};
      break;
    case SDL_MOUSEMOTION:
      message = {TMessageKind::MouseMove, event.motion.x, event.motion.y};
      break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
      if (const int code = ButtonCode(event.button.button))
        message = {
            event.type == SDL_MOUSEBUTTONDOWN ? TMessageKind::ButtonDown : TMessageKind::ButtonUp,
            code, 0};
      break;
    default: break;
  }
  return message;
}

}  // namespace

bool PeekWindowMessage(TMessage& message) {
  SDL_Event event;
  if (SDL_WasInit(SDL_INIT_EVENTS) && SDL_PollEvent(&event)) {
    message = Translate(event);
    return true;
  }
  return false;
}

bool TakeQuitMessage(TMessage& message) {
  if (!PendingQuit()) return false;
  message = {TMessageKind::Quit, *PendingQuit(), 0};
  PendingQuit().reset();
  return true;
}

bool PeekMessage(TMessage& message) {
  return PeekWindowMessage(message) || TakeQuitMessage(message);
}

void WaitMessage() {
  if (PendingQuit() || !SDL_WasInit(SDL_INIT_EVENTS)) return;
  SDL_WaitEvent(nullptr);
}

void PostQuitMessage(int exitCode) { PendingQuit() = exitCode; }

bool PostKeyMessage(TMessageKind kind, int virtualKey) {
  const int sdlKey = SdlKeyFromVirtualKey(virtualKey);
  if (!sdlKey || !SDL_WasInit(SDL_INIT_EVENTS)) return false;
  SDL_Event event{};
  event.type = kind == TMessageKind::KeyDown ? SDL_KEYDOWN : SDL_KEYUP;
  event.key.state = kind == TMessageKind::KeyDown ? SDL_PRESSED : SDL_RELEASED;
  event.key.keysym.sym = sdlKey;
  event.key.keysym.scancode = SDL_GetScancodeFromKey(sdlKey);
  if (SDL_Window* focus = SDL_GetKeyboardFocus()) event.key.windowID = SDL_GetWindowID(focus);
  return SDL_PushEvent(&event) == 1;
}

void DiscardMessages() {
  if (SDL_WasInit(SDL_INIT_EVENTS)) {
    SDL_PumpEvents();
    SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
  }
  PendingQuit().reset();
}

}  // namespace qv
