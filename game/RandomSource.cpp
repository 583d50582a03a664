#include "game/RandomSource.h"

namespace qv {

int TRandomSource::Integer(int lo, int hi) {
  if (hi <= lo) return lo;
  const uint64_t range = uint64_t(int64_t(hi) - lo) + 1;  // at most 2^32
  // Rejection keeps every value equally likely: draws past the last whole multiple of the range
  // are thrown away (fewer than half of them, so the loop ends quickly).
  const uint64_t limit = (uint64_t(1) << 32) - ((uint64_t(1) << 32) % range);
  uint64_t draw;
  do draw = engine_();
  while (draw >= limit);
  return static_cast<int>(int64_t(lo) + int64_t(draw % range));
}

float TRandomSource::Unit() { return float(engine_() >> 8) * (1.0f / 16777216.0f); }

}  // namespace qv
