#pragma once
// TPlaceholderWindow: the smallest game window the shell can run, for the shell's own tests (the
// loop, the font and the unattended run without a level to load). It clears to a dark blue, prints
// one line with PrintText and ends the program on Escape (key code 27).

#include "shell/GLWindow.h"

namespace qv {

class TPlaceholderWindow : public TGLWindow {
 public:
  explicit TPlaceholderWindow(TGLApplication& app);
  ~TPlaceholderWindow() override;

  bool GLLoad() override;
  bool GLStore() override;
  void GLResize() override;
  bool GLDraw() override;

  static constexpr const char* kText = "Quorvantille - the game is on its way. Escape quits.";

 private:
  void KeyUp(int key);
  int font_ = 0;  // first display list of the font; 0 while none is built
};

TGLWindowClass PlaceholderWindowClass();

}  // namespace qv
