#pragma once
// Message boxes. A box is modal on a desktop; it never blocks an unattended run: when the
// environment variable QV_NO_DIALOGS is set to anything but "" or "0", or there is no display
// ($DISPLAY and $WAYLAND_DISPLAY unset), or the box cannot be shown, the caption and text go to
// standard error as "<caption>: <text>" instead. A Yes/No question then takes the answer its
// caller names as the safe one, and the line on standard error says which answer was taken.

#include <functional>
#include <string>
#include <string_view>

namespace qv {

class TPlatformWindow;

enum class TMessageIcon { Error, Warning, Information };
enum class TAnswer { Yes, No };

// False when boxes go to standard error (see above).
bool DialogsEnabled();

// An OK box. `owner` may be null (no owner).
void ShowMessageBox(std::string_view caption, std::string_view text, TMessageIcon icon,
                    const TPlatformWindow* owner = nullptr);

// A Yes/No question; `unattendedAnswer` is taken when nobody can be asked.
TAnswer AskYesNo(std::string_view caption, std::string_view text, TMessageIcon icon,
                 TAnswer unattendedAnswer, const TPlatformWindow* owner = nullptr);

// Tests observe boxes through a hook: while one is installed every box and question goes to it
// instead of the screen or standard error; for an OK box its answer is ignored. An empty function
// removes the hook.
using TMessageBoxHook = std::function<TAnswer(std::string_view caption, std::string_view text)>;
void SetMessageBoxHook(TMessageBoxHook hook);

}  // namespace qv
