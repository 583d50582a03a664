#pragma once
// The performance counter behind the application clock (QueryPerformanceCounter in the design).
// Tests replace the source to drive time by hand.

#include <cstdint>
#include <functional>

namespace qv {

std::int64_t PerformanceCounter();
// Counts per second; a replaced source may return 0.
std::int64_t PerformanceFrequency();

struct TClockSource {
  std::function<std::int64_t()> counter;    // current count
  std::function<std::int64_t()> frequency;  // counts per second
};
// Replaces the system counter; a source with empty functions restores it.
void SetClockSource(TClockSource source);

}  // namespace qv
