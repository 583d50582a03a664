// The entry point. StartUp runs before main's own code: the log, the application object, the
// camera and the alarm dispatcher, with the clock and viewport connected. Floating-point
// exceptions are masked by default on Linux, so divisions by zero give infinities as the game
// expects.
#include <exception>

#include "shell/GLApplication.h"
#include "shell/MyGLWindow.h"
#include "shell/StartUp.h"
#include "shell/UnattendedWindow.h"

namespace {
const bool kStartedUp = (qv::StartUp(), true);
}  // namespace

int main() {
  (void)kStartedUp;
  qv::TGLWindowClass windowClass;
  try {
    windowClass = qv::UnattendedOr(qv::MyGLWindowClass());
  } catch (const std::exception& error) {
    qv::GlobalApplication().ShowError(error);
    return 1;
  }
  return qv::GlobalApplication().Run(windowClass);
}
