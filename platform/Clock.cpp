#include "platform/Clock.h"

#include <SDL2/SDL_timer.h>

#include <utility>

namespace qv {

namespace {
TClockSource& Source() {
  static TClockSource source;
  return source;
}
}  // namespace

std::int64_t PerformanceCounter() {
  if (Source().counter) return Source().counter();
  return static_cast<std::int64_t>(SDL_GetPerformanceCounter());
}

std::int64_t PerformanceFrequency() {
  if (Source().frequency) return Source().frequency();
  return static_cast<std::int64_t>(SDL_GetPerformanceFrequency());
}

void SetClockSource(TClockSource source) { Source() = std::move(source); }

std::int64_t SystemCounter() { return static_cast<std::int64_t>(SDL_GetPerformanceCounter()); }

std::int64_t SystemFrequency() { return static_cast<std::int64_t>(SDL_GetPerformanceFrequency()); }

void SleepMs(int ms) {
  if (ms > 0) SDL_Delay(static_cast<Uint32>(ms));
}

}  // namespace qv
