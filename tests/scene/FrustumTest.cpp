#include "scene/Frustum.h"

#include <gtest/gtest.h>

#include <cmath>

namespace qv {
namespace {

// gluPerspective's matrix, column-major.
TMatrix Perspective(float fovy, float aspect, float zNear, float zFar) {
  const float f = 1.0f / std::tan(fovy * 3.14159265f / 360.0f);
  TMatrix p{};
  p[0] = f / aspect;
  p[5] = f;
  p[10] = (zFar + zNear) / (zNear - zFar);
  p[11] = -1;
  p[14] = 2 * zFar * zNear / (zNear - zFar);
  return p;
}

TMatrix Translation(float x, float y, float z) {
  TMatrix m = IdentityMatrix();
  m[12] = x;
  m[13] = y;
  m[14] = z;
  return m;
}

float Distance(const TPlane& p, float x, float y, float z) {
  return p.a * x + p.b * y + p.c * z + p.d;
}

// The game's start-up view: eye at (0, 5, 0) looking along -z.
TFrustum StartUpFrustum() {
  return ExtractFrustum(Perspective(45, 4.0f / 3.0f, 0.005f, 20000), Translation(0, -5, 0));
}

TEST(ExtractFrustum, GivesNormalisedPlanesInTheOrderRightLeftBottomTopFarNear) {
  const TFrustum f = StartUpFrustum();
  for (const TPlane& p : f) EXPECT_NEAR(std::sqrt(p.a * p.a + p.b * p.b + p.c * p.c), 1, 1e-5);
  EXPECT_LT(f[fpRight].a, 0);  // the right plane faces back towards -x
  EXPECT_GT(f[fpLeft].a, 0);
  EXPECT_GT(f[fpBottom].b, 0);
  EXPECT_LT(f[fpTop].b, 0);
  EXPECT_NEAR(f[fpFar].c, 1, 1e-5);
  EXPECT_NEAR(f[fpNear].c, -1, 1e-5);
  // The side planes of a 45 degree view lean 22.5 degrees off the view axis vertically.
  EXPECT_NEAR(f[fpTop].b, -std::cos(22.5f * 3.14159265f / 180), 1e-5);
  EXPECT_NEAR(Distance(f[fpNear], 0, 5, -1), 1 - 0.005f, 1e-4);
  // Signed distances are world units (the start-up clip range is too wide for single precision
  // to place its far plane exactly, so a narrower one shows it).
  const TFrustum g = ExtractFrustum(Perspective(90, 1, 1, 100), Translation(0, 0, 0));
  EXPECT_NEAR(Distance(g[fpNear], 0, 0, -5), 4, 1e-4);
  EXPECT_NEAR(Distance(g[fpFar], 0, 0, -5), 95, 1e-3);
  EXPECT_NEAR(Distance(g[fpRight], 0, 0, -5), 5 / std::sqrt(2.0f), 1e-4);
  EXPECT_NEAR(Distance(g[fpRight], 5, 0, -5), 0, 1e-4);
  EXPECT_NEAR(Distance(g[fpTop], 0, 5, -5), 0, 1e-4);
  EXPECT_NEAR(Distance(g[fpBottom], 0, -5, -5), 0, 1e-4);
  EXPECT_NEAR(Distance(g[fpLeft], -5, 0, -5), 0, 1e-4);
}

TEST(ExtractFrustum, StartUpViewSeesAheadAndNotBehind) {
  const TFrustum f = StartUpFrustum();
  for (int i = 0; i < 6; ++i) EXPECT_GT(Distance(f[i], 0, 5, -10), 0) << "plane " << i;
  EXPECT_LT(Distance(f[fpNear], 0, 5, 10), 0);
  EXPECT_TRUE(SphereInFrustum(0, 5, -10, 0.1f, f));
  EXPECT_FALSE(SphereInFrustum(0, 5, 10, 0.1f, f));
  // Off to the side beyond the right plane, and beyond the far plane.
  EXPECT_FALSE(SphereInFrustum(100, 5, -10, 1, f));
  EXPECT_FALSE(SphereInFrustum(0, 5, -30000, 1, f));
}

// A frustum in which every plane passes everything except plane `k`, which keeps z >= 0.
TFrustum OnlyPlane(int k) {
  TFrustum f;
  for (TPlane& p : f) p = {0, 0, 0, 1000};
  f[k] = {0, 0, 1, 0};
  return f;
}

TEST(SphereInFrustum, EveryPlaneRejectsASphereTouchingItFromOutside) {
  for (int k = 0; k < 6; ++k) {
    const TFrustum f = OnlyPlane(k);
    EXPECT_FALSE(SphereInFrustum(1, 2, -2, 2, f)) << "plane " << k;  // exactly its radius out
    EXPECT_TRUE(SphereInFrustum(1, 2, -1.99f, 2, f)) << "plane " << k;
    EXPECT_FALSE(SphereInFrustum(TSphere{1, 2, -5, 2}, f)) << "plane " << k;
  }
}

TEST(BoxInFrustum, EveryPlaneRejectsABoxOnlyTouchingIt) {
  for (int k = 0; k < 6; ++k) {
    const TFrustum f = OnlyPlane(k);
    // One face of the box lies in the plane, the rest behind it: no corner has a positive distance.
    EXPECT_FALSE(BoxInFrustum({-1, 1, -1, 1, -2, 0}, f)) << "plane " << k;
    EXPECT_TRUE(BoxInFrustum({-1, 1, -1, 1, -2, 0.001f}, f)) << "plane " << k;
  }
}

TEST(BoxInFrustum, AnyOneCornerInsideAPlanePassesIt) {
  // A plane tilted so that exactly one corner of the unit box is in front of it; each corner in
  // turn, to catch a corner that is never looked at.
  for (int corner = 0; corner < 8; ++corner) {
    const float x = corner & 1 ? 1 : -1, y = corner & 2 ? 1 : -1, z = corner & 4 ? 1 : -1;
    const float n = 1 / std::sqrt(3.0f);
    TFrustum f = OnlyPlane(0);
    f[0] = {x * n, y * n, z * n, -1.5f * n};  // positive only near that corner
    EXPECT_TRUE(BoxInFrustum({-1, 1, -1, 1, -1, 1}, f)) << "corner " << corner;
    f[0].d = -3.5f * n;  // now beyond every corner
    EXPECT_FALSE(BoxInFrustum({-1, 1, -1, 1, -1, 1}, f)) << "corner " << corner;
  }
}

TEST(BoxInFrustum, ABoxOutsideButNotBehindOnePlaneCountsAsInside) {
  // Planes y > x + 1 and y < -x - 1 leave only x < -1; the box at x >= 0 misses that wedge, yet
  // each plane has one of its corners in front.
  const float n = 1 / std::sqrt(2.0f);
  TFrustum f = OnlyPlane(2);
  f[2] = {0, 0, 0, 1000};
  f[0] = {-n, n, 0, -n};
  f[1] = {-n, -n, 0, -n};
  EXPECT_TRUE(BoxInFrustum({0, 2, -3, 3, -1, 1}, f));
  EXPECT_FALSE(SphereInFrustum(1, 0, 0, 1, f));
}

TEST(FrustumEquals, ComparesEveryValueExactly) {
  const TFrustum f = StartUpFrustum();
  EXPECT_TRUE(FrustumEquals(f, StartUpFrustum()));
  for (int i = 0; i < 24; ++i) {
    TFrustum g = f;
    float* values = &g[i / 4].a;
    values[i % 4] = std::nextafter(values[i % 4], 1e9f);
    EXPECT_FALSE(FrustumEquals(f, g)) << "value " << i;
  }
  TFrustum broken = f;
  broken[2].d = NAN;
  EXPECT_FALSE(FrustumEquals(broken, broken));
}

}  // namespace
}  // namespace qv
