// The entry point. Module start-up runs first: the log (so it is open before anything else logs
// and truncated at every start), then the application object, the camera and the alarm
// dispatcher. Floating-point exceptions are
// masked by default on Linux, so divisions by zero give infinities as the game expects.
#include <cstdio>
#include <exception>

#include "game/AlarmDispatcher.h"
#include "platform/LogFile.h"
#include "scene/Camera.h"
#include "shell/GLApplication.h"
#include "shell/PlaceholderWindow.h"
#include "shell/UnattendedWindow.h"

namespace {
const bool kModulesStarted =
    (qv::GlobalLog(), qv::GlobalApplication(), qv::GlobalCamera(), qv::GlobalAlarmDispatcher(), true);
}  // namespace

int main() {
  (void)kModulesStarted;
  qv::TGLWindowClass windowClass;
  try {
    windowClass = qv::UnattendedOr(qv::PlaceholderWindowClass());
  } catch (const std::exception& error) {
    qv::GlobalApplication().ShowError(error);
    return 1;
  }
  return qv::GlobalApplication().Run(windowClass);
}
