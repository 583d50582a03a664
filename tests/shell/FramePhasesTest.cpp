// The timedemo's phase line: a frame's phases add up to the time from its start to its last mark,
// and each phase's mean and nearest-rank 99th percentile come out of known series.
#include <gtest/gtest.h>

#include <chrono>
#include <numeric>
#include <string>
#include <thread>
#include <vector>

#include "platform/Clock.h"
#include "shell/FramePhases.h"

namespace qv {
namespace {

double MsBetween(std::int64_t from, std::int64_t to) {
  return static_cast<double>(to - from) * 1000.0 / static_cast<double>(SystemFrequency());
}

TEST(FramePhases, AFramesPhasesAddUpToItsTimeAndMarksOutsideFramesAreDropped) {
  TFramePhases phases;
  phases.Mark(TFramePhase::Swap);  // before any frame
  const std::int64_t before = SystemCounter();
  phases.BeginFrame();
  const std::int64_t begun = SystemCounter();
  phases.Mark(TFramePhase::Step);
  std::this_thread::sleep_for(std::chrono::milliseconds(2));
  phases.Mark(TFramePhase::Scene);
  phases.Mark(TFramePhase::Step);  // a phase marked twice gets both shares
  const std::int64_t marking = SystemCounter();
  phases.Mark(TFramePhase::Events);
  const std::int64_t after = SystemCounter();
  phases.EndRun();
  phases.Mark(TFramePhase::Swap);  // after the run

  ASSERT_EQ(phases.Frames().size(), 1u);
  const TFramePhases::TTimes& frame = phases.Frames()[0];
  const double sum = std::accumulate(frame.begin(), frame.end(), 0.0);
  EXPECT_LE(sum, MsBetween(before, after) + 1e-9);
  EXPECT_GE(sum, MsBetween(begun, marking) - 1e-9);
  EXPECT_GE(frame[static_cast<int>(TFramePhase::Scene)], 1.0);  // the sleep
  for (const TFramePhase unmarked : {TFramePhase::Time, TFramePhase::Swap})
    EXPECT_EQ(frame[static_cast<int>(unmarked)], 0);
}

TEST(FramePhases, MeanAndNearestRankP99OfKnownSeries) {
  struct TRow {
    std::vector<double> series;  // one value per frame, the same for every phase
    const char* expected;        // the "time=" item
  };
  std::vector<double> ramp101(101), spike(200, 1.0), shuffled;
  std::iota(ramp101.begin(), ramp101.end(), 1.0);
  spike[17] = 1000;  // rank 198 of 200 is below the one slow frame
  for (int i = 0; i < 100; ++i) shuffled.push_back((i * 37) % 100 + 1);  // 1..100 out of order
  const TRow rows[] = {
      {{5}, " time=5.000/5.000 "},        {{3, 1, 2}, " time=2.000/3.000 "},
      {shuffled, " time=50.500/99.000 "}, {ramp101, " time=51.000/100.000 "},
      {spike, " time=5.995/1.000 "},
  };
  for (const TRow& row : rows) {
    std::vector<TFramePhases::TTimes> frames;
    for (double value : row.series) {
      TFramePhases::TTimes times;
      times.fill(value);
      frames.push_back(times);
    }
    const std::string line = TFramePhases::Format(frames);
    EXPECT_NE(line.find(row.expected), std::string::npos) << line;
  }
}

}  // namespace
}  // namespace qv
