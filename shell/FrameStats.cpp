#include "shell/FrameStats.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numeric>

namespace qv {

namespace {

double Rate(double frames, double ms) { return ms > 0 ? frames * 1000.0 / ms : 0.0; }

// Nearest rank: the smallest time that at least `fraction` of the frames do not exceed.
double Percentile(const std::vector<double>& sorted, double fraction) {
  const auto rank =
      static_cast<std::size_t>(std::ceil(fraction * static_cast<double>(sorted.size())));
  return sorted[std::clamp<std::size_t>(rank, 1, sorted.size()) - 1];
}

double SlowestRate(const std::vector<double>& sorted, double fraction) {
  const auto count = std::max<std::size_t>(
      1, static_cast<std::size_t>(std::ceil(fraction * static_cast<double>(sorted.size()))));
  const double ms =
      std::accumulate(sorted.end() - static_cast<std::ptrdiff_t>(count), sorted.end(), 0.0);
  return Rate(static_cast<double>(count), ms);
}

}  // namespace

TFrameStats ComputeFrameStats(std::vector<double> frameMs) {
  TFrameStats stats;
  if (frameMs.empty()) return stats;
  std::sort(frameMs.begin(), frameMs.end());
  const double totalMs = std::accumulate(frameMs.begin(), frameMs.end(), 0.0);
  stats.frames = static_cast<long>(frameMs.size());
  stats.seconds = totalMs / 1000.0;
  stats.avgFps = Rate(static_cast<double>(frameMs.size()), totalMs);
  stats.minFps = Rate(1, frameMs.back());
  stats.maxFps = Rate(1, frameMs.front());
  stats.low1Fps = SlowestRate(frameMs, 0.01);
  stats.low01Fps = SlowestRate(frameMs, 0.001);
  stats.p50Ms = Percentile(frameMs, 0.5);
  stats.p99Ms = Percentile(frameMs, 0.99);
  stats.p999Ms = Percentile(frameMs, 0.999);
  return stats;
}

std::string FormatFrameStats(const TFrameStats& s) {
  char line[512];
  std::snprintf(line, sizeof line,
                "frames=%ld seconds=%.3f avg_fps=%.2f min_fps=%.2f max_fps=%.2f low1_fps=%.2f "
                "low01_fps=%.2f p50_ms=%.3f p99_ms=%.3f p999_ms=%.3f",
                s.frames, s.seconds, s.avgFps, s.minFps, s.maxFps, s.low1Fps, s.low01Fps, s.p50Ms,
                s.p99Ms, s.p999Ms);
  return line;
}

}  // namespace qv
