#include "tests/support/PlaceholderWindow.h"

#include <GL/gl.h>

#include "platform/EGL.h"
#include "platform/Keys.h"
#include "shell/GLApplication.h"

namespace qv {

TPlaceholderWindow::TPlaceholderWindow(TGLApplication& app) : TGLWindow(app) {
  App().OnKeyUp = [this](int key) { KeyUp(key); };
}

TPlaceholderWindow::~TPlaceholderWindow() { App().OnKeyUp = nullptr; }

bool TPlaceholderWindow::GLLoad() {
  try {
    font_ = App().BuildFont("Courier New");
  } catch (const EGL&) {
    return false;  // the reason is in the log already; the shell reports the failed load
  }
  glDisable(GL_DEPTH_TEST);
  glDisable(GL_LIGHTING);
  glDisable(GL_TEXTURE_2D);
  return true;
}

bool TPlaceholderWindow::GLStore() {
  if (font_ != 0) App().KillFont(font_);
  font_ = 0;
  return true;
}

void TPlaceholderWindow::GLResize() {}

bool TPlaceholderWindow::GLDraw() {
  const TGLApplication& app = App();
  glClearColor(0.05f, 0.10f, 0.30f, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glColor3f(1.0f, 0.9f, 0.3f);
  PrintText(20, app.Height / 2, kText, font_);
  return true;
}

void TPlaceholderWindow::KeyUp(int key) {
  if (key == kVkEscape) App().Quit();
}

TGLWindowClass PlaceholderWindowClass() {
  return GLWindowClassOf<TPlaceholderWindow>("TPlaceholderWindow");
}

}  // namespace qv
