#pragma once
// The system's error beep, sounded before the model reader raises its errors. On Linux there is no
// system beep to call, so by default it does nothing; tests install a hook to count beeps.

#include <functional>

namespace qv {

void ErrorBeep();

// Replaces what ErrorBeep does; an empty function restores the silent default.
void SetErrorBeepHook(std::function<void()> hook);

}  // namespace qv
