// The movement step on small levels: ground, gravity, terrain edges and holes, walls, and actors
// meeting each other. Actors are 1 x 2 x 1 boxes (hover height 1.3).

#include "game/MovementStep.h"

#include <gtest/gtest.h>

#include <cmath>

#include "game/SearchGhostObject.h"
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

// A plain ghost made to walk on the ground, facing +x at speed 1: the step alone moves it (a
// search ghost would go round what stops it).
TGhostObject& Walker(TActorLevel& level, TVector at, float heading = -90, float speed = 1) {
  TGhostObject& g = level.Ghost("TGhostObject", "[w]\nUnitsPerSec=" + std::to_string(speed) + "\n");
  g.GravityFree = false;
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
      {"ramp", Quad({0, 0, 5}, {20, 10, 0}, {0, 0, -10}), {}, [](float x) { return x / 2; }},
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

// A plateau 3 high whose edge is a wall (a collidee one unit thick, its top just under the
// plateau's): the walker going off it comes down on the wall's top, slides over it and drops to the
// ground. Before, every attempt of the step pulled it into the wall's top again, and it froze.
TEST(MovementStep, WalksOffALedgeWhoseEdgeIsAWall) {
  TActorLevel level;
  level.Terrain(Floor(-20, 20, -5, 5, 0));
  level.Terrain(Floor(0, 10, -5, 5, 3));
  level.Collidee(Wall(0, -5, 0, 5, 0, 2.9f) + Wall(1, 5, 1, -5, 0, 2.9f) +
                 Floor(0, 1, -5, 5, 2.9f));
  level.Load();
  TGhostObject& g = Walker(level, {5, 3 + kHover, 0}, 90);  // heading 90 faces -x
  for (int frame = 0; frame < 30; ++frame) level.Step(0.5f);
  EXPECT_LT(g.Position().x, -5);
  EXPECT_NEAR(g.Position().y, kHover, 1e-3);
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

TEST(MovementStep, AnActorWalksAlongTheSeamWhereTwoTerrainTilesMeet) {
  TActorLevel level;
  level.Terrain(Floor(-10, 0, -10, 10, 0));
  level.Terrain(Floor(0, 10, -10, 10, 0));
  level.Load();
  TGhostObject& g = Walker(level, {0, kHover, 5}, 0);  // along -z, exactly on x = 0
  for (int frame = 0; frame < 10; ++frame) level.Step(0.5f);
  EXPECT_LT(g.Position().z, 0.5f);
  EXPECT_NEAR(g.Position().x, 0, 0.011f);
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
  TActorLevel::Put(b, {0.99f, kHover, 0});
  a.MoveVector = {-1, 0, 0};
  b.MoveVector = {};
  // Boxes (half width 0.5) overlap by 0.01; moving 1 away, a's box is clear after 1 % of the
  // step.
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
      level.Ghost("TShuttleGhostObject",
                  "[still]\nInitialxpos=-5\nMoveVecx=0\nMoveVecy=0\n"
                  "MoveVecz=0\n"));
  TActorLevel::Put(s, {0, kHover, 0});
  level.ghosts.ActivateAll();
  for (int think = 0; think < 4; ++think) {
    const float sign = think % 2 == 0 ? 1.0f : -1.0f;
    EXPECT_EQ(s.MoveVector.x, sign) << think;
    for (int frame = 0; frame < 10; ++frame) level.Step(0.5f);  // 5 units: into the wall
    EXPECT_LE(s.Position().x, 2.5f) << think;                   // never through it
    level.Advance(s.ThinkPeriod());
  }
  EXPECT_EQ(still.Position(), (TVector{-5, 0, 0}));
  EXPECT_EQ(s.State(), gsFree);
}

// A long wall at x = 5 (running along z); the walker comes from x = 3, or starts touching it.
TEST(MovementStep, WallsAreSlidAlongAndNeverPassed) {
  struct TCase {
    const char* name;
    bool cells;    // the wall made of 1 x 1 cells instead of two large triangles
    float startX;  // 4.5 touches the wall (the box as drawn is 1 wide)
    float angle;   // degrees off the wall's normal: 90 walks along it
    float speed;   // units per game second; steps are half of it
    float along;   // least share of the step kept along the wall once touching
  };
  const TCase cases[] = {
      {"head-on", false, 3, 0, 1, 0},
      {"30 into it", false, 3, 60, 1, 0.99f},
      {"60 into it", true, 3, 30, 1, 0.99f},
      {"along, touching", true, 4.5f, 90, 1, 0.99f},
      {"fast, touching", false, 4.5f, 0, 30, 0},  // steps 15 times the walker's depth
      {"fast at 45", true, 3, 45, 10, 0.99f},
  };
  for (const TCase& c : cases) {
    TActorLevel level;
    level.Terrain(Floor(-60, 60, -60, 60, 0));
    level.Collidee(Wall(5, -50, 5, 50, 0, 4, c.cells));
    level.Load();
    level.PlacePlayer({-30, kHover, 30});
    // Heading -90 faces +x (into the wall); turning towards 0 (-z) slides along it.
    TGhostObject& g = Walker(level, {c.startX, kHover, 20}, -90 + c.angle, c.speed);
    const float step = c.speed * 0.5f;
    const float wantedAlong = step * std::sin(c.angle * 3.14159265f / 180);
    TVector before = g.Position();
    bool touching = false;
    for (int frame = 0; frame < 12; ++frame) {
      level.Step(0.5f);
      const TVector p = g.Position();
      TBox box;
      g.GetBoundingBox(box);                                   // turned with the walker
      ASSERT_LE(box.maxX, 5) << c.name << " frame " << frame;  // never into or through it
      if (touching) {
        EXPECT_LT(std::fabs(p.x - before.x), 0.05f) << c.name << " frame " << frame;
        EXPECT_GE(before.z - p.z, c.along * wantedAlong - 1e-4f) << c.name << " frame " << frame;
      }
      touching = box.maxX > 4.95f;
      before = p;
    }
    EXPECT_TRUE(touching) << c.name;
  }
}

TEST(MovementStep, AWalkerInARoomOfSmallCellsReachesTheWallAndTurnsAlongIt) {
  TActorLevel level;
  level.Terrain(Floor(-20, 20, -20, 20, 0));
  level.Collidee(Wall(-5, -5, 5, -5, 0, 3, true) + Wall(5, -5, 5, 5, 0, 3, true) +
                 Wall(5, 5, -5, 5, 0, 3, true) + Wall(-5, 5, -5, -5, 0, 3, true));
  level.Load();
  level.PlacePlayer({-15, kHover, 15});
  TGhostObject& g = Walker(level, {0, kHover, -3}, -90, 1);
  TGhostObject& h = Walker(level, {2, kHover, 4}, -45, 1);  // half into the wall, half along it
  for (int frame = 0; frame < 12; ++frame) level.Step(0.5f);
  TBox box;
  g.GetBoundingBox(box);
  EXPECT_GT(box.maxX, 4.95f);  // at the wall, not frozen short of it
  EXPECT_LT(box.maxX, 5);
  h.GetBoundingBox(box);
  EXPECT_GT(box.maxX, 4.95f);
  EXPECT_LT(h.Position().z, 0.5f);  // and on along the wall
}

TEST(MovementStep, ActorsInsideAnObstaclesBoxAreLetOutAndAJumpOffTheTerrainComesDown) {
  TActorLevel level;
  level.Terrain(Floor(0, 10, -5, 5, 0));
  level.Load();
  level.PlacePlayer({9.5f, 4, 0});
  level.player.VerticalSpeed = -1;  // rising from a jump, pressing on over the terrain's edge
  for (int frame = 0; frame < 20; ++frame) {
    level.player.MoveForward();
    TActorLevel::Put(level.player, level.player.Position(), -90);
    level.Step(0.25f);
  }
  EXPECT_FLOAT_EQ(level.player.Position().y, kHover);
  EXPECT_LT(level.player.Position().x, 10);

  // Two ghosts whose centres lie inside each other's boxes walk on into each other: they part
  // instead of holding each other for good.
  TGhostObject& a = Walker(level, {4, kHover, 0}, -90, 1);
  TGhostObject& b = Walker(level, {4.2f, kHover, 0}, 90, 1);
  for (int frame = 0; frame < 10; ++frame) level.Step(0.25f);
  EXPECT_GT(std::fabs(a.Position().x - b.Position().x), 0.2f);
}

}  // namespace
}  // namespace qv::test

namespace qv::test {
namespace {

// A closed box of walls and a lid over x0..x1, z0..z1, height h; of 1 x 1 cells when `cells`.
TTriangles Crate(float x0, float x1, float z0, float z1, float h, bool cells = false) {
  return Wall(x0, z0, x1, z0, 0, h, cells) + Wall(x1, z0, x1, z1, 0, h, cells) +
         Wall(x1, z1, x0, z1, 0, h, cells) + Wall(x0, z1, x0, z0, 0, h, cells) +
         Floor(x0, x1, z0, z1, h);
}

// Each of these froze an actor that had a way to go: the push past a box's corner or a wall's
// end turned diagonal, a target over the terrain's edge was refused whole, a turn beside a wall
// was refused with the move. Every actor heads along the obstacle and a little into it.
TEST(MovementStep, NobodyFreezesWhereItHasAWayToGo) {
  struct TCase {
    const char* name;
    TTriangles obstacle;
    float terrainMaxZ;  // the terrain's edge on +z
    bool player;        // the player holding forward, else a walker at speed 2
    TVector start;
    float heading;   // degrees; -90 faces +x
    float turnRate;  // degrees per game second towards -45 (walkers only)
    TBox model;      // the actor's model box
    TVector way;     // unit direction it must make progress along
    float progress;  // least progress along `way` in 20 frames of 100 ms
  };
  const TBox cube{-0.5f, 0.5f, -1, 1, -0.5f, 0.5f};
  const TCase cases[] = {
      {"player along a wall past its end",
       Wall(-10, 0, 0, 0, 0, 3),
       30,
       true,
       {-5, kHover, 0.8f},
       -85,
       0,
       cube,
       {1, 0, 0},
       10},
      {"player along a crate past its corner",
       Crate(-10, 0, -4, 0, 3),
       30,
       true,
       {-5, kHover, 0.8f},
       -85,
       0,
       cube,
       {1, 0, 0},
       10},
      {"walker at a crate's corner",
       Crate(-10, 0, -4, 0, 3),
       30,
       false,
       {-3, kHover, 1.5f},
       -60,
       0,
       cube,
       {1, 0, 0},
       8},
      {"walker beside a large collision mesh",
       Crate(-10, 0, -10, 0, 12, true),
       30,
       false,
       {-5, kHover, 1},
       -60,
       0,
       cube,
       {1, 0, 0},
       8},
      {"walker at the terrain's edge", {}, 2, false, {-5, kHover, 1}, -120, 0, cube, {1, 0, 0}, 8},
      {"long walker turning beside a wall",
       Wall(5, 20, 5, -20, 0, 3),
       30,
       false,
       {4.5f, kHover, 10},
       0,
       -30,
       {-0.3f, 0.3f, -1, 1, -2, 2},
       {0, 0, -1},
       8},
  };
  for (const TCase& c : cases) {
    TActorLevel level;
    level.Terrain(Floor(-30, 30, -30, c.terrainMaxZ, 0));
    const TCollideeObject* obstacle = c.obstacle.empty() ? nullptr : &level.Collidee(c.obstacle);
    level.Load();
    TGhostObject* actor = &level.player;
    if (c.player) {
      level.PlacePlayer({-25, kHover, -25});
      TActorLevel::Put(level.player, c.start, c.heading);
      level.player.SetSpeed(2);
    } else {
      auto& walker = static_cast<TSearchGhostObject&>(level.Ghost("TSearchGhostObject", c.model));
      TActorLevel::Put(walker, c.start, c.heading);
      walker.SetSpeed(2);
      walker.TurnRate = c.turnRate;
      walker.TargetHeading = c.turnRate == 0 ? c.heading : -45;
      actor = &walker;
    }
    for (int frame = 0; frame < 20; ++frame) {
      if (c.player) level.player.MoveForward();
      level.Step(0.5f);
      TBox box;
      actor->GetBoundingBox(box);
      if (obstacle && obstacle->OverlapsBox(box)) {
        ADD_FAILURE() << c.name << ": inside the obstacle at frame " << frame;
        break;
      }
    }
    EXPECT_GE(VecDot(VecSub(actor->Position(), c.start), c.way), c.progress) << c.name;
    EXPECT_EQ(obstacle && obstacle->IsLarge(), c.obstacle.size() > 500) << c.name;
  }
}

}  // namespace
}  // namespace qv::test
