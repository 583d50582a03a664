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

// The system's counter and its counts per second, whatever source is set: a replaced clock still
// needs real time to measure or pace frames by.
std::int64_t SystemCounter();
std::int64_t SystemFrequency();
// Blocks the thread for about `ms` milliseconds (0 or less returns at once).
void SleepMs(int ms);

}  // namespace qv
