// The text formats of recording and replaying: the input file (every item back from its own line,
// every bad line refused with its number), the timedemo statistics and the trace's numbers and
// strings.
#include <gtest/gtest.h>

#include <cstdlib>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include "shell/FramePhases.h"
#include "shell/FrameStats.h"
#include "shell/InputFile.h"
#include "shell/TraceLine.h"

namespace {

using qv::TInputItem;
using qv::TInputKind;

std::vector<TInputItem> Read(const std::string& text) {
  std::istringstream in(text);
  return qv::ReadInput(in, "in.txt");
}

TEST(InputFileTest, EveryItemReadsBackFromTheLineItIsWrittenAs) {
  const std::vector<TInputItem> items = {
      {TInputKind::Seed, 4294967295LL, 0, {}, 0}, {TInputKind::KeyDown, 13, 0, {}, 0},
      {TInputKind::KeyUp, 254, 0, {}, 0},         {TInputKind::ButtonDown, 4, 0, {}, 0},
      {TInputKind::ButtonUp, 1, 0, {}, 0},        {TInputKind::Mouse, -32768, 32767, {}, 0},
      {TInputKind::Size, 0, 16384, {}, 0},        {TInputKind::Frame, 0, 0, {}, 0},
      {TInputKind::Shot, 0, 0, "a shot.png", 0},
  };
  std::string text = "# a comment first\n\nquorvantille-input 1\r\n";
  for (const TInputItem& item : items) text += "  " + qv::FormatInputItem(item) + "  # note\r\n";
  const std::vector<TInputItem> read = Read(text);
  ASSERT_EQ(read.size(), items.size());
  for (std::size_t i = 0; i < items.size(); ++i) {
    EXPECT_EQ(read[i].kind, items[i].kind) << i;
    EXPECT_EQ(read[i].a, items[i].a) << i;
    EXPECT_EQ(read[i].b, items[i].b) << i;
    EXPECT_EQ(read[i].file, items[i].file) << i;
    EXPECT_EQ(read[i].line, static_cast<int>(i) + 4) << i;
  }
}

TEST(InputFileTest, ALineThatCannotBeReadIsRefusedWithItsNumber) {
  const struct {
    const char* text;
    const char* error;
  } cases[] = {
      {"", "in.txt:1: expected the header \"quorvantille-input 1\", the file ends first"},
      {"frame 16\n", "in.txt:1: expected the header"},
      {"quorvantille-input 2\n", "in.txt:1: input file version 2 is not known"},
      {"quorvantille-input 1\njump 3\n", "in.txt:2: unknown item \"jump\""},
      {"quorvantille-input 1\nkey down\n", "in.txt:2: \"key\" takes 2 value(s), the line has 1"},
      {"quorvantille-input 1\nkey down 13 14\n", "in.txt:2: \"key\" takes 2 value(s)"},
      {"quorvantille-input 1\nkey down 255\n", "in.txt:2: key code 255 is not within 1..254"},
      {"quorvantille-input 1\nkey left 13\n", "in.txt:2: expected \"down\" or \"up\""},
      {"quorvantille-input 1\nbutton up 3\n", "in.txt:2: button 3 is none"},
      {"quorvantille-input 1\nmouse 1 40000\n", "in.txt:2: y 40000 is not within"},
      {"quorvantille-input 1\nsize 99999 10\n", "in.txt:2: width 99999 is not within 0..16384"},
      {"quorvantille-input 1\nframe -1\n", "in.txt:2: milliseconds -1 is not within"},
      {"quorvantille-input 1\nframe 1.5\n", "in.txt:2: milliseconds \"1.5\" is not a whole number"},
      {"quorvantille-input 1\nseed 4294967296\n", "in.txt:2: seed 4294967296 is not within"},
      {"quorvantille-input 1\nseed 99999999999999999999\n", "is not a whole number"},
      {"quorvantille-input 1\nshot a.png\nframe 1\n", "in.txt:2: \"shot\" before the first frame"},
      {"quorvantille-input 1\nframe 1\n\n#\nshot\n", "in.txt:5: \"shot\" needs the name"},
  };
  for (const auto& c : cases) {
    try {
      Read(c.text);
      ADD_FAILURE() << "accepted: " << c.text;
    } catch (const qv::TInputError& error) {
      EXPECT_NE(std::string(error.what()).find(c.error), std::string::npos)
          << c.text << " -> " << error.what();
    }
  }
  EXPECT_THROW(qv::ReadInputFile("/nonexistent/in.txt"), qv::TInputError);
}

TEST(FrameStatsTest, RatesLowsAndPercentilesFollowTheFrameTimes) {
  // 990 frames of 10 ms and 10 of 50 ms: the slowest 1 % are exactly the slow ones.
  std::vector<double> ms(990, 10.0);
  ms.insert(ms.begin() + 500, 10, 50.0);
  const qv::TFrameStats s = qv::ComputeFrameStats(ms);
  EXPECT_EQ(s.frames, 1000);
  EXPECT_DOUBLE_EQ(s.seconds, 10.4);
  EXPECT_DOUBLE_EQ(s.avgFps, 1000 / 10.4);
  EXPECT_DOUBLE_EQ(s.minFps, 20);
  EXPECT_DOUBLE_EQ(s.maxFps, 100);
  EXPECT_DOUBLE_EQ(s.low1Fps, 20);
  EXPECT_DOUBLE_EQ(s.low01Fps, 20);
  EXPECT_DOUBLE_EQ(s.p50Ms, 10);
  EXPECT_DOUBLE_EQ(s.p99Ms, 10);  // rank 990 of 1000 is the last fast frame
  EXPECT_DOUBLE_EQ(s.p999Ms, 50);
  // Three frames: the lows take the one slowest frame, the ranks round up.
  const qv::TFrameStats three = qv::ComputeFrameStats({30, 10, 20});
  EXPECT_DOUBLE_EQ(three.low1Fps, 1000.0 / 30);
  EXPECT_DOUBLE_EQ(three.p50Ms, 20);
  EXPECT_DOUBLE_EQ(three.p99Ms, 30);
  EXPECT_EQ(qv::FormatFrameStats(qv::ComputeFrameStats({})),
            "frames=0 seconds=0.000 avg_fps=0.00 min_fps=0.00 max_fps=0.00 low1_fps=0.00 "
            "low01_fps=0.00 p50_ms=0.000 p99_ms=0.000 p999_ms=0.000");
  EXPECT_EQ(qv::FormatFrameStats(three).rfind("frames=3 seconds=0.060 avg_fps=50.00 ", 0), 0u);
}

// Every phase in run order with its own mean and nearest-rank p99; none measured gives zeros.
TEST(FramePhasesTest, FormatGivesEachPhasesMeanAndP99InRunOrder) {
  std::vector<qv::TFramePhases::TTimes> frames(100);
  for (int i = 0; i < 100; ++i)
    for (int phase = 0; phase < qv::kFramePhaseCount; ++phase)
      frames[i][phase] = (phase + 1) * (i + 1);  // phase k: k+1, 2(k+1), ... 100(k+1) ms
  EXPECT_EQ(qv::TFramePhases::Format(frames),
            "phases_ms(mean/p99) time=50.500/99.000 alarms=101.000/198.000 step=151.500/297.000 "
            "culling=202.000/396.000 reflection=252.500/495.000 scene=303.000/594.000 "
            "overlay=353.500/693.000 swap=404.000/792.000 events=454.500/891.000");
  EXPECT_EQ(qv::TFramePhases::Format({}),
            "phases_ms(mean/p99) time=0.000/0.000 alarms=0.000/0.000 step=0.000/0.000 "
            "culling=0.000/0.000 reflection=0.000/0.000 scene=0.000/0.000 overlay=0.000/0.000 "
            "swap=0.000/0.000 events=0.000/0.000");
}

TEST(TraceLineTest, FloatsReadBackExactlyAndTextsBecomeJsonStrings) {
  for (const float v :
       {0.0f, -0.0f, 0.1f, 1.0f / 3, -123456.789f, 3.8999999f, 1e-38f, 3.4e38f, 16777217.0f}) {
    const std::string text = qv::JsonFloat(v);
    EXPECT_EQ(std::strtof(text.c_str(), nullptr), v) << text;
  }
  EXPECT_EQ(qv::JsonFloat(std::numeric_limits<float>::quiet_NaN()), "null");
  EXPECT_EQ(qv::JsonFloat(std::numeric_limits<float>::infinity()), "null");
  EXPECT_EQ(qv::JsonString("a \"b\" \\ \t\x80\xe9\x81"),
            "\"a \\\"b\\\" \\\\ \\u0009\u20ac\u00e9\ufffd\"");
}

}  // namespace
