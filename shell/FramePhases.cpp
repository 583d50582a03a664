#include "shell/FramePhases.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "platform/Clock.h"

namespace qv {

namespace {

constexpr const char* kPhaseNames[kFramePhaseCount] = {
    "time", "alarms", "step", "culling", "reflection", "scene", "overlay", "swap", "events"};

}  // namespace

void TFramePhases::BeginFrame() {
  if (open_) CloseFrame();
  open_ = true;
  current_ = {};
  lastMark_ = SystemCounter();
}

void TFramePhases::Mark(TFramePhase phase) {
  if (!open_) return;
  const std::int64_t now = SystemCounter();
  current_[static_cast<int>(phase)] +=
      static_cast<double>(now - lastMark_) * 1000.0 / static_cast<double>(SystemFrequency());
  lastMark_ = now;
}

void TFramePhases::EndRun() {
  if (open_) CloseFrame();
}

void TFramePhases::CloseFrame() {
  frames_.push_back(current_);
  open_ = false;
}

std::string TFramePhases::Format(const std::vector<TTimes>& frames) {
  std::string line = "phases_ms(mean/p99)";
  std::vector<double> times(frames.size());
  for (int phase = 0; phase < kFramePhaseCount; ++phase) {
    double sum = 0;
    for (std::size_t i = 0; i < frames.size(); ++i) sum += times[i] = frames[i][phase];
    std::sort(times.begin(), times.end());
    const double mean = times.empty() ? 0 : sum / static_cast<double>(times.size());
    const auto rank = static_cast<std::size_t>(std::ceil(0.99 * static_cast<double>(times.size())));
    const double p99 =
        times.empty() ? 0 : times[std::clamp<std::size_t>(rank, 1, times.size()) - 1];
    char item[64];
    std::snprintf(item, sizeof item, " %s=%.3f/%.3f", kPhaseNames[phase], mean, p99);
    line += item;
  }
  return line;
}

}  // namespace qv
