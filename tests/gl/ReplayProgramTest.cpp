// The real quorvantille program with its options, on a level made here with the .3ds writer: a
// hand-written input file plays a short game of hide-and-seek, replays repeat it byte for byte,
// F12 saves numbered screenshots, bad input and bad options fail as documented, and a game
// recorded from real X input (xdotool) replays to the same trace.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "assets/DemoLevels.h"
#include "assets/DemoParts.h"
#include "assets/DemoShapes.h"
#include "platform/IniFile.h"
#include "tests/support/GLTestContext.h"
#include "tests/support/TempDir.h"

namespace {

namespace fs = std::filesystem;
using namespace qv::assets;

const fs::path kProgram = fs::path(QV_BUILD_DIR) / "quorvantille";
const fs::path kWrittenSettings = fs::path(QV_BUILD_DIR) / "quorvantille.ini";

std::string ReadText(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

std::vector<std::string> Lines(const fs::path& path) {
  std::vector<std::string> lines;
  std::ifstream in(path);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// The value after "key": in one trace line, up to the next comma or bracket.
std::string Field(const std::string& line, const std::string& key, std::size_t from = 0) {
  const std::size_t at = line.find("\"" + key + "\":", from);
  if (at == std::string::npos) return "<missing>";
  const std::size_t start = at + key.size() + 3;
  return line.substr(start, line.find_first_of(",]}", start) - start);
}
// The position [x, y, z] of the actor with this name.
std::array<float, 3> ActorPos(const std::string& line, const std::string& actor) {
  std::array<float, 3> p{};
  const std::size_t at = line.find("\"pos\":[", line.find("{\"name\":\"" + actor + "\""));
  if (at == std::string::npos ||
      std::sscanf(line.c_str() + at + 7, "%f,%f,%f", &p[0], &p[1], &p[2]) != 3)
    ADD_FAILURE() << "no position of " << actor << " in " << line;
  return p;
}
// The field of the actor with this name.
std::string ActorField(const std::string& line, const std::string& actor, const std::string& key) {
  return Field(line, key, line.find("{\"name\":\"" + actor + "\""));
}

struct Outcome {
  int exitCode = -1;
  std::string out, err;
};

// A game folder: the program (a link, so it reads the settings beside it), settings whose levels
// 0 to 2 are all one small level - a flat floor, the player at z 10 facing the search ghost
// "Shy" at z 4 - and the shared player model.
class ReplayProgramTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!fs::exists(kProgram)) GTEST_FAIL() << "build the quorvantille target first";
    std::error_code linked;
    fs::create_hard_link(kProgram, dir_.Path() / "quorvantille", linked);
    if (linked) fs::copy_file(kProgram, dir_.Path() / "quorvantille");
    WriteLevel("");
  }

  // `keys`: the fog key ("" F); with `writtenKeys`, the [Keys] of the settings the build writes
  // instead. `fullWidth`: the full-screen width F2 asks for.
  void WriteLevel(const std::string& keys, bool writtenKeys = false, int fullWidth = 800) {
    TDemoFiles files;
    TIniText settings;
    settings.Section("Window").Key("Width", fullWidth).Key("Height", 600).Key("MouseCapture", 0);
    settings.Section("Keys");
    if (writtenKeys) {
      for (const auto& [key, value] : qv::TIniFile(kWrittenSettings).SectionValues("Keys"))
        settings.Key(key, value);
    } else {
      settings.Key("FogKey", keys.empty() ? "F" : keys.c_str());
    }
    settings.Section("Levels")
        .Key("a", "levels\\T\\")
        .Key("b", "levels\\T\\")
        .Key("c", "levels\\T\\");
    files.AddText("quorvantille.ini", settings.Text());
    files.AddModel("objects/Player.3ds", PlayerModel());
    TDemoModel floor;
    floor.Materials = {MakeMaterial("Floor", 0.4f, 0.6f, 0.3f)};
    TMeshBuilder ground("terFloor");
    AddHeightfield(
        ground, -30, -30, 30, 30, 6, 6, [](float, float) { return 0.0f; }, "Floor", 0.1f);
    floor.Meshes.push_back(ground.Finish());
    files.AddModel("levels/T/Objects.3DS", floor);
    files.AddModel("levels/T/Lantern.3ds", LanternModel());
    TIniText level;
    level.Section("Player").Key("Startingypos", 6.0f).Key("Startingzpos", 10.0f);
    level.Section("Shy")
        .Key("filename", "Lantern.3ds")
        .Key("classname", "TSearchGhostObject")
        .Key("Initialypos", 4.0f)
        .Key("Initialzpos", 4.0f)
        .Key("UnitsPerSec", 0.01f);
    files.AddText("levels/T/Level.ini", level.Text());
    for (const TDemoFile& file : files.Take()) {
      fs::create_directories((dir_.Path() / file.Path).parent_path());
      std::ofstream(dir_.Path() / file.Path, std::ios::binary)
          .write(reinterpret_cast<const char*>(file.Bytes.data()),
                 static_cast<std::streamsize>(file.Bytes.size()));
    }
  }

  // With a script, the program runs on a display of its own, so no other test's window can take
  // the keyboard focus from it; should its keys still go astray, it is closed after 30 s.
  Outcome Start(const std::string& args, const std::string& script = "") {
    const std::string start =
        "QV_NO_DIALOGS=1 ./quorvantille " + args + " >out.txt 2>err.txt & pid=$!; ";
    std::string command = "cd '" + dir_.Path().string() + "' || exit 99; ";
    if (script.empty()) {
      command += start + "wait $pid";
    } else {
      std::ofstream(dir_.Path() / "run.sh")
          << start << "(sleep 30; kill -TERM $pid 2>/dev/null) & guard=$!\n"
          << script << "\nwait $pid; code=$?; kill $guard 2>/dev/null; exit $code\n";
      command += "QV_FORCE_XVFB=1 '" QV_SOURCE_DIR "/scripts/with-xvfb.sh' sh run.sh";
    }
    const int status = std::system(command.c_str());
    Outcome run;
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.out = ReadText(dir_.Path() / "out.txt");
    run.err = ReadText(dir_.Path() / "err.txt");
    return run;
  }

  void WriteInput(const std::string& name, const std::string& text) {
    std::ofstream(dir_.Path() / name) << text;
  }

  fs::path P(const std::string& name) const { return dir_.Path() / name; }

  qv::test::TempDir dir_;
};

std::string Frames(int count, int ms) {
  std::string text;
  for (int i = 0; i < count; ++i) text += "frame " + std::to_string(ms) + "\n";
  return text;
}

// Past the level's first reset (1 s), Enter; then the walk to the ghost, which it finds; a shot
// of the last frame; F12 twice.
std::string HideAndSeekInput() {
  return std::string("quorvantille-input 1\n# the hand-written game\nseed 7\n") + Frames(70, 16) +
         "key down 13\nkey up 13   # Enter: the player seeks\n" + Frames(5, 16) + "key down 38\n" +
         Frames(60, 17) + "key up 38\n" + Frames(80, 16) + "shot last.png\nkey up 123\n" +
         Frames(2, 16) + "key up 123\n" + Frames(2, 16);
}

TEST_F(ReplayProgramTest, AHandWrittenGameWalksFindsTheGhostAndEveryoneIsFreeASecondLater) {
  WriteInput("game.txt", HideAndSeekInput());
  const Outcome run = Start("--replay game.txt --trace trace.jsonl");
  ASSERT_EQ(run.exitCode, 0) << run.err;
  const std::vector<std::string> trace = Lines(P("trace.jsonl"));
  ASSERT_EQ(trace.size(), 219u);
  EXPECT_EQ(Field(trace[0], "frame"), "1");
  EXPECT_EQ(Field(trace[0], "time_ms"), "16");
  EXPECT_EQ(Field(trace[0], "level"), "2");
  EXPECT_EQ(Field(trace[69], "game"), "\"none\"");
  EXPECT_EQ(Field(trace[70], "game"), "\"player\"");
  EXPECT_EQ(Field(trace[70], "seeker"), "\"Player\"");
  EXPECT_EQ(Field(trace[70], "state_line"), "\"    YOU'RE SEEKING\"");
  EXPECT_NE(trace[71].find("\"messages\":[\"\",\"      You're The Seeker now.\",\"\"]"),
            std::string::npos);
  EXPECT_EQ(ActorField(trace[70], "Player", "state"), "0");
  EXPECT_EQ(ActorField(trace[70], "Shy", "state"), "2");
  EXPECT_EQ(ActorField(trace[70], "Shy", "class"), "\"TSearchGhostObject\"");

  // The walk: z falls while the arrow is held, until the touch.
  std::size_t found = 0;
  float lastZ = 1e9f;
  for (std::size_t i = 75; i < trace.size() && !found; ++i) {
    const std::size_t pos = trace[i].find("\"pos\":[");  // the player's, the first actor
    const std::size_t end = trace[i].find(']', pos);
    const float z = std::stof(trace[i].substr(trace[i].rfind(',', end) + 1));
    if (ActorField(trace[i], "Shy", "state") == "4") found = i;
    // The touching frame itself may end a hair back: the player stops at the ghost's face.
    if (i > 76 && !found) {
      EXPECT_LT(z, lastZ) << "frame " << i + 1;
    }
    lastZ = z;
  }
  ASSERT_NE(found, 0u) << "the ghost was never found";
  EXPECT_LT(lastZ, 6.5f);
  const long foundAt = std::stol(Field(trace[found], "time_ms"));
  for (std::size_t i = found; i < trace.size(); ++i) {
    const long t = std::stol(Field(trace[i], "time_ms"));
    const bool free = Field(trace[i], "game") == "\"none\"" &&
                      ActorField(trace[i], "Player", "state") == "1" &&
                      ActorField(trace[i], "Shy", "state") == "1";
    EXPECT_EQ(free, t >= foundAt + 1000) << "frame " << i + 1;
  }

  // F12 twice: numbered files, each announced in the messages of the frames that follow.
  EXPECT_TRUE(fs::exists(P("last.png")));
  EXPECT_TRUE(fs::exists(P("screenshot-0001.png")));
  EXPECT_TRUE(fs::exists(P("screenshot-0002.png")));
  EXPECT_NE(trace.back().find("\"Screenshot saved: screenshot-0001.png\",\"Screenshot saved: "
                              "screenshot-0002.png\"]"),
            std::string::npos)
      << trace.back();
}

TEST_F(ReplayProgramTest, TwoReplaysWriteTheSameTraceAndTheSameScreenshots) {
  WriteInput("game.txt", HideAndSeekInput());
  ASSERT_EQ(Start("--replay game.txt --trace one.jsonl").exitCode, 0);
  fs::rename(P("last.png"), P("one.png"));
  // F12 names the first free number, so the second run starts from the same empty folder.
  fs::remove(P("screenshot-0001.png"));
  fs::remove(P("screenshot-0002.png"));
  const Outcome timedemo =
      Start("--replay game.txt --trace two.jsonl --timedemo --frame-times ft.txt");
  ASSERT_EQ(timedemo.exitCode, 0) << timedemo.err;
  EXPECT_TRUE(ReadText(P("one.jsonl")) == ReadText(P("two.jsonl")));
  EXPECT_TRUE(ReadText(P("one.png")) == ReadText(P("last.png")));
  // The statistics line and one frame time per frame.
  EXPECT_EQ(timedemo.out.rfind("frames=219 seconds=", 0), 0u) << timedemo.out;
  for (const char* key : {" avg_fps=", " min_fps=", " max_fps=", " low1_fps=", " low01_fps=",
                          " p50_ms=", " p99_ms=", " p999_ms="})
    EXPECT_NE(timedemo.out.find(key), std::string::npos) << key;
  EXPECT_EQ(Lines(P("ft.txt")).size(), 219u);
  // Then the phases, which add up to the frame time: none is lost or counted twice.
  const std::size_t phases = timedemo.out.find("\nphases_ms(mean/p99) time=");
  ASSERT_NE(phases, std::string::npos) << timedemo.out;
  double frames = 0, seconds = 0, phaseSum = 0;
  std::sscanf(timedemo.out.c_str(), "frames=%lf seconds=%lf", &frames, &seconds);
  for (std::size_t at = timedemo.out.find('=', phases); at != std::string::npos;
       at = timedemo.out.find('=', at + 1))
    phaseSum += std::strtod(timedemo.out.c_str() + at + 1, nullptr);
  EXPECT_NEAR(phaseSum, seconds * 1000 / frames, 0.01 * seconds * 1000 / frames + 0.01);
}

TEST_F(ReplayProgramTest, AToggleKeyOnF12sCodeTakesPrecedence) {
  WriteLevel("{");  // FogKey: the character with code 123
  WriteInput("f12.txt", "quorvantille-input 1\n" + Frames(1, 16) + "key up 123\n" + Frames(1, 16));
  ASSERT_EQ(Start("--replay f12.txt --trace t.jsonl").exitCode, 0);
  EXPECT_NE(Lines(P("t.jsonl")).back().find("\"messages\":[\"Fog disabled\"]"), std::string::npos);
  EXPECT_FALSE(fs::exists(P("screenshot-0001.png")));
}

TEST_F(ReplayProgramTest, BadInputAndBadOptionsFailBeforeTheFirstFrame) {
  WriteInput("bad.txt", "quorvantille-input 1\nframe 16\n\n# fine so far\nkey sideways 38\n");
  Outcome run = Start("--replay bad.txt --trace t.jsonl");
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.err.find("bad.txt:5: expected \"down\" or \"up\", not \"sideways\""),
            std::string::npos)
      << run.err;
  EXPECT_EQ(ReadText(P("t.jsonl")), "");

  const struct {
    const char* args;
    const char* error;
  } cases[] = {
      {"--bogus", "unknown option \"--bogus\""},
      {"--replay", "--replay needs a file name"},
      {"--timedemo", "--timedemo needs --replay FILE"},
      {"--record a --replay b", "--record and --replay cannot be combined"},
      {"--replay a --frame-times f", "--frame-times needs --timedemo"},
      {"--trace a --trace b", "--trace is given twice"},
  };
  for (const auto& c : cases) {
    run = Start(c.args);
    EXPECT_EQ(run.exitCode, 2) << c.args;
    EXPECT_NE(run.err.find(c.error), std::string::npos) << c.args << ": " << run.err;
    EXPECT_NE(run.err.find("usage: quorvantille"), std::string::npos) << c.args;
  }
}

TEST_F(ReplayProgramTest, WASDOfTheWrittenSettingsMoveThePlayer) {
  WriteLevel("", true);
  // Facing -z: each key held for ten frames, then let go.
  const struct {
    int key;
    int axis;    // 0 x, 2 z
    float sign;  // the direction it must go
  } rows[] = {{'W', 2, -1}, {'S', 2, 1}, {'A', 0, -1}, {'D', 0, 1}};
  std::string input = "quorvantille-input 1\n" + Frames(20, 16);
  for (const auto& row : rows)
    input += "key down " + std::to_string(row.key) + "\n" + Frames(10, 16) + "key up " +
             std::to_string(row.key) + "\n" + Frames(2, 16);
  WriteInput("wasd.txt", input);
  ASSERT_EQ(Start("--replay wasd.txt --trace t.jsonl").exitCode, 0);
  const std::vector<std::string> trace = Lines(P("t.jsonl"));
  ASSERT_EQ(trace.size(), 20u + 4 * 12);
  for (std::size_t i = 0; i < 4; ++i) {
    const auto before = ActorPos(trace[19 + 12 * i], "Player");
    const auto after = ActorPos(trace[19 + 12 * (i + 1)], "Player");
    const int other = 2 - rows[i].axis;
    EXPECT_GT(rows[i].sign * (after[rows[i].axis] - before[rows[i].axis]), 0.2f)
        << char(rows[i].key);
    EXPECT_NEAR(after[other], before[other], 0.01f) << char(rows[i].key);
  }
}

TEST_F(ReplayProgramTest, TapsBetweenTwoFramesAreSeenByTheFrameAfterThem) {
  // A click between frames 60 and 61 jumps; an Escape tap between 65 and 66 ends the game.
  WriteInput("taps.txt", "quorvantille-input 1\n" + Frames(60, 16) +
                             "button down 1\nbutton up 1\n" + Frames(5, 16) +
                             "key down 27\nkey up 27\n" + Frames(50, 16));
  ASSERT_EQ(Start("--replay taps.txt --trace t.jsonl").exitCode, 0);
  const std::vector<std::string> trace = Lines(P("t.jsonl"));
  ASSERT_EQ(trace.size(), 66u) << "the Escape tap was not seen once by frame 66";
  EXPECT_GT(ActorPos(trace[63], "Player")[1], ActorPos(trace[59], "Player")[1] + 0.1f)
      << "the click did not jump";
}

TEST_F(ReplayProgramTest, StartsFindsTagsAndWinsLeaveTheirMessagesInTheTrace) {
  // The player seeks and finds the only ghost; or walks into the free ghost, which then seeks,
  // counts ten seconds and tags the player, who walks into it again.
  const struct {
    std::string input;
    std::vector<std::string> messages;  // in this order
  } games[] = {
      {HideAndSeekInput(), {"You found Shy.", "You found everybody: you win!"}},
      {"quorvantille-input 1\nseed 7\n" + Frames(70, 16) + "key down 38\n" + Frames(10, 50) +
           "key up 38\n" + Frames(240, 50) + "key down 38\n" + Frames(100, 50),
       {"Shy caught you and seeks now: hide!", "Shy tagged you: you are out.",
        "Shy found everybody and wins."}},
  };
  for (const auto& game : games) {
    WriteInput("game.txt", game.input);
    ASSERT_EQ(Start("--replay game.txt --trace t.jsonl --timedemo").exitCode, 0);
    const std::string trace = ReadText(P("t.jsonl"));
    std::size_t at = 0;
    for (const std::string& message : game.messages) {
      at = trace.find("\"" + message + "\"", at);
      ASSERT_NE(at, std::string::npos) << message;
    }
  }
}

TEST_F(ReplayProgramTest, ARefusedFullScreenSwitchKeepsTheViewAndTheWindowSize) {
  WriteLevel("", false, 641);  // a mode the display does not offer: refused, on windowed
  // The pointer moves while the question is asked.
  WriteInput("f2.txt", "quorvantille-input 1\n" + Frames(5, 16) +
                           "key down 113\nkey up 113\nmouse 100 100\n" + Frames(3, 16) +
                           "shot after.png\n");
  const Outcome run = Start("--replay f2.txt --trace t.jsonl");
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_NE(run.err.find("This FullScreen Mode Is Not Supported"), std::string::npos) << run.err;
  const std::vector<std::string> trace = Lines(P("t.jsonl"));
  ASSERT_EQ(trace.size(), 8u);
  EXPECT_EQ(ActorField(trace.back(), "Player", "heading"),
            ActorField(trace[4], "Player", "heading"));
  int width = 0, height = 0;
  qv::test::ReadPng(P("after.png"), width, height);
  EXPECT_EQ(width, 800);
  EXPECT_EQ(height, 600);
}

TEST_F(ReplayProgramTest, ALiveGameRecordedFromRealXInputReplaysToTheSameTrace) {
  if (std::system("command -v xdotool >/dev/null") != 0)
    GTEST_SKIP() << "xdotool is not installed (scripts/install-deps.sh installs it)";
  // Real key and pointer events through the X server (XTEST), sent to the focused game window.
  const std::string script =
      "w=$(xdotool search --sync --name GLApplication | head -n 1); sleep 0.5; "
      "xdotool mousemove --window $w 400 300; sleep 0.2; xdotool key Return; sleep 0.2; "
      "xdotool keydown Up; sleep 0.4; xdotool keyup Up; "
      "xdotool mousemove --window $w 480 320; sleep 0.2; "
      "xdotool keydown Right; sleep 0.3; xdotool keyup Right; xdotool click 1; sleep 0.3; "
      "xdotool keydown Escape; sleep 0.2; xdotool keyup Escape;";
  const Outcome live = Start("--record live.txt --trace live.jsonl", script);
  ASSERT_EQ(live.exitCode, 0) << live.err;
  const std::string input = ReadText(P("live.txt"));
  for (const char* item : {"key down 13", "key up 13", "key down 38", "key down 39",
                           "button down 1", "key down 27", "mouse 480 320", "seed "})
    EXPECT_NE(input.find(item), std::string::npos) << item;

  ASSERT_EQ(Start("--replay live.txt --trace replay.jsonl").exitCode, 0);
  const std::string trace = ReadText(P("live.jsonl"));
  EXPECT_GT(Lines(P("live.jsonl")).size(), 20u);
  EXPECT_TRUE(trace == ReadText(P("replay.jsonl")));
}

}  // namespace
