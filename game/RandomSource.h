#pragma once
// The one source of randomness of a world. Every random draw of the game (think periods, think
// steps, the reflection schedule) comes from it, so one seed reproduces a whole game. The world
// seeds it from the clock; tests and replays seed it by hand. The draws are computed here from
// the raw 32-bit output of std::mt19937 (not through the standard distributions, whose results
// differ between standard libraries), so a seed gives the same game on every build.

#include <cstdint>
#include <random>

namespace qv {

class TRandomSource {
 public:
  explicit TRandomSource(uint32_t seed) : engine_(seed) {}

  // Uniform over lo..hi inclusive; lo when hi < lo.
  int Integer(int lo, int hi);
  // Uniform in [0, 1), in steps of 2^-24.
  float Unit();

 private:
  std::mt19937 engine_;
};

}  // namespace qv
