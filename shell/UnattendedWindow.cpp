#include "shell/UnattendedWindow.h"

#include <cstdlib>
#include <stdexcept>
#include <string>

#include "platform/Events.h"
#include "platform/IniFile.h"
#include "platform/Keys.h"
#include "platform/LogFile.h"
#include "shell/GLApplication.h"
#include "shell/Screenshot.h"

namespace qv {

namespace {
constexpr std::int64_t kGraceMs = 2000;  // after Escape, before Quit steps in
}

TUnattendedWindow::TUnattendedWindow(TGLApplication& app, std::unique_ptr<TGLWindow> game,
                                     std::int64_t quitAfterMs, std::filesystem::path screenshot)
    : TGLWindow(app),
      game_(std::move(game)),
      quitAfterMs_(quitAfterMs),
      screenshot_(std::move(screenshot)) {}

bool TUnattendedWindow::GLLoad() { return game_->GLLoad(); }
bool TUnattendedWindow::GLStore() { return game_->GLStore(); }
void TUnattendedWindow::GLResize() { game_->GLResize(); }

void TUnattendedWindow::SaveScreenshot() const {
  // The frame is complete in the back buffer; the shell swaps it after GLDraw.
  if (SaveFrame(App(), screenshot_))
    GlobalLog().Log("screenshot saved to " + screenshot_.string());
  else
    GlobalLog().Log("cannot save the screenshot " + screenshot_.string());
}

bool TUnattendedWindow::GLDraw() {
  if (!game_->GLDraw()) return false;
  TGLApplication& app = App();
  const std::int64_t now = app.TimeMs();
  if (escape_ == TEscape::NotYet && now >= quitAfterMs_) {
    escape_ = TEscape::Down;
    if (!screenshot_.empty()) SaveScreenshot();
    PostKeyMessage(TMessageKind::KeyDown, kVkEscape);
  } else if (escape_ == TEscape::Down) {
    escape_ = TEscape::Released;
    PostKeyMessage(TMessageKind::KeyUp, kVkEscape);
  } else if (escape_ == TEscape::Released && now >= quitAfterMs_ + kGraceMs) {
    app.Quit();
  }
  return true;
}

TGLWindowClass UnattendedOr(TGLWindowClass game) {
  const char* quitAfter = std::getenv("QV_QUIT_AFTER_MS");
  if (!quitAfter || !*quitAfter) return game;
  int ms = 0;
  if (!ParseIniInteger(quitAfter, ms) || ms < 0)
    throw std::invalid_argument(std::string("QV_QUIT_AFTER_MS is not a whole number of "
                                            "milliseconds: \"") +
                                quitAfter + "\"");
  const char* shot = std::getenv("QV_SCREENSHOT");
  const std::filesystem::path screenshot = shot ? shot : "";
  TGLWindowClass wrapped;
  wrapped.name = game.name;
  wrapped.create = [game, ms, screenshot](TGLApplication& app) -> std::unique_ptr<TGLWindow> {
    return std::make_unique<TUnattendedWindow>(app, game.create(app), ms, screenshot);
  };
  return wrapped;
}

}  // namespace qv
