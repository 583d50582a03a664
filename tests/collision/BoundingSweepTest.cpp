#include "collision/BoundingSweep.h"

#include <gtest/gtest.h>

#include <cmath>

#include "tests/collision/BoundsObject.h"

namespace qv {
namespace {

using test::TBoundsObject;

TEST(SphereSweep, HeadOnGrazingAndMissing) {
  TSweepResult r;
  // Centres 10 apart, radii 1 each, moving 16: touching at 8/16, separating at 12/16.
  r = SweepSpheres({0, 0, 0, 1}, {16, 0, 0}, {10, 0, 0, 1});
  ASSERT_TRUE(r.Hit);
  EXPECT_FLOAT_EQ(r.FirstTime, 0.5f);
  EXPECT_FLOAT_EQ(r.LastTime, 0.75f);
  // Reaching contact exactly at the end of the step still collides; one short of it does not.
  EXPECT_TRUE(SweepSpheres({0, 0, 0, 1}, {8, 0, 0}, {10, 0, 0, 1}).Hit);
  EXPECT_FALSE(SweepSpheres({0, 0, 0, 1}, {7.9f, 0, 0}, {10, 0, 0, 1}).Hit);
  // Passing 2.5 beside the other's centre, beyond the combined radius 2.
  EXPECT_FALSE(SweepSpheres({0, 2.5f, 0, 1}, {20, 0, 0}, {10, 0, 0, 1}).Hit);
  // Moving away.
  EXPECT_FALSE(SweepSpheres({0, 0, 0, 1}, {-16, 0, 0}, {10, 0, 0, 1}).Hit);
}

TEST(SphereSweep, OverlappingAtStartOrNotMovingNeverCollides) {
  TSweepResult r;
  // Interpenetrating by 1: whichever way the mover goes there is no hit, so it can get out.
  r = SweepSpheres({0, 0, 0, 1}, {1, 0, 0}, {1, 0, 0, 1});
  EXPECT_FALSE(r.Hit);
  EXPECT_LT(r.FirstTime, 0.0f);
  EXPECT_FALSE(SweepSpheres({0, 0, 0, 1}, {-1, 0, 0}, {1, 0, 0, 1}).Hit);
  // No movement: an answer, not a division by zero.
  EXPECT_FALSE(SweepSpheres({0, 0, 0, 1}, {0, 0, 0}, {1, 0, 0, 1}).Hit);
}

TEST(BoxSweep, EntryAndExitPerAxis) {
  TSweepResult r;
  const TBox unit{0, 1, 0, 1, 0, 1};
  // Approaching along x: enters at 2/4, exits when fully past after 4/4.
  r = SweepBoxes(unit, {4, 0, 0}, {3, 4, 0, 1, 0, 1});
  ASSERT_TRUE(r.Hit);
  EXPECT_FLOAT_EQ(r.FirstTime, 0.5f);
  EXPECT_FLOAT_EQ(r.LastTime, 1.0f);
  // From the other side (mover above the other box on z).
  r = SweepBoxes({0, 1, 0, 1, 5, 6}, {0, 0, -8}, unit);
  ASSERT_TRUE(r.Hit);
  EXPECT_FLOAT_EQ(r.FirstTime, 0.5f);
  EXPECT_FLOAT_EQ(r.LastTime, 0.75f);
  // The latest entry of the axes decides: x reached at 0.25 but y only at 0.5.
  r = SweepBoxes(unit, {4, 4, 0}, {2, 6, 3, 7, 0, 1});
  ASSERT_TRUE(r.Hit);
  EXPECT_FLOAT_EQ(r.FirstTime, 0.5f);
  // Diagonal miss: x overlaps during [0.25, 0.75], y only from 1.0 on.
  EXPECT_FALSE(SweepBoxes(unit, {4, 2, 0}, {2, 3, 3, 4, 0, 1}).Hit);
  // Too far, moving away, standing beside on an axis with no speed.
  EXPECT_FALSE(SweepBoxes(unit, {1, 0, 0}, {3, 4, 0, 1, 0, 1}).Hit);
  EXPECT_FALSE(SweepBoxes(unit, {-4, 0, 0}, {3, 4, 0, 1, 0, 1}).Hit);
  EXPECT_FALSE(SweepBoxes(unit, {4, 0, 0}, {3, 4, 2, 3, 0, 1}).Hit);
}

TEST(BoxSweep, OverlappingBoxesCollideAtTimeZero) {
  TSweepResult r;
  r = SweepBoxes({0, 2, 0, 2, 0, 2}, {1, 0, 0}, {1, 3, 1, 3, 1, 3});
  ASSERT_TRUE(r.Hit);
  EXPECT_EQ(r.FirstTime, 0.0f);
  EXPECT_FLOAT_EQ(r.LastTime, 1.0f);
  // Moving out of the overlap: exit at 1/4 of the step.
  r = SweepBoxes({0, 2, 0, 2, 0, 2}, {-4, 0, 0}, {1, 3, 1, 3, 1, 3});
  ASSERT_TRUE(r.Hit);
  EXPECT_FLOAT_EQ(r.LastTime, 0.25f);
}

TEST(SweepAgainst, BoxWhenEitherPrefersItsBoxElseSpheres) {
  // Bounds that disagree on purpose: the spheres meet along the path, the boxes never do.
  const TBox moverBox{0, 1, 0, 1, 0, 1}, otherBox{5, 6, 50, 51, 0, 1};
  const TSphere moverSphere{0.5f, 0.5f, 0.5f, 1}, otherSphere{5.5f, 0.5f, 0.5f, 1};
  const TVector d{8, 0, 0};
  TSweepResult r;
  for (int mask = 0; mask < 4; ++mask) {
    const TBoundsObject mover(moverBox, moverSphere, mask & 1);
    const TBoundsObject other(otherBox, otherSphere, mask & 2);
    EXPECT_EQ(SweepAgainst(mover, d, other).Hit, mask == 0) << "mask " << mask;
  }
  const TBoundsObject mover(moverBox, moverSphere, false), other(otherBox, otherSphere, false);
  r = SweepAgainst(mover, d, other);
  ASSERT_TRUE(r.Hit);
  EXPECT_FLOAT_EQ(r.FirstTime, 3.0f / 8);
}

TEST(BoundingResponse, StopsShortOfTheOtherAndKeepsTheRestOfTheStepAlongIt) {
  const TBoundsObject mover({-1, 1, -1, 1, -1, 1}, {0, 0, 0, 1.5f}, true);
  const TVector position{0, -1, 0};  // the actor's origin, below its centre
  // Other box tighter, contact at t = 0.25: centre p = (1, 0, 0) lies left of its minimum x and
  // within y and z, so the surface faces -x. Head-on, the mover stops 0.02 short of the contact
  // (0.01 before it, 0.01 off the surface); at 45 degrees it keeps the whole move along z.
  const TBoundsObject wall({2, 3, -5, 5, -5, 5}, {2.5f, 0, 0, 7.1f}, true);
  const TVector r = BoundingResponse(mover, position, {4, 0, 0}, wall, 0.25f);
  EXPECT_NEAR(r.x, 0.98f, 1e-5);
  EXPECT_NEAR(r.y, -1, 1e-6);
  EXPECT_NEAR(r.z, 0, 1e-6);
  const TVector diagonal = BoundingResponse(mover, position, {4, 0, 4}, wall, 0.25f);
  EXPECT_NEAR(diagonal.x, 1 - 0.01f / std::sqrt(2.0f) - 0.01f, 1e-5);
  EXPECT_NEAR(diagonal.z, 4, 1e-5);

  // Sphere obstacle: the surface faces p - c = (-2, 1, 0); the rest of the step loses its part
  // along that direction and keeps the rest.
  const TBoundsObject ball({0, 0, 0, 0, 0, 0}, {3, -1, 0, 1}, false);
  const TVector s = BoundingResponse(mover, position, {4, 0, 0}, ball, 0.25f);
  const TVector n = VecNormalize({-2, 1, 0});
  EXPECT_NEAR(VecDot(VecSub(s, position), n), 0.99f * n.x + 0.01f, 1e-5);  // nothing more into it
  EXPECT_GT(s.y, -1 + 1);  // slid upwards round the ball

  // Contact centre exactly on the obstacle's centre: no direction, so it stops short.
  const TBoundsObject same({0, 0, 0, 0, 0, 0}, {1, 0, 0, 1}, false);
  EXPECT_EQ(BoundingResponse(mover, position, {4, 0, 0}, same, 0.25f), (TVector{0.99f, -1, 0}));
}

TEST(BoundingPush, AWayOutOfABoxEvenFromInside) {
  const TBox box{0, 10, 0, 4, 0, 10};
  const struct {
    TVector p, push;
  } cases[] = {
      {{-1, 2, 5}, {-1, 0, 0}},  {{11, 5, 11}, {1, 1, 1}},    // outside: the signs
      {{9, 2, 5}, {1, 0, 0}},    {{5, 0.5f, 5}, {0, -1, 0}},  // inside: the nearest face
      {{5, 2, 9.5f}, {0, 0, 1}},
  };
  for (const auto& c : cases)
    EXPECT_EQ(BoundingPush(c.p, true, box, {}), c.push) << c.p.x << " " << c.p.y << " " << c.p.z;
}

}  // namespace
}  // namespace qv
