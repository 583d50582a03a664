#pragma once
// Box against triangle, the primitive the collidee objects are built on: a static overlap test
// and a swept test for an axis-aligned box moving by a displacement d during one step. Both are
// separating-axis tests over the same thirteen axes in a fixed order (triangle normal; x, y, z;
// then each edge B-A, C-B, A-C crossed with x, y, z). Cost: at most thirteen projections, no
// allocation. Touching counts as overlapping. Degenerate triangles are allowed: their zero axes
// never separate anything.

#include "scene/Geometry.h"

namespace qv {

// Where a sweep meets an obstacle. Times are fractions of the step (0 start, 1 end).
struct TSweepResult {
  bool Hit = false;     // the mover meets the obstacle within the step
  float FirstTime = 0;  // contact time (0 when already overlapping)
  float LastTime = 0;   // separation time
  // Unit normal of the face the mover runs into, pointing back at the mover: the separating axis
  // that is crossed last. When the two already overlap at the start, the shortest way apart
  // where the sweep knows one (boxes), else zero.
  TVector Normal{};
};

TVector TriangleNormal(const TTriangle& t);  // (b - a) x (c - a), not normalised

// True when the box and the triangle overlap or touch.
bool TriangleOverlapsBox(const TTriangle& t, const TBox& box);

// Sweeps `box` along `d`. On a hit the times are the contact and separation times; on a miss they
// are unspecified.
TSweepResult SweepBoxTriangle(const TBox& box, const TVector& d, const TTriangle& t);

}  // namespace qv
