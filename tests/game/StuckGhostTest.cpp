// Ghosts against walls they cannot pass: a search ghost pressed head-on goes round, and the probe
// that tells stuck from boxed in. Actors are 1 x 2 x 1 boxes (hover height 1.3).

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "game/MovementStep.h"
#include "game/SearchGhostObject.h"
#include "tests/game/ActorLevel.h"

namespace qv::test {
namespace {

constexpr float kHover = 1.3f;

struct TObstacleCase {
  const char* name;
  TTriangles walls;
  TVector start;
  float heading;  // straight into the walls
};

// A wall across -z, a corner to walk into diagonally, a dead end of a corridor, and a closed cell.
const TObstacleCase kObstacles[] = {
    {"head-on wall", Wall(-10, -3, 10, -3, 0, 3), {0, kHover, 0}, 0},
    {"inner corner", Wall(-10, -3, 3, -3, 0, 3) + Wall(3, -3, 3, 10, 0, 3), {0, kHover, 0}, -45},
    {"dead end",
     Wall(-1.5f, -4, -1.5f, 10, 0, 3) + Wall(1.5f, 10, 1.5f, -4, 0, 3) +
         Wall(1.5f, -4, -1.5f, -4, 0, 3),
     {0, kHover, 5},
     0},
    {"closed cell",
     Wall(-0.6f, -0.6f, 0.6f, -0.6f, 0, 3) + Wall(0.6f, -0.6f, 0.6f, 0.6f, 0, 3) +
         Wall(0.6f, 0.6f, -0.6f, 0.6f, 0, 3) + Wall(-0.6f, 0.6f, -0.6f, -0.6f, 0, 3),
     {0, kHover, 0},
     0},
};

TGhostObject& WalkerInto(TActorLevel& level, const TObstacleCase& c) {
  level.Terrain(FloorCells(-20, 20, -20, 20, 0));
  level.Collidee(c.walls);
  level.Load();
  level.PlacePlayer({15, kHover, 15});
  auto& ghost =
      static_cast<TSearchGhostObject&>(level.Ghost("TSearchGhostObject", "[w]\nUnitsPerSec=1\n"));
  TActorLevel::Put(ghost, c.start, c.heading);
  ghost.TargetHeading = c.heading;  // no think step runs: it keeps pushing that way
  ghost.TurnRate = 0;
  return ghost;
}

// Before the detour a ghost pushed at a wall with its move all into it stood there until a think
// step turned it, and one steering at a hider behind the wall was aimed at it again at once.
TEST(StuckGhost, GoesRoundWhatStopsItUnlessBoxedIn) {
  for (const TObstacleCase& c : kObstacles) {
    SCOPED_TRACE(c.name);
    TActorLevel level;
    TGhostObject& ghost = WalkerInto(level, c);
    const bool cell = std::string(c.name) == "closed cell";
    EXPECT_EQ(IsBoxedIn(level.context, ghost, 0.5f), cell);
    int frozen = 0, longestFrozen = 0;
    float farthest = 0;
    for (int frame = 0; frame < 400; ++frame) {  // 40 s at 10 frames a second
      const TVector before = ghost.Position();
      StepActor(level.context, ghost, 0.5f);
      frozen = ghost.Position() == before ? frozen + 1 : 0;
      longestFrozen = std::max(longestFrozen, frozen);
      const TVector at = ghost.Position();
      farthest = std::max(farthest, std::hypot(at.x - c.start.x, at.z - c.start.z));
    }
    if (cell) {
      EXPECT_LT(farthest, 0.5f);
      EXPECT_TRUE(IsBoxedIn(level.context, ghost, 0.5f));
    } else {
      EXPECT_LE(longestFrozen, 20) << "frames without moving";  // two seconds
      EXPECT_GT(farthest, 5.0f) << "it never got away from the wall";
    }
  }
}

}  // namespace
}  // namespace qv::test
