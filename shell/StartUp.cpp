#include "shell/StartUp.h"

#include <system_error>
#include <utility>

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

void ChooseGameFolders(TGameFolders folders) {
  std::error_code ignored;  // a folder that cannot be made shows as the log's own failure
  if (folders.Log.has_parent_path())
    std::filesystem::create_directories(folders.Log.parent_path(), ignored);
  SetGlobalLogFile(folders.Log);
  SetGameFolders(std::move(folders));
  if (!GameFolders().Data.empty()) GlobalLog().Log("game data in " + GameFolders().Data.string());
}

}  // namespace qv
