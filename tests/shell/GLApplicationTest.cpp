// The application's bookkeeping, without a window: resize and saved modes, the key range, the
// window procedure's table, the clock, the error box and the GL-error cap.
#include "shell/GLApplication.h"

#include <gtest/gtest.h>

#include <vector>

#include "game/AlarmDispatcher.h"
#include "platform/AssertionFailure.h"
#include "platform/Clock.h"
#include "platform/LogFile.h"
#include "platform/MessageBox.h"
#include "scene/CubeTexture.h"
#include "shell/StartUp.h"
#include "tests/support/ScopedLog.h"

namespace {

using qv::TGLApplication;
using qv::TMessage;
using qv::TMessageKind;

struct CountingWindow : qv::TGLWindow {
  using TGLWindow::TGLWindow;
  bool GLLoad() override { return true; }
  bool GLStore() override { return true; }
  void GLResize() override { ++resizes; }
  bool GLDraw() override { return true; }
  int resizes = 0;
};

using qv::test::BoxRecorder;
using qv::test::ScopedLog;

TEST(GLApplication, StartsWithTheDesignsInitialValues) {
  TGLApplication app;
  EXPECT_EQ(app.Title, "GLApplication");
  EXPECT_FALSE(app.Active);
  EXPECT_EQ(app.Bits, 32);
  EXPECT_FALSE(app.FullScreen);
  EXPECT_EQ(app.Width, 800);
  EXPECT_EQ(app.Height, 600);
  EXPECT_TRUE(app.CursorVisible);
  EXPECT_EQ(app.SavedWidth, 0);
  for (std::uint8_t state : app.KeyStates) EXPECT_EQ(state, 0);
}

TEST(GLApplication, ResizeNeverStoresZeroAndSavesOnlyTheWindowedMode) {
  TGLApplication app;
  auto window = std::make_unique<CountingWindow>(app);
  CountingWindow* counting = window.get();
  app.GameWindow = std::move(window);

  app.Resize(0, 0);  // minimising
  EXPECT_EQ(app.Width, 1);
  EXPECT_EQ(app.Height, 1);
  app.Resize(1024, 0);
  EXPECT_EQ(app.Width, 1024);
  EXPECT_EQ(app.Height, 1);
  app.Resize(640, 480);
  EXPECT_EQ(counting->resizes, 3);
  EXPECT_EQ(app.SavedWidth, 640);
  EXPECT_EQ(app.SavedHeight, 480);
  EXPECT_EQ(app.SavedBits, 32);

  // While full screen a size message must not overwrite the windowed mode to come back to.
  app.SetDisplayMode(1280, 1024, 16, true);
  EXPECT_TRUE(app.ModeChangePending);
  EXPECT_EQ(app.Width, 1280);
  EXPECT_EQ(app.Bits, 16);
  app.Resize(1280, 1024);
  EXPECT_EQ(app.SavedWidth, 640);
  EXPECT_EQ(app.SavedBits, 32);

  // Any zero among width, height and bits brings the saved mode back.
  app.ModeChangePending = false;
  app.SetDisplayMode(1280, 1024, 0, false);
  EXPECT_TRUE(app.ModeChangePending);
  EXPECT_FALSE(app.FullScreen);
  EXPECT_EQ(app.Width, 640);
  EXPECT_EQ(app.Height, 480);
  EXPECT_EQ(app.Bits, 32);
}

TEST(GLApplication, KeyDownAcceptsOneTo254AndFailsCleanlyOutside) {
  TGLApplication app;
  app.KeyStates[1] = 1;
  app.KeyStates[254] = 1;
  EXPECT_TRUE(app.KeyDown(1));
  EXPECT_TRUE(app.KeyDown(254));
  EXPECT_FALSE(app.KeyDown(27));
  for (int bad : {0, 255, -1, 256, 100000}) {
    try {
      app.KeyDown(bad);
      ADD_FAILURE() << bad << " was accepted";
    } catch (const qv::EAssertionFailed& e) {
      EXPECT_STREQ(e.what(), "Invalid Input Index");
    }
  }
}

TEST(GLApplication, WindowProcedureFollowsTheTable) {
  qv::DiscardMessages();
  TGLApplication app;
  std::vector<int> released;
  app.OnKeyUp = [&](int key) {
    // The state is already cleared when the callback runs.
    EXPECT_EQ(app.KeyStates[static_cast<std::size_t>(key)], 0);
    released.push_back(key);
  };
  EXPECT_EQ(app.WindowProc({TMessageKind::Move, -20, 35}), 0);
  EXPECT_EQ(app.WindowX, -20);
  EXPECT_EQ(app.WindowY, 35);
  app.WindowProc({TMessageKind::Size, 0, 300});
  EXPECT_EQ(app.Width, 1);
  EXPECT_EQ(app.Height, 300);
  // Between SetDisplayMode and the rebuild, size messages belong to the old window.
  app.SetDisplayMode(640, 480, 32, false);
  app.WindowProc({TMessageKind::Size, 1280, 1024});
  EXPECT_EQ(app.Width, 640);
  EXPECT_EQ(app.SavedWidth, 1);
  app.ModeChangePending = false;
  app.WindowProc({TMessageKind::Activate, 0, 0});
  EXPECT_TRUE(app.Active);
  app.WindowProc({TMessageKind::Activate, 1, 0});
  EXPECT_FALSE(app.Active);

  app.WindowProc({TMessageKind::KeyDown, 65, 0});
  app.WindowProc({TMessageKind::KeyDown, 27, 0});
  EXPECT_TRUE(app.KeyDown(65));
  app.WindowProc({TMessageKind::KeyUp, 65, 0});
  EXPECT_FALSE(app.KeyDown(65));
  EXPECT_TRUE(app.KeyDown(27));
  EXPECT_EQ(released, std::vector<int>{65});

  for (int button : {1, 2, 4}) {
    app.WindowProc({TMessageKind::ButtonDown, button, 0});
    EXPECT_TRUE(app.KeyDown(button)) << button;
    app.WindowProc({TMessageKind::ButtonUp, button, 0});
    EXPECT_FALSE(app.KeyDown(button)) << button;
  }
  EXPECT_EQ(released.size(), 1u);  // buttons are no key releases

  app.WindowProc({TMessageKind::MouseMove, 400, 300});
  EXPECT_EQ(app.MouseX, 400);
  EXPECT_EQ(app.MouseY, 300);
  app.WindowProc({TMessageKind::ScreenSave, 0, 0});
  app.WindowProc({TMessageKind::Other, 0, 0});

  // The close button posts the quit message with code 0.
  qv::TMessage message;
  EXPECT_FALSE(qv::PeekMessage(message));
  app.WindowProc({TMessageKind::Close, 0, 0});
  ASSERT_TRUE(qv::PeekMessage(message));
  EXPECT_EQ(message.kind, TMessageKind::Quit);
  EXPECT_EQ(message.a, 0);
}

class TimeMsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    qv::SetClockSource({[this] { return counter; }, [this] { return frequency; }});
  }
  void TearDown() override { qv::SetClockSource({}); }
  std::int64_t counter = 5000;
  std::int64_t frequency = 3;
};

TEST_F(TimeMsTest, CountsFromConstructionAndRoundsToNearest) {
  TGLApplication app;
  EXPECT_EQ(app.StartCounter, 5000);
  EXPECT_EQ(app.TimeMs(), 0);
  counter = 5001;  // 333.33 ms
  EXPECT_EQ(app.TimeMs(), 333);
  counter = 5002;  // 666.67 ms
  EXPECT_EQ(app.TimeMs(), 667);
  frequency = 8;
  counter = 5001;  // 125 ms exactly
  EXPECT_EQ(app.TimeMs(), 125);
  frequency = 16000;
  counter = 5001 + 16000;  // 1000.0625 ms
  EXPECT_EQ(app.TimeMs(), 1000);
  frequency = 2000;
  counter = 5001;  // 0.5 ms: a tie goes to the even neighbour, 0
  EXPECT_EQ(app.TimeMs(), 0);
  counter = 5003;  // 1.5 ms: tie, 2
  EXPECT_EQ(app.TimeMs(), 2);
  counter = 4999;  // the counter may sit before the start when a test sets it so: -0.5 -> 0
  EXPECT_EQ(app.TimeMs(), 0);
}

TEST_F(TimeMsTest, FrequencyZeroAndOverflow) {
  TGLApplication app;
  frequency = 0;
  counter = 5007;
  EXPECT_EQ(app.TimeMs(), 7000);
  counter = 5000 + INT64_MAX / 1000 + 1;  // the product no longer fits in 64 bits
  EXPECT_THROW(app.TimeMs(), std::overflow_error);
  frequency = 1000;
  counter = INT64_MIN;  // the difference no longer fits
  EXPECT_THROW(app.TimeMs(), std::overflow_error);
  // Large but representable: exact, no loss through floating point.
  counter = 5000 + (INT64_MAX / 1000);
  frequency = 1000;
  EXPECT_EQ(app.TimeMs(), INT64_MAX / 1000);
}

TEST_F(TimeMsTest, ANanosecondCounterRunsForCenturiesWithTheSameRounding) {
  constexpr std::int64_t kGHz = 1'000'000'000, kDay = 86'400 * kGHz;
  frequency = kGHz;
  TGLApplication app;
  const struct {
    std::int64_t ticks, ms;
  } cases[] = {
      {107 * kDay, 107 * 86'400'000LL},            // past the 106.75 days of a plain product
      {107 * kDay + 500'000, 107 * 86'400'000LL},  // a tie stays on the even millisecond
      {107 * kDay + 1'500'000, 107 * 86'400'000LL + 2},
      {107 * kDay + 1'499'999, 107 * 86'400'000LL + 1},
      {-107 * kDay - 2'500'000, -107 * 86'400'000LL - 2},
      {INT64_MAX - 5000, (INT64_MAX - 5000) / 1'000'000 + 1},  // 292 years, rounded up
  };
  for (const auto& c : cases) {
    counter = 5000 + c.ticks;
    EXPECT_EQ(app.TimeMs(), c.ms) << c.ticks;
  }
}

TEST(GLApplication, ErrorBoxAppendsAFullStopOnlyAfterCharactersSortingAfterIt) {
  EXPECT_EQ(TGLApplication::ErrorText("Window creation error"), "Window creation error.");
  EXPECT_EQ(TGLApplication::ErrorText("code 42"), "code 42.");
  EXPECT_EQ(TGLApplication::ErrorText("Window creation error."), "Window creation error.");
  EXPECT_EQ(TGLApplication::ErrorText("Stop!"), "Stop!");  // "!" sorts before "."
  EXPECT_EQ(TGLApplication::ErrorText("(see log)"), "(see log)");
  EXPECT_EQ(TGLApplication::ErrorText("path/"), "path/.");              // "/" sorts after "."
  EXPECT_EQ(TGLApplication::ErrorText("caf\xC3\xA9"), "caf\xC3\xA9.");  // bytes compare unsigned
  EXPECT_EQ(TGLApplication::ErrorText(""), "");

  BoxRecorder recorder;
  TGLApplication app;
  app.ShowError(std::runtime_error("GlWindowClass.GLLoad failed"));
  app.ShowError(std::runtime_error(""));
  EXPECT_EQ(recorder.texts,
            (std::vector<std::string>{"Error|GlWindowClass.GLLoad failed.", "Error|"}));
}

TEST(GLApplication, GLErrorsAreLoggedNineteenAtATime) {
  ScopedLog log;
  int pending = 10;
  const auto source = [&]() -> unsigned {
    if (pending == 0) return 0;  // GL_NO_ERROR
    --pending;
    return 0x0500;  // GL_INVALID_ENUM
  };
  TGLApplication::LogGLErrors(source);
  EXPECT_EQ(pending, 0);
  auto messages = log.Messages();
  ASSERT_EQ(messages.size(), 1u + 10u);
  EXPECT_EQ(messages[1], "invalid enumerant");

  pending = 30;
  TGLApplication::LogGLErrors(source);
  EXPECT_EQ(pending, 11);  // the rest stay for the next frame
  EXPECT_EQ(log.Messages().size(), 1u + 10u + 19u);
  TGLApplication::LogGLErrors(source);
  EXPECT_EQ(pending, 0);
  EXPECT_EQ(log.Messages().size(), 1u + 10u + 19u + 11u);

  pending = 1;
  TGLApplication::LogGLErrors([&]() -> unsigned { return pending-- > 0 ? 0x1234 : 0; });
  EXPECT_EQ(log.Messages().back(), "unknown GL error 0x1234");
}

TEST(GLApplication, RunWithoutAWindowClassFailsWithTheErrorBox) {
  ScopedLog log;
  BoxRecorder recorder;
  TGLApplication app;
  EXPECT_EQ(app.Run({}), 1);
  EXPECT_EQ(recorder.texts, std::vector<std::string>{"Error|no GLWindow class defined."});
  const auto messages = log.Messages();
  ASSERT_GE(messages.size(), 2u);
  EXPECT_EQ(messages[1], "no GLWindow class defined");
}

TEST(GLApplication, CursorVisibilityIsOnlyPassedOnWhenItChanges) {
  TGLApplication app;
  app.SetCursorVisible(true);
  EXPECT_TRUE(app.CursorVisible);
  app.SetCursorVisible(false);
  EXPECT_FALSE(app.CursorVisible);
  app.SetMousePos({12, 34});  // no window: only the stored position changes
  EXPECT_EQ(app.MouseX, 12);
  EXPECT_EQ(app.MouseY, 34);
}

}  // namespace

namespace {

// Alarms and cube-map faces live below the shell; start-up connects them to the global
// application's clock and viewport, so a game alarm is due on the application's clock.
TEST(GlobalApplication, AlarmsRunOnTheApplicationsClock) {
  qv::StartUp();
  qv::TGLApplication& application = qv::GlobalApplication();
  qv::TAlarmDispatcher& alarms = qv::GlobalAlarmDispatcher();
  bool fired = false;
  alarms.AddIn([&fired] { fired = true; }, 0);
  alarms.FireDue(application.TimeMs() - 1000);
  EXPECT_FALSE(fired) << "an alarm due now must not fire a second before";
  alarms.FireDue(application.TimeMs() + 1);
  EXPECT_TRUE(fired);
  EXPECT_TRUE(static_cast<bool>(qv::ViewportHooks().SetViewport));
  EXPECT_TRUE(static_cast<bool>(qv::ViewportHooks().ResetViewport));
}

}  // namespace
