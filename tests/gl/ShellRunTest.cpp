// The main loop with a real window and context (under Xvfb): the order of the game window's
// calls, the exit codes, the log lines, key strokes through the real queue, and the rebuild on a
// display-mode change with its refused-mode question.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/Events.h"
#include "platform/Keys.h"
#include "platform/LogFile.h"
#include "platform/Window.h"
#include "shell/GLApplication.h"
#include "shell/UnattendedWindow.h"
#include "tests/support/GLTestContext.h"
#include "tests/support/PlaceholderWindow.h"
#include "tests/support/ScopedLog.h"

namespace {

using qv::GlobalApplication;
using qv::TGLApplication;
using qv::test::BoxRecorder;
using qv::test::ScopedLog;

// What the scripted window saw, shared with the test because the shell makes the instance.
struct Script {
  std::vector<std::string> calls;  // "load", "store", "resize", "draw", "destroy"
  bool loadResult = true;
  bool storeResult = true;
  bool contextAtDestroy = false;        // a GL context was current in the destructor
  std::function<bool(int frame)> draw;  // returns GLDraw's result
  int frames = 0;
  int instances = 0;
};

class ScriptedWindow : public qv::TGLWindow {
 public:
  ScriptedWindow(TGLApplication& app, Script& script) : TGLWindow(app), script_(script) {
    ++script_.instances;
  }
  ~ScriptedWindow() override {
    script_.calls.push_back("destroy");
    script_.contextAtDestroy = glGetString(GL_VERSION) != nullptr;
  }
  bool GLLoad() override {
    script_.calls.push_back("load");
    return script_.loadResult;
  }
  bool GLStore() override {
    script_.calls.push_back("store");
    return script_.storeResult;
  }
  void GLResize() override { script_.calls.push_back("resize"); }
  bool GLDraw() override {
    script_.calls.push_back("draw");
    return script_.draw(++script_.frames);
  }

 private:
  Script& script_;
};

qv::TGLWindowClass ClassFor(Script& script) {
  return {"TScriptedWindow",
          [&script](TGLApplication& app) { return std::make_unique<ScriptedWindow>(app, script); }};
}

class ShellRunTest : public ::testing::Test {
 protected:
  ~ShellRunTest() override {
    // Failures of window creation only show in the log; make them visible in the test output.
    if (HasFailure())
      for (const std::string& line : log_.Messages())
        std::fprintf(stderr, "log: %s\n", line.c_str());
  }
  void SetUp() override {
    TGLApplication& app = GlobalApplication();
    app.Width = 320;
    app.Height = 240;
    app.Bits = 32;
    app.FullScreen = false;
    app.ModeChangePending = false;
    app.OnKeyUp = nullptr;
    qv::DiscardMessages();
  }
  void TearDown() override { GlobalApplication().OnKeyUp = nullptr; }

  static std::size_t Count(const std::vector<std::string>& v, const std::string& what) {
    return static_cast<std::size_t>(std::count(v.begin(), v.end(), what));
  }

  ScopedLog log_;
};

TEST_F(ShellRunTest, GLDrawReturningFalseEndsTheLoopAfterReportingThatFramesErrors) {
  Script script;
  script.draw = [](int frame) {
    if (frame < 3) return true;
    glEnable(0x7FFF);  // not a capability: GL_INVALID_ENUM, to be reported for this frame
    return false;
  };
  EXPECT_EQ(GlobalApplication().Run(ClassFor(script)), 0);
  EXPECT_EQ(script.instances, 1);
  EXPECT_EQ(script.calls, (std::vector<std::string>{"load", "resize", "draw", "draw", "draw",
                                                    "store", "destroy"}));
  EXPECT_FALSE(GlobalApplication().GameWindow);
  EXPECT_FALSE(GlobalApplication().Wnd);
  EXPECT_EQ(log_.Messages(),
            (std::vector<std::string>{std::string(qv::kLogHeader), "CreateGLWindow...",
                                      "CreateGLWindow done", "invalid enumerant", "KillGLWindow...",
                                      "KillGLWindow done", "end program"}));
}

TEST_F(ShellRunTest, TheContextIsDoubleBufferedWithDepthAndTheViewportFollowsTheSize) {
  Script script;
  GLint viewport[4] = {}, scissor[4] = {}, depthBits = 0;
  GLboolean doubleBuffer = GL_FALSE, scissorOn = GL_FALSE;
  script.draw = [&](int) {
    glGetIntegerv(GL_VIEWPORT, viewport);
    glGetIntegerv(GL_SCISSOR_BOX, scissor);
    glGetIntegerv(GL_DEPTH_BITS, &depthBits);
    glGetBooleanv(GL_DOUBLEBUFFER, &doubleBuffer);
    scissorOn = glIsEnabled(GL_SCISSOR_TEST);
    return false;
  };
  EXPECT_EQ(GlobalApplication().Run(ClassFor(script)), 0);
  EXPECT_EQ(viewport[2], 320);
  EXPECT_EQ(viewport[3], 240);
  EXPECT_EQ(scissor[2], 320);
  EXPECT_EQ(scissor[3], 240);
  EXPECT_GE(depthBits, 24);
  EXPECT_TRUE(doubleBuffer);
  EXPECT_TRUE(scissorOn);
}

TEST_F(ShellRunTest, AFailedGLLoadEndsWithTheErrorBoxTheLogLineAndExitCodeOne) {
  BoxRecorder boxes;
  Script script;
  script.loadResult = false;
  script.draw = [](int) { return true; };
  EXPECT_EQ(GlobalApplication().Run(ClassFor(script)), 1);
  EXPECT_EQ(boxes.texts, std::vector<std::string>{"Error|GlWindowClass.GLLoad failed."});
  EXPECT_EQ(script.frames, 0);
  EXPECT_EQ(script.calls.back(), "destroy");
  const auto messages = log_.Messages();
  EXPECT_NE(std::find(messages.begin(), messages.end(), "GlWindowClass.GLLoad failed"),
            messages.end());
  EXPECT_EQ(messages.back(), "KillGLWindow done");
  EXPECT_FALSE(GlobalApplication().Wnd);
}

TEST_F(ShellRunTest, OnEveryErrorPathTheGameWindowDiesWhileItsContextIsCurrent) {
  enum class Fault { Load, Draw, StoreForModeChange };
  for (const Fault fault : {Fault::Load, Fault::Draw, Fault::StoreForModeChange}) {
    BoxRecorder boxes;
    Script script;
    script.loadResult = fault != Fault::Load;
    script.storeResult = fault != Fault::StoreForModeChange;
    script.draw = [fault](int frame) {
      if (fault == Fault::Draw) throw std::runtime_error("draw failed");
      if (frame == 1) GlobalApplication().SetDisplayMode(320, 240, 32, false);
      return frame < 1000;
    };
    EXPECT_EQ(GlobalApplication().Run(ClassFor(script)), 1);
    EXPECT_EQ(script.calls.back(), "destroy");
    EXPECT_TRUE(script.contextAtDestroy) << static_cast<int>(fault);
    EXPECT_EQ(log_.Messages().back(), "KillGLWindow done");
    EXPECT_FALSE(GlobalApplication().Wnd);
  }
}

TEST_F(ShellRunTest, EscapeThroughTheRealQueueReachesTheKeyHandlerAndEndsWithZero) {
  Script script;
  std::vector<int> released;
  bool escapeHeld = false;
  script.draw = [&](int frame) {
    TGLApplication& app = GlobalApplication();
    if (frame == 1) {
      app.OnKeyUp = [&](int key) {
        released.push_back(key);
        if (key == qv::kVkEscape) app.Quit();
      };
      EXPECT_TRUE(qv::PostKeyMessage(qv::TMessageKind::KeyDown, 'Q'));
      EXPECT_TRUE(qv::PostKeyMessage(qv::TMessageKind::KeyUp, 'Q'));
      EXPECT_TRUE(qv::PostKeyMessage(qv::TMessageKind::KeyDown, qv::kVkEscape));
    }
    if (frame == 2) {
      escapeHeld = app.KeyDown(qv::kVkEscape);
      EXPECT_TRUE(qv::PostKeyMessage(qv::TMessageKind::KeyUp, qv::kVkEscape));
    }
    return frame < 1000;  // a safety net: the test fails rather than hangs
  };
  EXPECT_EQ(GlobalApplication().Run(ClassFor(script)), 0);
  EXPECT_TRUE(escapeHeld);
  EXPECT_EQ(released, (std::vector<int>{'Q', qv::kVkEscape}));
  EXPECT_LT(script.frames, 1000);
  EXPECT_EQ(log_.Messages().back(), "end program");
}

TEST_F(ShellRunTest, TheCloseMessageEndsTheLoopWithZero) {
  Script script;
  script.draw = [](int frame) {
    if (frame == 2) GlobalApplication().WindowProc({qv::TMessageKind::Close, 0, 0});
    return frame < 1000;
  };
  EXPECT_EQ(GlobalApplication().Run(ClassFor(script)), 0);
  EXPECT_EQ(script.frames, 2);
}

TEST_F(ShellRunTest, NoFrameIsDrawnWhileMinimised) {
  Script script;
  script.draw = [](int frame) {
    TGLApplication& app = GlobalApplication();
    if (frame == 3) {
      app.WindowProc({qv::TMessageKind::Activate, 1, 0});
      app.OnKeyUp = [&app](int) { app.Quit(); };
      qv::PostKeyMessage(qv::TMessageKind::KeyUp, 'X');
    }
    return frame < 1000;
  };
  EXPECT_EQ(GlobalApplication().Run(ClassFor(script)), 0);
  EXPECT_EQ(script.frames, 3);
}

TEST_F(ShellRunTest, ARefusedFullScreenModeAnsweredYesGoesOnWindowedWithTheSameGameWindow) {
  ASSERT_FALSE(qv::DisplayModeAvailable(641, 479, 32));
  BoxRecorder boxes(qv::TAnswer::Yes);
  Script script;
  int widthBefore = 0, widthAfter = 0;
  bool fullScreenAfter = true;
  script.draw = [&](int frame) {
    TGLApplication& app = GlobalApplication();
    if (frame == 2) {
      widthBefore = app.Width;
      app.SetDisplayMode(641, 479, 32, true);
    }
    if (frame == 3) {
      widthAfter = app.Width;
      fullScreenAfter = app.FullScreen;
      return false;
    }
    return true;
  };
  EXPECT_EQ(GlobalApplication().Run(ClassFor(script)), 0);
  EXPECT_EQ(boxes.texts,
            std::vector<std::string>{
                "Error|This FullScreen Mode Is Not Supported. Use Windowed Mode Instead?"});
  EXPECT_EQ(script.instances, 1);
  EXPECT_EQ(script.calls, (std::vector<std::string>{"load", "resize", "draw", "draw", "store",
                                                    "load", "resize", "draw", "store", "destroy"}));
  EXPECT_EQ(widthAfter, widthBefore);  // the window it had, not the mode that was refused
  EXPECT_FALSE(fullScreenAfter);
  EXPECT_EQ(Count(log_.Messages(), "CreateGLWindow done"), 2u);
  EXPECT_EQ(Count(log_.Messages(), "KillGLWindow done"), 2u);
}

TEST_F(ShellRunTest, ARefusedFullScreenModeAnsweredNoClosesTheProgram) {
  BoxRecorder boxes(qv::TAnswer::No);
  Script script;
  script.draw = [](int frame) {
    if (frame == 1) GlobalApplication().SetDisplayMode(641, 479, 32, true);
    return frame < 1000;
  };
  EXPECT_EQ(GlobalApplication().Run(ClassFor(script)), 1);
  ASSERT_EQ(boxes.texts.size(), 2u);
  EXPECT_EQ(boxes.texts[1], "Error|Program is now closing.");
  const auto messages = log_.Messages();
  EXPECT_NE(std::find(messages.begin(), messages.end(), "Program is now closing"), messages.end());
  EXPECT_FALSE(GlobalApplication().Wnd);
  GlobalApplication().FullScreen = false;
}

// A local application with a display layer that offers every mode but will not make a
// full-screen window (full-screen requests can also be turned into windowed ones, so the test
// display keeps its mode).
class LocalDisplayTest : public ShellRunTest {
 protected:
  LocalDisplayTest() {
    app.Width = 320;
    app.Height = 240;
    app.Display.ModeAvailable = [](int, int, int) { return true; };
    app.Display.CreateWindow = [this](qv::TWindowRequest request) {
      if (request.mode == qv::TWindowMode::FullScreen) {
        if (refuseFullScreen) return std::unique_ptr<qv::TPlatformWindow>();
        request.mode = qv::TWindowMode::Windowed;
      }
      return qv::TPlatformWindow::Create(request);
    };
  }
  TGLApplication app;
  bool refuseFullScreen = true;
};

TEST_F(LocalDisplayTest, AModeTheListOffersButTheWindowSystemRefusesAsksTheSameQuestion) {
  for (const qv::TAnswer answer : {qv::TAnswer::Yes, qv::TAnswer::No}) {
    BoxRecorder boxes(answer);
    Script script;
    script.draw = [&](int frame) {
      if (frame == 1) app.SetDisplayMode(640, 480, 32, true);
      return frame < 3;
    };
    const bool yes = answer == qv::TAnswer::Yes;
    EXPECT_EQ(app.Run(ClassFor(script)), yes ? 0 : 1);
    std::vector<std::string> expected = {
        "Error|This FullScreen Mode Is Not Supported. Use Windowed Mode Instead?"};
    if (!yes) expected.push_back("Error|Program is now closing.");
    EXPECT_EQ(boxes.texts, expected);
    EXPECT_EQ(script.frames, yes ? 3 : 1);
    EXPECT_EQ(app.FullScreen, !yes);        // Yes goes on windowed; No closes as it stands
    EXPECT_EQ(app.Width, yes ? 320 : 640);  // Yes: back at its size
    app.FullScreen = false;
  }
}

TEST_F(LocalDisplayTest, AContextThatCannotBeMadeIsLoggedAndEndsWithExitCodeOne) {
  BoxRecorder boxes;
  app.Display.CreateContext = [](qv::TPlatformWindow&) { return qv::TGLContextHandle{}; };
  Script script;
  script.draw = [](int) { return false; };
  EXPECT_EQ(app.Run(ClassFor(script)), 1);
  EXPECT_EQ(script.instances, 0);
  const auto messages = log_.Messages();
  ASSERT_GE(messages.size(), 4u);
  EXPECT_EQ(messages[2].rfind("Cannot create the OpenGL context", 0), 0u) << messages[2];
  ASSERT_EQ(boxes.texts.size(), 1u);
  EXPECT_EQ(boxes.texts[0].rfind("Error|Cannot create the OpenGL context", 0), 0u);
  EXPECT_FALSE(app.Wnd);
}

TEST_F(LocalDisplayTest, AHiddenCursorStaysHiddenInEveryNewWindow) {
  refuseFullScreen = false;
  std::vector<bool> shown;  // every call to the system cursor, in order
  app.Display.ShowCursor = [&](bool visible) { shown.push_back(visible); };
  Script script;
  script.draw = [&](int frame) {
    if (frame == 1) {
      app.SetCursorVisible(false);  // mouse capture
      app.SetDisplayMode(640, 480, 32, true);
    }
    if (frame == 2) app.SetDisplayMode(0, 0, 0, false);
    return frame < 3;
  };
  EXPECT_EQ(app.Run(ClassFor(script)), 0);
  EXPECT_EQ(script.frames, 3);
  // Hidden; leaving the windowed window for full screen shows it and the new window hides it
  // again; so does the window that comes back from full screen.
  EXPECT_EQ(shown, (std::vector<bool>{false, true, false, false}));
}

TEST_F(ShellRunTest, FullScreenAndBackRestoresTheSavedWindowedMode) {
  if (!qv::InitVideo()) GTEST_SKIP() << qv::LastError();
  const bool available = qv::DisplayModeAvailable(1280, 1024, 24);
  qv::QuitVideo();
  if (!available) GTEST_SKIP() << "the display offers no 1280x1024 mode";
  BoxRecorder boxes;
  Script script;
  std::vector<std::pair<int, bool>> modes;  // Width, FullScreen seen by each frame
  script.draw = [&](int frame) {
    TGLApplication& app = GlobalApplication();
    modes.emplace_back(app.Width, app.FullScreen);
    if (frame == 1) app.SetDisplayMode(1280, 1024, 24, true);
    if (frame == 2) app.SetDisplayMode(0, 0, 0, false);
    return frame < 3;
  };
  EXPECT_EQ(GlobalApplication().Run(ClassFor(script)), 0);
  EXPECT_TRUE(boxes.texts.empty());
  ASSERT_EQ(modes.size(), 3u);
  EXPECT_EQ(modes[1], (std::pair<int, bool>{1280, true}));
  EXPECT_EQ(modes[2], (std::pair<int, bool>{320, false}));
  EXPECT_EQ(GlobalApplication().SavedWidth, 320);
}

TEST_F(ShellRunTest, ThePlaceholderRunsUnattendedSavesItsTextAndQuitsOnEscape) {
  qv::test::TempDir dir;
  const auto shot = dir.Path() / "shot.png";
  setenv("QV_QUIT_AFTER_MS", "0", 1);
  setenv("QV_SCREENSHOT", shot.c_str(), 1);
  const qv::TGLWindowClass windowClass = qv::UnattendedOr(qv::PlaceholderWindowClass());
  unsetenv("QV_QUIT_AFTER_MS");
  unsetenv("QV_SCREENSHOT");
  EXPECT_EQ(GlobalApplication().Run(windowClass), 0);

  int w = 0, h = 0;
  const auto png = qv::test::ReadPng(shot, w, h);
  EXPECT_EQ(w, 320);
  EXPECT_EQ(h, 240);
  // The text is yellow on dark blue, on the middle row band; count its pixels per half.
  int textPixels = 0, textInMiddleBand = 0;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const unsigned char* p = png.data() + (static_cast<std::size_t>(y) * w + x) * 4;
      if (p[0] > 200 && p[1] > 150 && p[2] < 120) {
        ++textPixels;
        if (y > h / 2 - 30 && y < h / 2 + 10) ++textInMiddleBand;
      }
    }
  EXPECT_GT(textPixels, 300);
  EXPECT_EQ(textInMiddleBand, textPixels);
  EXPECT_EQ(log_.Messages().back(), "end program");
}

TEST_F(ShellRunTest, TheUnattendedRunHoldsEscapeForAFrameSoAPollingWindowSeesIt) {
  Script script;
  int downAt = 0, releasedAt = 0;  // frames
  script.draw = [&](int frame) {
    TGLApplication& app = GlobalApplication();
    if (frame == 1) app.OnKeyUp = [&](int key) { releasedAt = key == 27 ? script.frames : -1; };
    if (downAt == 0 && app.KeyDown(qv::kVkEscape)) {
      downAt = frame;
      app.Quit();
    }
    return frame < 1000;
  };
  setenv("QV_QUIT_AFTER_MS", "0", 1);
  const qv::TGLWindowClass windowClass = qv::UnattendedOr(ClassFor(script));
  unsetenv("QV_QUIT_AFTER_MS");
  EXPECT_EQ(GlobalApplication().Run(windowClass), 0);
  EXPECT_EQ(downAt, 2);  // pressed after frame 1, released after frame 2
  EXPECT_EQ(releasedAt, 2);
}

TEST_F(ShellRunTest, AnUnreadableQuitDelayIsRefusedByName) {
  setenv("QV_QUIT_AFTER_MS", "3s", 1);
  EXPECT_THROW(qv::UnattendedOr(qv::PlaceholderWindowClass()), std::invalid_argument);
  unsetenv("QV_QUIT_AFTER_MS");
  EXPECT_EQ(qv::UnattendedOr(qv::PlaceholderWindowClass()).name, "TPlaceholderWindow");
}

}  // namespace
