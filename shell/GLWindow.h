#pragma once
// TGLWindow: what the game gives the shell. The shell constructs exactly one instance through a
// class reference (TGLWindowClass) with the GL context current, handing it the application that
// runs it, and then calls its virtual operations: GLLoad after every creation of the context,
// GLStore before every destruction, GLResize after every viewport change and GLDraw once per
// frame. A window reaches its application through App(), never through the global, so a test can
// drive it with an application of its own; the application outlives every window it makes.

#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace qv {

class TGLApplication;

class TGLWindow {
 public:
  explicit TGLWindow(TGLApplication& app) : app_(app) {}
  virtual ~TGLWindow() = default;
  TGLWindow(const TGLWindow&) = delete;
  TGLWindow& operator=(const TGLWindow&) = delete;

  // Slot 2: builds every GL resource of the game. False aborts.
  virtual bool GLLoad() = 0;
  // Slot 3: releases the GL resources before the context goes. False aborts a mode change.
  virtual bool GLStore() = 0;
  // Slot 4: the viewport size changed (the application's Width and Height hold it).
  virtual void GLResize() = 0;
  // Slot 5: advances and draws one frame. False ends the main loop.
  virtual bool GLDraw() = 0;

  // Draws `text` with the bitmap font whose lists start at `fontBase`, one list per byte, at
  // window pixel (x, y) counted from the lower-left corner (both 0 or more) of App()'s client
  // area. Leaves the projection and model-view matrices and the list base as it found them, with
  // model-view the current matrix mode.
  void PrintText(int x, int y, std::string_view text, int fontBase) const;

  // The application that made this window.
  TGLApplication& App() const { return app_; }

 private:
  TGLApplication& app_;
};

// A class reference to a TGLWindow descendant: its name and its virtual constructor (slot 1).
struct TGLWindowClass {
  using TCreate = std::function<std::unique_ptr<TGLWindow>(TGLApplication& app)>;
  std::string name;  // the class's name
  TCreate create;    // makes one instance for `app`; empty when unset
};

// The class reference of T, made as T(app).
template <class T>
TGLWindowClass GLWindowClassOf(std::string name) {
  return {std::move(name), [](TGLApplication& app) -> std::unique_ptr<TGLWindow> {
            return std::make_unique<T>(app);
          }};
}

}  // namespace qv
