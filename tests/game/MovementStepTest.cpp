// The movement step on small levels: ground, gravity, terrain edges and holes, walls, and actors
// meeting each other. Actors are 1 x 2 x 1 boxes (hover height 1.3).

#include "game/MovementStep.h"

#include <gtest/gtest.h>

#include <cmath>

#include "game/ShuttleGhostObject.h"
#include "tests/game/ActorLevel.h"

namespace qv::test {
namespace {

constexpr float kHover = 1.3f;

TEST(MovementStep, FallsFrameByFrameWithGravityAndRestsAtTheHoverHeight) {
  TActorLevel level;
  level.Terrain(Floor(-20, 20, -20, 20, 0));
  level.Load();
  level.PlacePlayer({1, 10, 2});
  // The player starts with vertical speed 0.2; each frame adds dt * 6 before it moves down.
  float y = 10, speed = 0.2f;
  const float dt = 0.1f;
  int frames = 0;
  while (speed != 0 && frames < 100) {
    speed += dt * 6.0f;
    y -= dt * speed;
    if (y <= kHover) y = kHover, speed = 0;
    level.Step(dt);
    ++frames;
    ASSERT_FLOAT_EQ(level.player.Position().y, y) << "frame " << frames;
    ASSERT_FLOAT_EQ(level.player.VerticalSpeed, speed) << "frame " << frames;
  }
  EXPECT_GT(frames, 5);
  EXPECT_EQ(level.player.Position(), (TVector{1, kHover, 2}));
  for (int k = 0; k < 5; ++k) level.Step(dt);  // standing: no speed builds up
  EXPECT_EQ(level.player.VerticalSpeed, 0);
  EXPECT_EQ(level.player.Position(), (TVector{1, kHover, 2}));
}

// A search ghost (it walks on the ground) facing +x at speed 1, never thinking.
TGhostObject& Walker(TActorLevel& level, TVector at, float heading = -90) {
  TGhostObject& g = level.Ghost("TSearchGhostObject", "[w]\nUnitsPerSec=1\n");
  TActorLevel::Put(g, at, heading);
  g.VerticalSpeed = 0;
  return g;
}

TEST(MovementStep, WalksUpARampAndAcrossAHoleBridgedByAnotherTerrain) {
  struct TCase {
    const char* name;
    TTriangles ground, bridge;
    float (*height)(float x);  // expected ground under x
  };
  const TCase cases[] = {
      {"ramp", Quad({0, 0, 5}, {20, 10, 0}, {0, 0, -10}), {},
       [](float x) { return x / 2; }},
      {"bridge", Floor(0, 8, -5, 5, 0) + Floor(12, 20, -5, 5, 0), Floor(6, 14, -2, 2, 0.5f),
       [](float x) { return x > 6 && x < 14 ? 0.5f : 0.0f; }},  // box bounds exclusive
  };
  for (const TCase& c : cases) {
    TActorLevel level;
    level.Terrain(c.ground);
    if (!c.bridge.empty()) level.Terrain(c.bridge);
    level.Load();
    TGhostObject& g = Walker(level, {1, c.height(1) + kHover, 0});
    for (int frame = 0; frame < 30; ++frame) {
      level.Step(0.5f);
      const TVector p = g.Position();
      ASSERT_NEAR(p.y, c.height(p.x) + kHover, 1e-3) << c.name << " at x " << p.x;
    }
    EXPECT_NEAR(g.Position().x, 16, 1e-3) << c.name;
  }
}

TEST(MovementStep, ATargetOffEveryTerrainIsRefusedHorizontally) {
  TActorLevel level;
  level.Terrain(Floor(0, 10, -5, 5, 0));
  level.Load();
  TGhostObject& g = Walker(level, {9, kHover, 0});
  for (int frame = 0; frame < 10; ++frame) level.Step(0.5f);
  EXPECT_EQ(g.Position().x, 9.5f);  // 10 lies on the terrain box's edge, outside it
  EXPECT_FLOAT_EQ(g.Position().y, kHover);
}

TEST(MovementStep, AMoveEndingInsideACollideeTriangleIsRevertedWhole) {
  TActorLevel level;
  level.Terrain(Floor(-20, 20, -20, 20, 0));
  level.Collidee(Wall(5, -5, 5, 5, 0, 4));
  level.Load();
  TGhostObject& g = Walker(level, {0, kHover, 0});
  PlaceActor(level.context, g, {5, kHover, 0});  // the wall would cut the box
  EXPECT_EQ(g.Position(), (TVector{0, kHover, 0}));
  EXPECT_FALSE(g.IsDirty());
  PlaceActor(level.context, g, {3, kHover, 0});
  EXPECT_EQ(g.Position(), (TVector{3, kHover, 0}));
}

TEST(MovementStep, InterpenetratingActorsMovingApartAreLetThrough) {
  TActorLevel level;
  level.Terrain(Floor(-20, 20, -20, 20, 0));
  level.Load();
  level.PlacePlayer({10, kHover, 10});
  auto& a = static_cast<TShuttleGhostObject&>(level.Ghost("TShuttleGhostObject"));
  auto& b = static_cast<TShuttleGhostObject&>(level.Ghost("TShuttleGhostObject"));
  TActorLevel::Put(a, {0, kHover, 0});
  TActorLevel::Put(b, {0.95f, kHover, 0});
  a.MoveVector = {-1, 0, 0};
  b.MoveVector = {};
  // Boxes overlap by 0.05; moving 1 away, a's box is clear after 5 % of the step.
  MoveActor(level.context, a, 1);
  EXPECT_EQ(a.Position(), (TVector{-1, kHover, 0}));
}

TEST(ShuttleGhost, ReversesAtEveryThinkStepAlsoWhenBlockedAndAZeroVectorStands) {
  TActorLevel level;
  level.Terrain(Floor(-20, 20, -20, 20, 0));
  level.Collidee(Wall(3, -5, 3, 5, 0, 4));
  level.Load();
  level.PlacePlayer({-10, kHover, -10});
  auto& s = static_cast<TShuttleGhostObject&>(
      level.Ghost("TShuttleGhostObject", "[s]\nMoveVecx=1\nMoveVecy=0\nMoveVecz=0\n"));
  auto& still = static_cast<TShuttleGhostObject&>(
      level.Ghost("TShuttleGhostObject", "[still]\nInitialxpos=-5\nMoveVecx=0\nMoveVecy=0\n"
                                         "MoveVecz=0\n"));
  TActorLevel::Put(s, {0, kHover, 0});
  level.ghosts.ActivateAll();
  for (int think = 0; think < 4; ++think) {
    const float sign = think % 2 == 0 ? 1.0f : -1.0f;
    EXPECT_EQ(s.MoveVector.x, sign) << think;
    for (int frame = 0; frame < 10; ++frame) level.Step(0.5f);  // 5 units: into the wall
    EXPECT_LE(s.Position().x, 2.5f) << think;  // never through it
    level.Advance(s.ThinkPeriod());
  }
  EXPECT_EQ(still.Position(), (TVector{-5, 0, 0}));
  EXPECT_EQ(s.State(), gsFree);
}

}  // namespace
}  // namespace qv::test
