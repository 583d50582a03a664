// The game window on the demo data with a real context (under Xvfb) and a clock the test drives:
// the start level, the overlay, the key commands and the rebuild after a display-mode change.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "assets/DemoLevels.h"
#include "assets/DemoParts.h"
#include "assets/DemoShapes.h"
#include "game/AlarmDispatcher.h"
#include "platform/Clock.h"
#include "platform/EGL.h"
#include "platform/Keys.h"
#include "scene/Camera.h"
#include "shell/GLApplication.h"
#include "shell/MyGLWindow.h"
#include "tests/support/GLTestContext.h"
#include "tests/support/ScopedLog.h"
#include "tests/support/TempDir.h"

namespace {

namespace fs = std::filesystem;
using qv::TMyGLWindow;

const fs::path kDemoSettings = fs::path(QV_BUILD_DIR) / "quorvantille.ini";

// The demo settings with some lines replaced (or added at the end of their section).
fs::path SettingsWith(const qv::test::TempDir& dir, const std::vector<std::string>& levels,
                      const std::string& keys = "") {
  std::ofstream out(dir.Path() / "settings.ini");
  out << "[Window]\nWidth=800\nHeight=600\nBits=32\nMouseCapture=1\n[GL]\nDisplayLists=1\n"
      << "[Keys]\n"
      << keys << "\n[Levels]\n";
  for (std::size_t i = 0; i < levels.size(); ++i) out << "l" << i << "=" << levels[i] << "\n";
  return dir.Path() / "settings.ini";
}

// Replaces the counter behind TimeMs before the application reads its start count.
struct HandClock {
  HandClock() {
    qv::SetClockSource({[this] { return now; }, [] { return std::int64_t{1000}; }});
  }
  ~HandClock() { qv::SetClockSource({}); }
  std::int64_t now = 1;  // milliseconds
};

class GameWindowTest : public ::testing::Test {
 protected:
  void Start(const fs::path& settings = kDemoSettings) {
    app_.Width = 800;
    app_.Height = 600;
    qv::GlobalAlarmDispatcher().SetClock([this] { return app_.TimeMs(); });
    window_ = std::make_unique<TMyGLWindow>(app_, settings);
    window_->GLLoad();
    window_->GLResize();
  }
  void Frame(std::int64_t ms = 16) {
    clock_.now += ms;
    window_->GLDraw();
  }
  std::string StateLine() const { return window_->Overlay().back().text; }
  std::string LastMessage() const {
    const qv::TAlzheimerStringList& m = window_->GetMessages();
    return m.Count() ? m.Get(m.Count() - 1) : "<none>";
  }
  bool LogHas(const std::string& line) const {
    const auto lines = log_.Messages();
    return std::find(lines.begin(), lines.end(), line) != lines.end();
  }

  HandClock clock_;
  qv::test::ScopedLog log_;
  qv::test::GLTestContext gl_{800, 600};
  qv::TGLApplication app_;
  std::unique_ptr<TMyGLWindow> window_;  // goes before the context
};

TEST_F(GameWindowTest, TheStartLevelLoadsAndTheStateLineSaysNothingToDo) {
  Start();
  Frame();
  EXPECT_EQ(window_->CurrentLevel(), 2);
  EXPECT_TRUE(LogHas("trying to load level:2"));
  EXPECT_TRUE(LogHas("  world.created anew, loading level:2"));
  EXPECT_TRUE(LogHas("Font Nr " + std::to_string(window_->GetFontBase())));
  const qv::TOverlayLine& state = window_->Overlay().back();
  EXPECT_EQ(state.text, "   ...nothing to do");
  EXPECT_EQ(state.x, 550);
  EXPECT_EQ(state.y, 575);
  EXPECT_EQ(state.color, (qv::TColor{1, 1, 1, 1}));
  // The scene is drawn: far more than the clear colour and the text.
  const auto rgba = qv::test::ReadPixels(gl_);
  int sky = 0;
  for (std::size_t i = 0; i < rgba.size(); i += 4) sky += rgba[i + 2] > rgba[i] + 30;
  EXPECT_GT(sky, 10000);
}

TEST_F(GameWindowTest, EnterMakesThePlayerSeekAndSpaceEndsTheGame) {
  Start();
  window_->KeyUp(qv::kVkSpace);  // no game: nothing
  EXPECT_EQ(window_->GetMessages().Count(), 0);
  window_->KeyUp(qv::kVkReturn);
  Frame();
  EXPECT_EQ(StateLine(), "    YOU'RE SEEKING");
  EXPECT_EQ(window_->GetMessages().Get(1), "      You're The Seeker now.");
  EXPECT_TRUE(LogHas("player starts seeking"));
  qv::TGhostObjects& ghosts = window_->GetWorld()->GetGhosts();
  int searchGhosts = 0;
  for (int i = 0; i < ghosts.GhostCount(); ++i) {
    if (!qv::TGhostObjects::IsSearchGhost(ghosts.GhostAt(i))) continue;
    ++searchGhosts;
    EXPECT_EQ(ghosts.GhostAt(i).State(), 2) << ghosts.GhostAt(i).Name;
  }
  EXPECT_GE(searchGhosts, 3);
  window_->KeyUp(qv::kVkSpace);
  Frame();
  EXPECT_EQ(StateLine(), "   ...nothing to do");
  EXPECT_EQ(window_->GetMessages().Get(4), "      The Seeker is tired of seeking.");
  EXPECT_TRUE(LogHas("reset seek game"));
}

TEST_F(GameWindowTest, EachToggleKeyFlipsItsGLStateAndReportsTheNewState) {
  Start();
  const auto polygonLine = [] {
    GLint mode[2];
    glGetIntegerv(GL_POLYGON_MODE, mode);
    return mode[0] == GL_LINE && mode[1] == GL_LINE;
  };
  const auto separate = [] {
    GLint control = 0;
    glGetIntegerv(GL_LIGHT_MODEL_COLOR_CONTROL, &control);
    return control == GL_SEPARATE_SPECULAR_COLOR;
  };
  const auto enabled = [](GLenum cap) { return [cap] { return glIsEnabled(cap) == GL_TRUE; }; };
  struct Row {
    char key;
    std::function<bool()> on;
    const char* onMessage;
    const char* offMessage;
  };
  const std::vector<Row> rows = {
      {'F', enabled(GL_FOG), "Fog enabled", "Fog disabled"},
      {'L', enabled(GL_LIGHTING), "Lighting enabled", "Lighting disabled"},
      {'X', polygonLine, "Displaying WireFrame", "Displaying Filled Polygons"},
      {'H', enabled(GL_ALPHA_TEST), "AlphaTesting enabled", "AlphaTesting disabled"},
      {'T', enabled(GL_TEXTURE_2D), "Texturing enabled", "Texturing disabled"},
      {'B', enabled(GL_BLEND), "Blending enabled", "Blending disabled"},
      {'P', separate, "SeparateSpeculareColor enabled", "SeparateSpeculareColor disabled"},
  };
  for (const Row& row : rows) {
    for (int press = 0; press < 2; ++press) {
      const bool before = row.on();
      window_->KeyUp(row.key);
      EXPECT_EQ(row.on(), !before) << row.key;
      EXPECT_EQ(LastMessage(), before ? row.offMessage : row.onMessage) << row.key;
    }
  }
  // The far plane follows the fog: the level's fog end while on, 20000 while off.
  window_->KeyUp('F');
  EXPECT_FLOAT_EQ(qv::GlobalCamera().ZFar(), 20000.0f);
  window_->KeyUp('F');
  EXPECT_FLOAT_EQ(qv::GlobalCamera().ZFar(), window_->GetWorld()->FogEnd);

  const bool lists = window_->GetWorld()->UsesDisplayLists();
  window_->KeyUp('K');
  EXPECT_NE(window_->GetWorld()->UsesDisplayLists(), lists);
  EXPECT_EQ(LastMessage(), lists ? "Using VertexArrays only" : "Using DisplayLists");
  window_->KeyUp('M');
  EXPECT_FALSE(window_->GetStates().MouseCapture);
  EXPECT_TRUE(app_.CursorVisible);
  EXPECT_EQ(LastMessage(), "MouseCapture off");
  window_->KeyUp('I');
  Frame();
  EXPECT_EQ(window_->Overlay().front().text.rfind("800x600", 0), std::string::npos);
  window_->KeyUp('X');
  window_->KeyUp('Q');
  EXPECT_EQ(LastMessage(), "Set to HighestQuality");
  EXPECT_FALSE(polygonLine());
  EXPECT_TRUE(glIsEnabled(GL_FOG) && glIsEnabled(GL_LIGHTING) && glIsEnabled(GL_BLEND));
}

// A level of its own: a floor and a dark plain wall (drawn, never collided with) across z = 0.
void WriteWallLevel(const fs::path& dir) {
  using namespace qv::assets;
  TDemoModel model;
  model.Materials = {MakeMaterial("Floor", 0.4f, 0.6f, 0.3f),
                     MakeMaterial("Wall", 0.2f, 0.1f, 0.1f)};
  TMeshBuilder floor("terFloor");
  AddHeightfield(
      floor, -30, -30, 30, 30, 6, 6, [](float, float) { return 0.0f; }, "Floor", 0.1f);
  model.Meshes.push_back(floor.Finish());
  TMeshBuilder wall("Wall");
  AddPanel(wall, 30, 0, -30, 0, 0, 30, "Wall", 0.1f);  // facing +z
  model.Meshes.push_back(wall.Finish());
  TDemoFiles files;
  files.AddModel("Objects.3DS", model);
  files.AddText("Level.ini", "[Player]\nStartingypos=1\nStartingzpos=5\n");
  for (const TDemoFile& file : files.Take())
    std::ofstream(dir / file.Path, std::ios::binary)
        .write(reinterpret_cast<const char*>(file.Bytes.data()),
               static_cast<std::streamsize>(file.Bytes.size()));
}

// The text is drawn over everything: with a wall nearer to the eye than the text's own depth,
// the game-state line stays white.
TEST_F(GameWindowTest, TheOverlayStaysWhiteWithAWallAtTheEye) {
  qv::test::TempDir dir;
  WriteWallLevel(dir.Path());
  const std::string level = dir.Path().string() + "/";
  Start(SettingsWith(dir, {level, level, level}));
  Frame();
  qv::TPlayerObject& player = window_->GetWorld()->GetPlayer();
  // The near plane is the player's front reach: the wall at 1.2 times that is nearer than the
  // text (depth 0.5) by far.
  player.PlaceAt({0, player.Position().y, 1.2f * player.FrontReach()});
  Frame();
  float depth = 1;
  glReadPixels(400, 300, 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT, &depth);
  ASSERT_LT(depth, 0.4f) << "the wall is not at the eye";
  const auto rgba = qv::test::ReadPixels(gl_);
  int white = 0;
  for (int y = 575; y < 600; ++y)
    for (int x = 550; x < 800; ++x) {
      const auto p = qv::test::PixelAt(rgba, gl_.Width(), x, y);
      white += p[0] == 255 && p[1] == 255 && p[2] == 255;
    }
  EXPECT_GT(white, 100) << "the game-state line is hidden";
}

TEST_F(GameWindowTest, F1ShowsTheTwentyHelpLinesWithTheConfiguredKeys) {
  qv::test::TempDir dir;
  Start(SettingsWith(dir, {"levels\\Meadow", "levels\\Tiny", "levels\\Showcase"},
                     "FogKey=G\nBlendKey=5\nWireFrameKey=X\nFrameInfoKey=J\nMouseCaptureKey=K\n"
                     "ForwardKey=W\nCrouchKey=C\n[Mouse]\nSensitivity=2.5\nInvertY=1"));
  window_->GetMessages().Add("an older line");
  window_->KeyUp(qv::kVkF1);
  const qv::TAlzheimerStringList& m = window_->GetMessages();
  ASSERT_EQ(m.Count(), 20);
  EXPECT_EQ(m.Get(0), "Quorvantille - Keys:");
  EXPECT_EQ(m.Get(9), "Number Keys....switch level   Q..............highest quality");
  EXPECT_EQ(m.Get(12), "K...MouseCapture");
  EXPECT_EQ(m.Get(13), "D...DisplayLists    G...Fog            S...SeparateSpecColor");
  EXPECT_EQ(m.Get(14), "5...Blending        L...Lighting       A...AlphaTest");
  EXPECT_EQ(m.Get(15), "X...WireFrame       T...Textures       J...FrameInfo");
  EXPECT_EQ(m.Get(17), "Move: W...forward C...crouch");
  EXPECT_EQ(m.Get(18), "Mouse: sensitivity 2.5, inverted");
  EXPECT_EQ(m.Get(19).substr(0, 11), "          (");
  // A toggle key on a digit takes the digit from the level switch.
  window_->KeyUp('5');
  EXPECT_EQ(window_->CurrentLevel(), 2);
  EXPECT_EQ(LastMessage(), "Blending disabled");
}

TEST_F(GameWindowTest, TheMouseSettingsScaleAndInvertTheTurn) {
  qv::test::TempDir dir;
  Start(SettingsWith(dir, {"levels\\Meadow", "levels\\Tiny", "levels\\Showcase"},
                     "[Mouse]\nSensitivity=0.5\nInvertY=1"));
  Frame();
  const qv::TPlayerObject& player = window_->GetWorld()->GetPlayer();
  const float heading = player.Heading(), tilt = player.Tilt();
  app_.MouseX += 80;  // plain steering: -80 degrees of heading
  app_.MouseY += 30;  // plain steering: -9 degrees of tilt
  Frame();
  Frame();  // the next step commits what the input asked for
  EXPECT_FLOAT_EQ(player.Heading() - heading, -40);
  EXPECT_FLOAT_EQ(player.Tilt() - tilt, 4.5f);
}

TEST_F(GameWindowTest, RResetsThePlayerUnlessAToggleTakesTheKey) {
  Start();
  window_->KeyUp('R');
  EXPECT_EQ(window_->GetWorld()->GetPlayer().Position(), (qv::TVector{0, 0, 0}));
  EXPECT_EQ(LastMessage(), "Reset to position(0,0,0)");

  window_.reset();
  qv::test::TempDir dir;
  Start(SettingsWith(dir, {"levels\\Meadow", "levels\\Tiny", "levels\\Showcase"}, "LightKey=R"));
  const qv::TVector start = window_->GetWorld()->GetPlayer().Position();
  window_->KeyUp('R');
  EXPECT_EQ(window_->GetWorld()->GetPlayer().Position(), start);
  EXPECT_EQ(LastMessage(), "Lighting disabled");
}

TEST_F(GameWindowTest, ADigitSwitchesLevelAndRebuildsTheGLResourcesAndAMissingLevelDoesNothing) {
  Start();
  const qv::TWorld* showcase = window_->GetWorld();
  window_->KeyUp('9');
  EXPECT_EQ(window_->GetWorld(), showcase);
  EXPECT_FALSE(LogHas("trying to load level:9"));
  window_->KeyUp('1');
  EXPECT_EQ(window_->CurrentLevel(), 1);
  EXPECT_EQ(window_->GetWorld()->GetGhosts().GhostCount(), 0);
  const auto lines = log_.Messages();
  const auto deleted = std::find_if(lines.begin(), lines.end(), [](const std::string& l) {
    return l.find(" deleted") != std::string::npos;
  });
  ASSERT_NE(deleted, lines.end()) << "the old font is freed before the new one is built";
  EXPECT_NE(std::find(deleted, lines.end(), "Font Nr " + std::to_string(window_->GetFontBase())),
            lines.end());
  Frame();
  EXPECT_TRUE(glIsList(static_cast<GLuint>(window_->GetFontBase()) + 'A'));
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(GameWindowTest, MessageLinesStackDownFromTheTopAndPileUpOnRowZero) {
  Start();
  app_.Height = 200;
  for (int i = 0; i < 10; ++i) window_->GetMessages().Add("line " + std::to_string(i));
  Frame();
  std::vector<int> rows;
  for (const qv::TOverlayLine& line : window_->Overlay())
    if (line.text.rfind("line ", 0) == 0) rows.push_back(line.y);
  EXPECT_EQ(rows, (std::vector<int>{175, 150, 125, 100, 75, 50, 25, 0, 0, 0}));
}

TEST_F(GameWindowTest, TheFrameLineRoundsTiesToEvenAndIsLeftOutForAZeroFrame) {
  Start();
  Frame(0);
  EXPECT_EQ(window_->Overlay().size(), 1u);  // the state line only
  Frame(16);                                 // 62.5 frames per second
  EXPECT_EQ(window_->Overlay().front().text, "800x600 @ 62 FPS");
  EXPECT_EQ(window_->Overlay().front().x, 5);
  app_.Width = 200;
  app_.Height = 20;
  Frame(5);
  EXPECT_EQ(window_->Overlay().back().x, 0);
  EXPECT_EQ(window_->Overlay().back().y, 0);
}

TEST_F(GameWindowTest, HeldArrowsWalkAndTheMouseTurnsAndTiltsWithinItsLimits) {
  Start();
  qv::TPlayerObject& player = window_->GetWorld()->GetPlayer();
  const qv::TVector start = player.Position();
  app_.KeyStates[qv::kVkUp] = app_.KeyStates[qv::kVkLeft] = 1;
  for (int frame = 0; frame < 10; ++frame) Frame(40);
  // Heading 0 looks along -z; left is -x. Two units per game second, a fifth of a second each.
  EXPECT_LT(player.Position().z, start.z - 3);
  EXPECT_LT(player.Position().x, start.x - 1.5f);

  app_.KeyStates[qv::kVkUp] = app_.KeyStates[qv::kVkLeft] = 0;
  app_.MouseX = 400 + 100;  // an eighth of the width to the right
  app_.MouseY = 300 - 290;  // far up: beyond the tilt limit
  Frame();
  Frame();  // the next step commits what the input asked for
  EXPECT_FLOAT_EQ(player.Heading(), -100);
  EXPECT_FLOAT_EQ(player.Tilt(), 60);
  // Capture pulled the cursor back to the centre without a turn.
  EXPECT_EQ(app_.MouseX, 400);
  EXPECT_EQ(app_.MouseY, 300);
}

TEST_F(GameWindowTest, WithoutItsStartLevelTheGameEndsSayingWhatIsMissing) {
  qv::test::TempDir dir;
  app_.Width = 800;
  app_.Height = 600;
  const fs::path twoLevels = SettingsWith(dir, {"levels\\Meadow", "levels\\Tiny"});
  try {
    TMyGLWindow window(app_, twoLevels);
    ADD_FAILURE() << "no error";
  } catch (const qv::EGL& error) {
    EXPECT_NE(std::string(error.what()).find(twoLevels.string() + "\" lists 2 level"),
              std::string::npos)
        << error.what();
  }
  EXPECT_FALSE(app_.OnKeyUp) << "the key-up callback points at the window that failed";
  const fs::path noLevelFile = SettingsWith(dir, {"a", "b", dir.Path().string() + "/"});
  EXPECT_THROW(
      {
        try {
          TMyGLWindow window(app_, noLevelFile);
        } catch (const qv::EGL& error) {
          EXPECT_NE(std::string(error.what()).find("holds no \"Level.ini\""), std::string::npos);
          throw;
        }
      },
      qv::EGL);
}

// F2 through the real main loop: window and context are made anew and the game's GL resources
// with them, so the frame after the switch shows the same picture as the one before.
class SwitchingWindow : public TMyGLWindow {
 public:
  SwitchingWindow(qv::TGLApplication& app, const fs::path& settings,
                  std::vector<std::vector<std::uint8_t>>& frames)
      : TMyGLWindow(app, settings), frames_(frames) {}
  bool GLDraw() override {
    TMyGLWindow::GLDraw();
    std::vector<std::uint8_t> rgba(static_cast<std::size_t>(App().Width) * App().Height * 4);
    glReadPixels(0, 0, App().Width, App().Height, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    frames_.push_back(std::move(rgba));
    if (frames_.size() == 1) KeyUp(qv::kVkF2);  // to full screen (or windowed, if refused)
    if (frames_.size() == 2) App().Quit();
    return true;
  }

 private:
  std::vector<std::vector<std::uint8_t>>& frames_;
};

TEST(GameWindowRebuildTest, F2RebuildsWindowAndContextWithEveryTextureAndList) {
  HandClock clock;  // standing still: every frame shows the same moment
  qv::test::ScopedLog log;
  qv::TGLApplication app;
  app.Width = 320;
  app.Height = 240;
  qv::GlobalAlarmDispatcher().SetClock([&app] { return app.TimeMs(); });
  qv::test::TempDir dir;
  std::ofstream(dir.Path() / "switch.ini")
      << "[Window]\nWidth=320\nHeight=240\nBits=32\n[Levels]\na=levels\\Meadow\nb=levels\\Tiny\n"
      << "c=levels\\Showcase\n";
  const fs::path settings = dir.Path() / "switch.ini";
  std::vector<std::vector<std::uint8_t>> frames;
  const qv::TGLWindowClass windowClass{
      "TSwitchingWindow", [&](qv::TGLApplication& a) -> std::unique_ptr<qv::TGLWindow> {
        return std::make_unique<SwitchingWindow>(a, settings, frames);
      }};
  ASSERT_EQ(app.Run(windowClass), 0);
  ASSERT_EQ(frames.size(), 2u);
  const auto lines = log.Messages();
  EXPECT_EQ(std::count(lines.begin(), lines.end(), "CreateGLWindow done"), 2);
  EXPECT_EQ(std::count(lines.begin(), lines.end(), "modeswitch"), 1);
  ASSERT_EQ(frames[0].size(), frames[1].size());
  std::size_t same = 0;
  for (std::size_t i = 0; i < frames[0].size(); ++i)
    same += std::abs(int(frames[0][i]) - int(frames[1][i])) <= 8;
  EXPECT_GT(same, frames[0].size() * 99 / 100);
}

}  // namespace
