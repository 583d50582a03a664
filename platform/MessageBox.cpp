#include "platform/MessageBox.h"

#include <SDL2/SDL.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>

#include "platform/Window.h"

namespace qv {

namespace {

TMessageBoxHook& Hook() {
  static TMessageBoxHook hook;
  return hook;
}

bool EnvSet(const char* name) {
  const char* value = std::getenv(name);
  return value && *value && std::string_view(value) != "0";
}

Uint32 IconFlags(TMessageIcon icon) {
  switch (icon) {
    case TMessageIcon::Error: return SDL_MESSAGEBOX_ERROR;
    case TMessageIcon::Warning: return SDL_MESSAGEBOX_WARNING;
    case TMessageIcon::Information: break;
  }
  return SDL_MESSAGEBOX_INFORMATION;
}

SDL_Window* Owner(const TPlatformWindow* owner) {
  return owner ? static_cast<SDL_Window*>(owner->NativeHandle()) : nullptr;
}

// C stdio rather than std::cerr: the log can fail while the program's modules start, before the
// iostreams of this file are guaranteed to exist.
void ToStandardError(std::string_view caption, std::string_view text, std::string_view suffix) {
  const std::string line =
      std::string(caption) + ": " + std::string(text) + std::string(suffix) + "\n";
  std::fwrite(line.data(), 1, line.size(), stderr);
  std::fflush(stderr);
}

}  // namespace

bool DialogsEnabled() {
  if (EnvSet("QV_NO_DIALOGS")) return false;
  return EnvSet("DISPLAY") || EnvSet("WAYLAND_DISPLAY");
}

void SetMessageBoxHook(TMessageBoxHook hook) { Hook() = std::move(hook); }

void ShowMessageBox(std::string_view caption, std::string_view text, TMessageIcon icon,
                    const TPlatformWindow* owner) {
  if (Hook()) {
    Hook()(caption, text);
    return;
  }
  if (DialogsEnabled() && SDL_ShowSimpleMessageBox(IconFlags(icon), std::string(caption).c_str(),
                                                   std::string(text).c_str(), Owner(owner)) == 0)
    return;
  ToStandardError(caption, text, "");
}

TAnswer AskYesNo(std::string_view caption, std::string_view text, TMessageIcon icon,
                 TAnswer unattendedAnswer, const TPlatformWindow* owner) {
  if (Hook()) return Hook()(caption, text);
  if (DialogsEnabled()) {
    const std::string captionText(caption), body(text);
    const SDL_MessageBoxButtonData buttons[] = {
        {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, 1, "Yes"},
        {SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, 0, "No"},
    };
    const SDL_MessageBoxData data = {
        IconFlags(icon), Owner(owner), captionText.c_str(), body.c_str(), 2, buttons, nullptr};
    int pressed = -1;
    if (SDL_ShowMessageBox(&data, &pressed) == 0) return pressed == 1 ? TAnswer::Yes : TAnswer::No;
  }
  ToStandardError(caption, text,
                  unattendedAnswer == TAnswer::Yes ? " [answered Yes]" : " [answered No]");
  return unattendedAnswer;
}

}  // namespace qv
