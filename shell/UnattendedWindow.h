#pragma once
// The unattended run: when the environment variable QV_QUIT_AFTER_MS holds a number of
// milliseconds, the game window is wrapped so that, at the first frame drawn after that time
// (TimeMs), the frame is saved as a PNG to the path in QV_SCREENSHOT (if set) and an Escape key
// press is put into the message queue; its release follows at the next frame, so a game window
// that polls Escape while drawing sees it held for one frame and one that waits for the release
// sees that. Either way the program ends through its own key handling. Should the game still run
// two seconds later, Quit ends it. `make run` uses this on a machine without a display; nothing
// else does.

#include <cstdint>
#include <filesystem>
#include <memory>

#include "shell/GLWindow.h"

namespace qv {

class TUnattendedWindow : public TGLWindow {
 public:
  TUnattendedWindow(TGLApplication& app, std::unique_ptr<TGLWindow> game, std::int64_t quitAfterMs,
                    std::filesystem::path screenshot);

  bool GLLoad() override;
  bool GLStore() override;
  void GLResize() override;
  bool GLDraw() override;

 private:
  void SaveScreenshot() const;

  std::unique_ptr<TGLWindow> game_;
  std::int64_t quitAfterMs_;          // TimeMs at which the run ends
  std::filesystem::path screenshot_;  // empty: no screenshot
  enum class TEscape { NotYet, Down, Released };
  TEscape escape_ = TEscape::NotYet;
};

// `game` unchanged when QV_QUIT_AFTER_MS is unset; otherwise a class making TUnattendedWindow
// around an instance of `game`. A value that is not a whole number of milliseconds is refused
// with std::invalid_argument naming the variable.
TGLWindowClass UnattendedOr(TGLWindowClass game);

}  // namespace qv
