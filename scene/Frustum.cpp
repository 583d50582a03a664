#include "scene/Frustum.h"

#include <cmath>

namespace qv {

namespace {

TPlane Normalised(float a, float b, float c, float d) {
  const float length = std::sqrt(a * a + b * b + c * c);
  // A degenerate matrix gives a zero normal; keep the zeros rather than fill the planes with NaN.
  if (length == 0) return {a, b, c, d};
  return {a / length, b / length, c / length, d / length};
}

float Distance(const TPlane& p, float x, float y, float z) {
  return p.a * x + p.b * y + p.c * z + p.d;
}

}  // namespace

TFrustum ExtractFrustum(const TMatrix& p, const TMatrix& m) {
  TMatrix c{};
  for (int j = 0; j < 4; ++j)
    for (int i = 0; i < 4; ++i)
      c[4 * j + i] = m[4 * j] * p[i] + m[4 * j + 1] * p[4 + i] + m[4 * j + 2] * p[8 + i] +
                     m[4 * j + 3] * p[12 + i];
  // Row k of the clip transform: the four values C[k], C[4+k], C[8+k], C[12+k].
  auto row = [&c](int k, int column) { return c[4 * column + k]; };
  auto plane = [&row](int k, float sign) {
    return Normalised(row(3, 0) + sign * row(k, 0), row(3, 1) + sign * row(k, 1),
                      row(3, 2) + sign * row(k, 2), row(3, 3) + sign * row(k, 3));
  };
  TFrustum f;
  f[fpRight] = plane(0, -1);
  f[fpLeft] = plane(0, +1);
  f[fpBottom] = plane(1, +1);
  f[fpTop] = plane(1, -1);
  f[fpFar] = plane(2, -1);
  f[fpNear] = plane(2, +1);
  return f;
}

bool SphereInFrustum(float x, float y, float z, float r, const TFrustum& frustum) {
  for (const TPlane& p : frustum)
    if (Distance(p, x, y, z) <= -r) return false;
  return true;
}

bool SphereInFrustum(const TSphere& s, const TFrustum& frustum) {
  return SphereInFrustum(s.x, s.y, s.z, s.r, frustum);
}

bool BoxInFrustum(const TBox& b, const TFrustum& frustum) {
  for (const TPlane& p : frustum) {
    if (Distance(p, b.minX, b.minY, b.minZ) > 0) continue;
    if (Distance(p, b.maxX, b.minY, b.minZ) > 0) continue;
    if (Distance(p, b.minX, b.maxY, b.minZ) > 0) continue;
    if (Distance(p, b.maxX, b.maxY, b.minZ) > 0) continue;
    if (Distance(p, b.minX, b.minY, b.maxZ) > 0) continue;
    if (Distance(p, b.maxX, b.minY, b.maxZ) > 0) continue;
    if (Distance(p, b.minX, b.maxY, b.maxZ) > 0) continue;
    if (Distance(p, b.maxX, b.maxY, b.maxZ) > 0) continue;
    return false;
  }
  return true;
}

bool FrustumEquals(const TFrustum& a, const TFrustum& b) {
  // Plain float comparison on purpose: the caches want "the same numbers", and a NaN plane never
  // equals itself, so a broken view is always recomputed.
  for (int i = 0; i < 6; ++i)
    if (!(a[i].a == b[i].a && a[i].b == b[i].b && a[i].c == b[i].c && a[i].d == b[i].d))
      return false;
  return true;
}

}  // namespace qv
