#pragma once
// Box against triangle, the primitive the collidee objects are built on: a static overlap test
// and a swept test for an axis-aligned box moving by a displacement d during one step. Both are
// separating-axis tests over the same thirteen axes in a fixed order (triangle normal; x, y, z;
// then each edge B-A, C-B, A-C crossed with x, y, z). Cost: at most thirteen projections, no
// allocation. Touching counts as overlapping. Degenerate triangles are allowed: their zero axes
// never separate anything.

#include "scene/Geometry.h"

namespace qv {

// Three corners in the order of the face's vertex indices; the normal is (b - a) x (c - a).
struct TTriangle {
  TVector a;  // first corner, level coordinates
  TVector b;  // second corner
  TVector c;  // third corner
};

TVector TriangleNormal(const TTriangle& t);  // (b - a) x (c - a), not normalised

// True when the box and the triangle overlap or touch.
bool TriangleOverlapsBox(const TTriangle& t, const TBox& box);

// Sweeps `box` along `d` (times are fractions of the step: 0 start, 1 end). On a hit, returns true
// with `firstTime` the contact time (0 when they already overlap) and `lastTime` the separation
// time; on a miss the two values are unspecified.
bool SweepBoxTriangle(const TBox& box, const TVector& d, const TTriangle& t, float& firstTime,
                      float& lastTime);

}  // namespace qv
