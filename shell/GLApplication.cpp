#include "shell/GLApplication.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <cstdio>
#include <cstdlib>
#include <stdexcept>

#include "platform/AssertionFailure.h"
#include "platform/BitmapFont.h"
#include "platform/Clock.h"
#include "platform/EGL.h"
#include "platform/LogFile.h"
#include "platform/MessageBox.h"

namespace qv {

namespace {

constexpr int kFontHeight = 20;  // pixels, em height
constexpr int kFontLists = 256;  // reserved per font; glyphs fill the first 255
constexpr int kMaxGLErrorLines = 19;

[[noreturn]] void Overflow() { throw std::overflow_error("Integer overflow"); }

// (value * 1000) / frequency rounded to nearest, ties to even, exact in 64-bit integers.
// Whole seconds and the remainder are scaled apart: the product of a 1 GHz count and 1000 would
// leave 64 bits after 106.75 days, the milliseconds themselves only after 292 million years. The
// whole seconds contribute an even number of milliseconds, so rounding the remainder alone gives
// the rounding of the whole.
std::int64_t ScaleToMs(std::int64_t delta, std::int64_t frequency) {
  std::int64_t scaled = 0;
  if (frequency == 0) {
    if (__builtin_mul_overflow(delta, std::int64_t{1000}, &scaled)) Overflow();
    return scaled;
  }
  if (frequency == -1 && delta == INT64_MIN) Overflow();
  const std::int64_t seconds = delta / frequency;
  const std::int64_t rest = delta % frequency;  // |rest| < |frequency|, the sign of delta
  std::int64_t restScaled = 0;
  if (__builtin_mul_overflow(rest, std::int64_t{1000}, &restScaled)) Overflow();
  std::int64_t restMs = restScaled / frequency;
  const std::int64_t remainder = restScaled % frequency;
  const auto magnitude = [](std::int64_t v) {
    return v < 0 ? std::uint64_t{0} - static_cast<std::uint64_t>(v) : static_cast<std::uint64_t>(v);
  };
  const std::uint64_t twiceRemainder = magnitude(remainder) * 2;
  const std::uint64_t divisor = magnitude(frequency);
  if (twiceRemainder > divisor || (twiceRemainder == divisor && restMs % 2 != 0))
    restMs += (restScaled < 0) != (frequency < 0) ? -1 : 1;
  if (__builtin_mul_overflow(seconds, std::int64_t{1000}, &scaled) ||
      __builtin_add_overflow(scaled, restMs, &scaled))
    Overflow();
  return scaled;
}

}  // namespace

TGLApplication::TGLApplication() : StartCounter(PerformanceCounter()) {
  int x = 0, y = 0;
  GlobalCursorPos(x, y);
  MouseX = x;
  MouseY = y;
}

TGLApplication::~TGLApplication() {
  // Only test instances end here with a window still open; the global one lives to the end.
  GameWindow.reset();
  if (RC && Wnd) {
    Wnd->ReleaseCurrent();
    TPlatformWindow::DeleteGLContext(RC);
  }
  Wnd.reset();
  if (videoStarted_) QuitVideo();
}

int TGLApplication::Run(TGLWindowClass windowClass) {
  GlWindowClass = std::move(windowClass);
  try {
    return MainLoop();
  } catch (const std::exception& error) {
    // An EGL has logged itself; the model reader's and the library's failures have not, and the
    // log must still say why the program ended.
    if (!dynamic_cast<const EGL*>(&error)) GlobalLog().Log(error.what());
    ShowError(error);
  } catch (...) {
    GlobalLog().Log("Unknown exception");
    ShowError(std::runtime_error("Unknown exception"));
  }
  // The game window goes first, while its context (if the failure left one) is still current,
  // so whatever GL names it frees are freed in the context that made them.
  GameWindow.reset();
  // A teardown that fails again has logged its EGL already; the exit code is 1 either way.
  try {
    KillGLWindow();
  } catch (const std::exception&) {
  }
  return 1;
}

int TGLApplication::MainLoop() {
  if (!GlWindowClass.create) throw EGL("no GLWindow class defined");
  CreateGLWindow();
  GameWindow = GlWindowClass.create(*this);
  // The error path of Run destroys the game window and then tears the window down.
  if (!GameWindow->GLLoad()) throw EGL("GlWindowClass.GLLoad failed");
  Resize(Width, Height);
  Active = true;

  int exitCode = 0;
  for (;;) {
    TMessage message;
    if (Queue.Peek(message)) {
      if (message.kind == TMessageKind::Quit) {
        exitCode = message.a;
        break;
      }
      WindowProc(message);
      continue;
    }
    if (ModeChangePending) RebuildForModeChange();
    if (Active) {
      const bool goOn = GameWindow->GLDraw();
      if (goOn) DC->SwapBuffers();
      ReportGLErrors();
      if (!goOn) break;
    } else {
      Queue.Wait();
    }
  }

  if (GameWindow) {
    GameWindow->GLStore();
    GameWindow.reset();
  }
  KillGLWindow();
  GlobalLog().Log("end program");
  return exitCode;
}

void TGLApplication::RebuildForModeChange() {
  ModeChangePending = false;
  if (!GameWindow->GLStore()) throw EGL("GlWindowClass.GLStore failed");
  KillGLWindow();
  CreateGLWindow();
  if (!GameWindow->GLLoad()) throw EGL("GlWindowClass.GLLoad failed");
  Resize(Width, Height);
}

void TGLApplication::CreateGLWindow() {
  GlobalLog().Log("CreateGLWindow...");
  KeyStates.fill(0);
  ForgetTaps();

  if (!videoStarted_) {
    if (!InitVideo()) {
      GlobalLog().Log("video start failed: " + LastError());
      throw EGL("Failed To Register The Window Class.");
    }
    videoStarted_ = true;
  }

  if (FullScreen && !Display.ModeAvailable(Width, Height, Bits)) OfferWindowedMode();

  TWindowRequest request;
  request.title = Title;
  request.width = Width;
  request.height = Height;
  request.bits = Bits;
  request.mode = FullScreen ? TWindowMode::FullScreen : TWindowMode::Windowed;
  Wnd = Display.CreateWindow(request);
  if (!Wnd && FullScreen) {
    // The mode list offered it, but the window system would not set it: the same question as
    // for a mode the list does not offer.
    GlobalLog().Log("full-screen mode refused: " + LastError());
    OfferWindowedMode();
    request.width = Width;
    request.height = Height;
    request.bits = Bits;
    request.mode = TWindowMode::Windowed;
    Wnd = Display.CreateWindow(request);
  }
  if (!Wnd) {
    GlobalLog().Log("window creation failed: " + LastError());
    KillGLWindow();
    throw EGL("Window creation error.");
  }
  DC = Wnd.get();

  RC = Display.CreateContext(*Wnd);
  if (!RC) throw EGL("Cannot create the OpenGL context: " + LastError());

  Wnd->Show();
  // Starting video again (every mode change does) shows the system cursor; a hidden cursor
  // must stay hidden in the new window.
  if (!CursorVisible) Display.ShowCursor(false);
  DisableScreenSaver();
  GlobalLog().Log("CreateGLWindow done");
  glEnable(GL_SCISSOR_TEST);
}

void TGLApplication::OfferWindowedMode() {
  // Unattended, the windowed mode is the safe answer: the program goes on and the display is
  // left alone.
  const TAnswer answer =
      AskYesNo("Error", "This FullScreen Mode Is Not Supported. Use Windowed Mode Instead?",
               TMessageIcon::Warning, TAnswer::Yes);
  if (answer != TAnswer::Yes) throw EGL("Program is now closing");
  FullScreen = false;
  // Back to the window the player had, not a window of the full-screen size that was refused.
  if (SavedWidth > 0 && SavedHeight > 0) {
    Width = SavedWidth;
    Height = SavedHeight;
    Bits = SavedBits;
  }
}

void TGLApplication::KillGLWindow() {
  GlobalLog().Log("KillGLWindow...");
  if (FullScreen) Display.ShowCursor(true);  // the display mode returns with the window
  if (RC) {
    if (!Wnd || !Wnd->ReleaseCurrent()) throw EGL("Release of DC and RC failed.");
    TPlatformWindow::DeleteGLContext(RC);
    RC = nullptr;
  }
  DC = nullptr;
  Wnd.reset();
  if (videoStarted_) {
    QuitVideo();
    videoStarted_ = false;
  }
  GlobalLog().Log("KillGLWindow done");
}

void TGLApplication::SetDisplayMode(int width, int height, int bits, bool fullScreen) {
  if (width != 0 && height != 0 && bits != 0) {
    Width = width;
    Height = height;
    Bits = bits;
  } else {
    Width = SavedWidth;
    Height = SavedHeight;
    Bits = SavedBits;
  }
  FullScreen = fullScreen;
  ModeChangePending = true;
}

void TGLApplication::Resize(int width, int height) {
  Width = width == 0 ? 1 : width;
  Height = height == 0 ? 1 : height;
  SetViewport(Width, Height);
  if (GameWindow) GameWindow->GLResize();
  if (!FullScreen) {
    SavedBits = Bits;
    SavedHeight = Height;
    SavedWidth = Width;
  }
}

void TGLApplication::SetViewport(int width, int height) {
  glViewport(0, 0, width, height);
  glScissor(0, 0, width, height);
}

void TGLApplication::ResetViewport() { SetViewport(Width, Height); }

bool TGLApplication::KeyDown(int key) const {
  if (key < 1 || key > 254) throw EAssertionFailed("Invalid Input Index");
  return KeyStates[static_cast<std::size_t>(key)] != 0;
}

bool TGLApplication::KeyDownOrTapped(int key) const {
  return KeyDown(key) || Tapped[static_cast<std::size_t>(key)] != 0;
}

std::int64_t TGLApplication::TimeMs() const {
  const std::int64_t frequency = PerformanceFrequency();
  std::int64_t delta = 0;
  if (__builtin_sub_overflow(PerformanceCounter(), StartCounter, &delta)) Overflow();
  return ScaleToMs(delta, frequency);
}

void TGLApplication::Quit() { PostQuitMessage(0); }

void TGLApplication::SetCursorVisible(bool visible) {
  if (visible == CursorVisible) return;
  CursorVisible = visible;
  Display.ShowCursor(visible);
}

void TGLApplication::SetMousePos(TPoint point) {
  MouseX = point.x;
  MouseY = point.y;
  // In client coordinates: the same spot as (x + WindowX, y + WindowY) on screen, without
  // depending on a move message having arrived.
  if (Wnd) Wnd->WarpMouse(point.x, point.y);
}

int TGLApplication::BuildFont(const std::string& faceName) {
  const GLuint base = glGenLists(kFontLists);
  if (base == 0) throw EGL("BuildFont: no display lists left for the font \"" + faceName + "\"");
  std::string error;
  if (!BuildBitmapFont(base, faceName, kFontHeight, TFontWeight::Bold, error)) {
    glDeleteLists(base, kFontLists);
    throw EGL("BuildFont: " + error);
  }
  return static_cast<int>(base);
}

void TGLApplication::KillFont(int listBase) {
  glDeleteLists(static_cast<GLuint>(listBase), kFontLists);
}

std::string TGLApplication::ErrorText(const std::string& message) {
  std::string text = message;
  if (!text.empty() && static_cast<unsigned char>(text.back()) > static_cast<unsigned char>('.'))
    text += '.';
  return text;
}

void TGLApplication::ShowError(const std::exception& error) const {
  ShowMessageBox("Error", ErrorText(error.what()), TMessageIcon::Error, Wnd.get());
}

void TGLApplication::ReportGLErrors() const {
  LogGLErrors([] { return glGetError(); });
}

void TGLApplication::LogGLErrors(const std::function<unsigned()>& nextError) {
  for (int line = 0; line < kMaxGLErrorLines; ++line) {
    const GLenum error = nextError();
    if (error == GL_NO_ERROR) break;
    const GLubyte* text = gluErrorString(error);
    if (text) {
      GlobalLog().Log(reinterpret_cast<const char*>(text));
    } else {
      char unknown[48];
      std::snprintf(unknown, sizeof unknown, "unknown GL error 0x%04X", error);
      GlobalLog().Log(unknown);
    }
  }
}

int TGLApplication::WindowProc(const TMessage& message) {
  const auto keyIndex = [](int code) { return static_cast<std::size_t>(code) & 0xFF; };
  switch (message.kind) {
    case TMessageKind::ScreenSave: break;
    case TMessageKind::Move:
      WindowX = message.a;
      WindowY = message.b;
      break;
    case TMessageKind::Size:
      // A size message that arrives between SetDisplayMode and the rebuild comes from the window
      // about to go; taking it would overwrite the new mode (or, leaving full screen, store the
      // full-screen size as the windowed one). The rebuild ends with its own Resize.
      if (!ModeChangePending) Resize(message.a, message.b);
      break;
    case TMessageKind::Activate: Active = message.a == 0; break;
    case TMessageKind::Close: PostQuitMessage(0); break;
    case TMessageKind::KeyDown:
      KeyStates[keyIndex(message.a)] = Tapped[keyIndex(message.a)] = 1;
      break;
    case TMessageKind::KeyUp:
      KeyStates[keyIndex(message.a)] = 0;
      if (OnKeyUp) OnKeyUp(message.a);
      break;
    case TMessageKind::MouseMove:
      MouseX = message.a;
      MouseY = message.b;
      break;
    case TMessageKind::ButtonDown:
      KeyStates[keyIndex(message.a)] = Tapped[keyIndex(message.a)] = 1;
      break;
    case TMessageKind::ButtonUp: KeyStates[keyIndex(message.a)] = 0; break;
    case TMessageKind::Quit:
    case TMessageKind::Other: break;
  }
  return 0;
}

TGLApplication& GlobalApplication() {
  static TGLApplication application;
  return application;
}

}  // namespace qv
