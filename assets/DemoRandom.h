#pragma once
// A small seeded random source for the demo content. The standard distributions may differ between
// library versions, so the generator does its own arithmetic: the same seed gives the same numbers,
// and therefore the same files, on every run and every build.

#include <cstdint>

namespace qv::assets {

class TDemoRandom {
 public:
  explicit TDemoRandom(std::uint64_t seed) : State(seed) {}

  // SplitMix64: 64 well-mixed bits per call.
  std::uint64_t Next() {
    std::uint64_t z = (State += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }

  // Uniform in [0, 1), from the top 24 bits so every value is exact in a float.
  float Unit() { return static_cast<float>(Next() >> 40) / 16777216.0f; }

  float Uniform(float lo, float hi) { return lo + (hi - lo) * Unit(); }

  // Uniform integer in [lo, hi], both included.
  int Int(int lo, int hi) {
    const std::uint64_t span = static_cast<std::uint64_t>(hi - lo) + 1;
    return lo + static_cast<int>(Next() % span);
  }

 private:
  std::uint64_t State;
};

// A hash of lattice coordinates for tileable noise: the same (x, y, seed) always gives the same
// value.
inline std::uint32_t LatticeHash(int x, int y, std::uint32_t seed) {
  std::uint32_t h = seed * 0x27D4EB2Du ^ static_cast<std::uint32_t>(x) * 0x85EBCA6Bu ^
                    static_cast<std::uint32_t>(y) * 0xC2B2AE35u;
  h ^= h >> 15;
  h *= 0x2C1B3C6Du;
  h ^= h >> 12;
  h *= 0x297A2D39u;
  h ^= h >> 15;
  return h;
}

}  // namespace qv::assets
