#include "collision/CollideeObject.h"

#include <gtest/gtest.h>

#include "collision/BoxTriangle.h"
#include "models/Mesh3DS.h"
#include "tests/collision/BoundsObject.h"

namespace qv {
namespace {

using test::TBoundsObject;

// A mesh record from triangles in world axes (file axes are z up: world (x, y, z) is file
// (x, -z, y)).
struct TCollideeBuilder {
  TMesh3DS mesh;
  TCollideeBuilder() { mesh.name = "colThing"; }
  uint16_t Vertex(TVector w) {
    mesh.vertices.push_back({w.x, -w.z, w.y});
    return static_cast<uint16_t>(mesh.vertices.size() - 1);
  }
  void Triangle(TVector a, TVector b, TVector c) {
    const uint16_t ia = Vertex(a), ib = Vertex(b), ic = Vertex(c);
    mesh.faces.push_back({ia, ib, ic, 0});
  }
  std::unique_ptr<TCollideeObject> Build() const {
    return std::make_unique<TCollideeObject>(TMaterialLookup{}, rlRelease3, mesh);
  }
};

// The floor triangle y = 0 over (0,0)-(10,0)-(0,10) in x-z.
const TTriangle kFloor{{0, 0, 0}, {10, 0, 0}, {0, 0, 10}};

TEST(BoxTriangleOverlap, TouchingCountsAndEdgeAxesSeparate) {
  EXPECT_TRUE(TriangleOverlapsBox(kFloor, {1, 2, -1, 1, 1, 2}));  // straddles the plane
  EXPECT_TRUE(TriangleOverlapsBox(kFloor, {1, 2, 0, 1, 1, 2}));   // rests on it
  EXPECT_TRUE(TriangleOverlapsBox(kFloor, {1, 2, -1, 0, 1, 2}));  // hangs below it
  EXPECT_FALSE(TriangleOverlapsBox(kFloor, {1, 2, 0.001f, 1, 1, 2}));
  // A slanted triangle touched by a box corner exactly on its plane x + y + z = 3.
  const TTriangle slant{{3, 0, 0}, {0, 3, 0}, {0, 0, 3}};
  EXPECT_TRUE(TriangleOverlapsBox(slant, {-1, 1, -1, 1, -1, 1}));
  EXPECT_FALSE(TriangleOverlapsBox(slant, {-1, 0.99f, -1, 1, -1, 1}));
  // Beyond the hypotenuse x + z = 10 but inside the triangle's x, y and z ranges and across its
  // plane: only an edge cross-product axis separates them.
  EXPECT_FALSE(TriangleOverlapsBox(kFloor, {5.5f, 6.5f, -1, 1, 5.5f, 6.5f}));
  EXPECT_TRUE(TriangleOverlapsBox(kFloor, {4.5f, 5.5f, -1, 1, 4.5f, 5.5f}));
  // A box swallowing the whole triangle.
  EXPECT_TRUE(TriangleOverlapsBox(kFloor, {-50, 50, -50, 50, -50, 50}));
}

TEST(BoxTriangleSweep, ContactAndSeparationTimes) {
  TSweepResult r;
  // Falling onto the floor from 2 above, 4 down in the step: contact at 0.5, through at 0.75.
  r = SweepBoxTriangle({1, 2, 2, 3, 1, 2}, {0, -4, 0}, kFloor);
  ASSERT_TRUE(r.Hit);
  EXPECT_FLOAT_EQ(r.FirstTime, 0.5f);
  EXPECT_FLOAT_EQ(r.LastTime, 0.75f);
  // Stopping short, moving away, and passing beside the hypotenuse all miss.
  EXPECT_FALSE(SweepBoxTriangle({1, 2, 2, 3, 1, 2}, {0, -1.9f, 0}, kFloor).Hit);
  EXPECT_FALSE(SweepBoxTriangle({1, 2, 2, 3, 1, 2}, {0, 4, 0}, kFloor).Hit);
  EXPECT_FALSE(SweepBoxTriangle({6, 7, 2, 3, 6, 7}, {0, -4, 0}, kFloor).Hit);
  // Sliding sideways into the triangle's edge from beyond the hypotenuse.
  r = SweepBoxTriangle({6, 7, -1, 1, 6, 7}, {-4, 0, -4}, kFloor);
  ASSERT_TRUE(r.Hit);
  EXPECT_NEAR(r.FirstTime, 0.25f, 1e-6);  // corner (6, 6) reaches x + z = 10 after a quarter step
}

TEST(BoxTriangleSweep, OverlappingBoxMovingParallelHitsAtTimeZero) {
  TSweepResult r;
  r = SweepBoxTriangle({1, 2, -0.5f, 0.5f, 1, 2}, {1, 0, 0}, kFloor);
  ASSERT_TRUE(r.Hit);
  EXPECT_EQ(r.FirstTime, 0.0f);
  EXPECT_EQ(r.LastTime, 1.0f);  // still on the floor at the end of the step
  // Touching only: resting on the plane and sliding along it.
  r = SweepBoxTriangle({1, 2, 0, 1, 1, 2}, {0, 0, 1}, kFloor);
  ASSERT_TRUE(r.Hit);
  EXPECT_EQ(r.FirstTime, 0.0f);
}

TEST(Collidee, LargeFromFiveHundredAndOneVertices) {
  for (int count : {500, 501}) {
    TCollideeBuilder b;
    b.Triangle({0, 0, 0}, {1, 0, 0}, {0, 1, 0});
    while (static_cast<int>(b.mesh.vertices.size()) < count) b.Vertex({0.5f, 0.5f, 0});
    const auto c = b.Build();
    ASSERT_EQ(c->VertexCount(), count);
    EXPECT_EQ(c->IsLarge(), count == 501) << count;
  }
}

TEST(Collidee, OverlapsBoxTriesEveryTriangleInclusively) {
  TCollideeBuilder b;
  b.Triangle({0, 0, 0}, {10, 0, 0}, {0, 0, 10});   // floor
  b.Triangle({20, 0, 0}, {20, 5, 0}, {20, 0, 5});  // a wall at x = 20
  const auto c = b.Build();
  EXPECT_TRUE(c->OverlapsBox({1, 2, 0, 1, 1, 2}));     // touches the floor
  EXPECT_TRUE(c->OverlapsBox({19, 20, 0, 1, 0, 1}));   // touches the wall, the last face
  EXPECT_FALSE(c->OverlapsBox({12, 18, 0, 1, 0, 1}));  // in between, inside the box
  EXPECT_FALSE(c->OverlapsBox({1, 2, 0.01f, 1, 1, 2}));
}

TEST(Collidee, SweepBoxTakesEarliestContactLatestExitAndTheFirstOfEqualTimes) {
  // Two floor triangles meeting at x = 2, the second much larger and sloping down from there, plus
  // stray vertices that give the collidee a box of some height (so the mover's centre at contact
  // lies inside it).
  TCollideeBuilder b;
  b.Triangle({0, 0, 0}, {2, 0, 0}, {0, 0, 2});
  b.Triangle({2, 0, 0}, {20, -2, 0}, {2, 0, 18});
  b.Vertex({0, -5, 0});
  b.Vertex({20, 5, 18});
  const auto c = b.Build();
  // A box straddling both triangles, falling from 1 above.
  const TBoundsObject mover = TBoundsObject::Cube({2, 1.5f, 0.5f}, 0.5f);
  const TVector d{0.5f, -2, 0};
  const TCollideeSweep hit = c->SweepBox(mover, d);
  ASSERT_TRUE(hit.Hit);
  EXPECT_FLOAT_EQ(hit.FirstTime, 0.5f);
  EXPECT_FLOAT_EQ(hit.LastTime, 1.0f);
  const TVector expected = c->SlideResponse(mover, d, 0.5f, c->GetTriangle(0, 0));
  const TVector other = c->SlideResponse(mover, d, 0.5f, c->GetTriangle(0, 1));
  ASSERT_NE(expected, other);  // the two triangles push differently
  EXPECT_EQ(hit.Corrected, expected);

  // Moving up, away from both: no collision.
  const TCollideeSweep miss = c->SweepBox(mover, {0, 2, 0});
  EXPECT_FALSE(miss.Hit);
  EXPECT_EQ(miss.FirstTime, 0);
}

TEST(Collidee, SlideResponseAdvancesToContactAndPushesOffTheTriangle) {
  // A wall in the plane x = 5 (normal along -x as wound), with depth so its box has volume.
  TCollideeBuilder b;
  b.Triangle({5, 0, -10}, {5, 10, 10}, {5, 0, 10});
  b.Vertex({3, 0, 0});
  b.Vertex({7, 0, 0});
  const auto c = b.Build();
  const TBoundsObject mover = TBoundsObject::Cube({3, 5, 0}, 1);
  const TVector d{4, 0, 0};
  // Contact at t = 0.25 (the box face at x = 4 reaches x = 5): centre p = (4, 5, 0), inside the
  // collidee box. The triangle normal is flipped to the mover's side (-x); head-on, the mover
  // stops 0.01 before the contact and 0.01 off the wall.
  TVector corrected = c->SlideResponse(mover, d, 0.25f, c->GetTriangle(0, 0));
  EXPECT_NEAR(corrected.x, 0.98f, 1e-4);
  EXPECT_NEAR(corrected.y, 0, 1e-5);
  EXPECT_NEAR(corrected.z, 0, 1e-5);

  // Outside the collidee's box the surface comes from its bounds: here the box is the tighter
  // bound and p lies beyond its maximum z only, so it faces +z and the move away is kept whole,
  // plus the gap.
  const TBoundsObject beside = TBoundsObject::Cube({4, 5, 12}, 1);
  corrected = c->SlideResponse(beside, {0, 0, 2}, 0.5f, c->GetTriangle(0, 0));
  EXPECT_TRUE(c->BoxTighter);
  EXPECT_NEAR(corrected.x, 0, 1e-6);
  EXPECT_NEAR(corrected.z, 2 + 0.01f, 1e-5);
}

TEST(CollideeClass, ClassReferenceBuildsACollidee) {
  TCollideeBuilder b;
  b.Triangle({0, 0, 0}, {1, 0, 0}, {0, 1, 0});
  const auto& ref = TCollideeObject::Class();
  EXPECT_STREQ(ref.Name, "TCollideeObject");
  const auto object = ref.Create(TMaterialLookup{}, rlRelease3, b.mesh);
  EXPECT_NE(dynamic_cast<TCollideeObject*>(object.get()), nullptr);
}

}  // namespace
}  // namespace qv
