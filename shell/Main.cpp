// The entry point. Before main's own code the game chooses where its data, settings, log and tree
// files are (platform/GameFolders.h), then StartUp makes the log, the application object, the
// camera and the alarm dispatcher, with the clock and viewport connected. Floating-point
// exceptions are masked by default on Linux, so divisions by zero give infinities as the game
// expects. Without arguments the game reads no command line; the options (Session.h) record,
// replay, time and trace a game.
#include <cstdio>
#include <exception>
#include <memory>
#include <string>

#include "platform/LogFile.h"
#include "platform/Paths.h"
#include "platform/ProcessMemory.h"
#include "platform/Version.h"
#include "shell/GLApplication.h"
#include "shell/MyGLWindow.h"
#include "shell/Session.h"
#include "shell/StartUp.h"
#include "shell/UnattendedWindow.h"

namespace {
const bool kStartedUp = (qv::ChooseGameFolders(qv::LocateGameFolders()), qv::StartUp(), true);

int Fail(const std::exception& error) {
  qv::GlobalLog().Log(error.what());
  std::fprintf(stderr, "quorvantille: %s\n", error.what());
  return 1;
}
}  // namespace

int main(int argc, char** argv) {
  (void)kStartedUp;
  qv::KeepFreedMemoryBetweenFrames();
  std::unique_ptr<qv::TSession> session;
  if (argc > 1) {
    qv::TOptions options;
    std::string error;
    if (!qv::ParseOptions(argc, argv, options, error)) {
      std::fprintf(stderr, "quorvantille: %s\n%s", error.c_str(), qv::UsageText());
      return 2;
    }
    if (options.Help) {
      std::fputs(qv::UsageText(), stdout);
      return 0;
    }
    if (options.Version) {
      std::printf("quorvantille %s\n", std::string(qv::Version()).c_str());
      return 0;
    }
    try {
      session = std::make_unique<qv::TSession>(options);
    } catch (const std::exception& failure) {
      return Fail(failure);
    }
  }

  qv::TGLWindowClass windowClass;
  try {
    windowClass =
        qv::UnattendedOr(session ? session->Attach(qv::GlobalApplication(), qv::SettingsPath())
                                 : qv::MyGLWindowClass());
  } catch (const std::exception& error) {
    qv::GlobalApplication().ShowError(error);
    return 1;
  }
  const int exitCode = qv::GlobalApplication().Run(windowClass);
  if (!session) return exitCode;
  try {
    const std::string stats = session->Finish();
    if (!stats.empty() && exitCode == 0) std::printf("%s\n", stats.c_str());
  } catch (const std::exception& failure) {
    return Fail(failure);
  }
  return exitCode;
}
