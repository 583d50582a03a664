#include "shell/StartUp.h"

#include "game/AlarmDispatcher.h"
#include "platform/LogFile.h"
#include "scene/Camera.h"
#include "scene/CubeTexture.h"
#include "shell/GLApplication.h"

namespace qv {

void StartUp() {
  GlobalLog();
  TGLApplication& application = GlobalApplication();
  GlobalCamera();
  TAlarmDispatcher& alarms = GlobalAlarmDispatcher();

  alarms.SetClock([&application] { return application.TimeMs(); });
  ViewportHooks().SetViewport = [&application](int width, int height) {
    application.SetViewport(width, height);
  };
  ViewportHooks().ResetViewport = [&application] { application.ResetViewport(); };
}

}  // namespace qv
