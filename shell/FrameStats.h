#pragma once
// The statistics a timedemo reports, from real frame times in milliseconds:
//   frames=<n> seconds=<s> avg_fps=<f> min_fps=<f> max_fps=<f> low1_fps=<f> low01_fps=<f>
//   p50_ms=<f> p99_ms=<f> p999_ms=<f>
// avg_fps is frames / seconds; min_fps and max_fps come from the slowest and the fastest frame;
// low1_fps and low01_fps are the frame rate over the slowest 1 % and 0.1 % of the frames (at
// least one frame), as players quote "1 % lows"; the percentiles are nearest-rank. A rate over no
// time, and every figure of an empty run, is 0.

#include <string>
#include <vector>

namespace qv {

struct TFrameStats {
  long frames = 0;      // frames measured
  double seconds = 0;   // sum of the frame times
  double avgFps = 0;    // frames per second over the whole run
  double minFps = 0;    // of the slowest frame
  double maxFps = 0;    // of the fastest frame
  double low1Fps = 0;   // over the slowest 1 % of the frames
  double low01Fps = 0;  // over the slowest 0.1 %
  double p50Ms = 0;     // median frame time
  double p99Ms = 0;     // 99th percentile
  double p999Ms = 0;    // 99.9th percentile
};

TFrameStats ComputeFrameStats(std::vector<double> frameMs);
// The one line above, without the line end.
std::string FormatFrameStats(const TFrameStats& stats);

}  // namespace qv
