// Thousands of random moves in closed rooms: walls of two large triangles per side and of 1 x 1
// cells, thin panels inside, frame times from 1 ms to 5 s. After every step no actor overlaps a
// wall triangle or has left its room, and no actor stays frozen for long.

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "game/MovementStep.h"
#include "game/SearchGhostObject.h"
#include "tests/game/ActorLevel.h"

namespace qv::test {
namespace {

struct TRoom {
  float x0, x1, z0, z1;
  bool cells;
};

TTriangles RoomWalls(const TRoom& r) {
  return Wall(r.x0, r.z0, r.x1, r.z0, 0, 3, r.cells) + Wall(r.x1, r.z0, r.x1, r.z1, 0, 3, r.cells) +
         Wall(r.x1, r.z1, r.x0, r.z1, 0, 3, r.cells) + Wall(r.x0, r.z1, r.x0, r.z0, 0, 3, r.cells);
}

TEST(MovementProperty, RandomMovesStayInTheirRoomsOutOfTheWallsAndNeverFreezeForLong) {
  const TRoom rooms[] = {{-26, -6, -10, 10, false}, {6, 26, -10, 10, true}};
  TActorLevel level;
  level.Terrain(FloorCells(-30, 30, -12, 12, 0));
  std::vector<const TCollideeObject*> walls;
  for (const TRoom& r : rooms) {
    walls.push_back(&level.Collidee(RoomWalls(r)));
    const float mx = (r.x0 + r.x1) / 2;  // a thin panel across the middle, open at both ends
    walls.push_back(&level.Collidee(Wall(mx, r.z0 + 4, mx, r.z1 - 4, 0, 3, r.cells)));
  }
  level.Load();

  struct TActor {
    TGhostObject* ghost;
    const TRoom* room;
    int frozen = 0;
  };
  std::vector<TActor> actors;
  level.PlacePlayer({-20, 1.3f, 5});
  actors.push_back({&level.player, &rooms[0]});
  const TVector starts[] = {{-11, 1.3f, -5}, {-20, 1.3f, -5}, {11, 1.3f, 5}, {20, 1.3f, -5}};
  for (int i = 0; i < 4; ++i) {
    TGhostObject& g = level.Ghost("TSearchGhostObject", "[g" + std::to_string(i) + "]\n");
    TActorLevel::Put(g, starts[i]);
    actors.push_back({&g, &rooms[i / 2]});
  }

  std::mt19937 random(2024);
  std::uniform_real_distribution<float> unit(0, 1);
  int longestFreeze = 0;
  for (int frame = 0; frame < 2500; ++frame) {
    if (frame % 5 == 0) {  // new headings and speeds, as think steps would give
      for (TActor& a : actors) {
        const float heading = unit(random) * 360 - 180;
        TActorLevel::Put(*a.ghost, a.ghost->Position(), a.ghost->Heading());
        a.ghost->SetHeading(heading);
        a.ghost->SetSpeed(0.5f + 3 * unit(random));
        if (auto* s = dynamic_cast<TSearchGhostObject*>(a.ghost)) {
          s->TargetHeading = heading;
          s->TurnRate = 0;
        }
      }
    }
    if (unit(random) < 0.7f) level.player.MoveForward();
    if (unit(random) < 0.3f) level.player.StrafeLeft();
    // Frame times spread evenly over the orders of magnitude from 1 ms to 5 s.
    const float ms = std::pow(10.0f, unit(random) * std::log10(5000.0f));
    std::vector<TVector> before;
    for (const TActor& a : actors) before.push_back(a.ghost->Position());
    level.Step(ms / 1000 * 5);

    for (size_t i = 0; i < actors.size(); ++i) {
      TActor& a = actors[i];
      TBox box;
      a.ghost->GetBoundingBox(box);
      for (const TCollideeObject* wall : walls)
        ASSERT_FALSE(wall->OverlapsBox(box)) << a.ghost->Name << " frame " << frame;
      const TVector p = a.ghost->Position();
      ASSERT_TRUE(p.x > a.room->x0 && p.x < a.room->x1 && p.z > a.room->z0 && p.z < a.room->z1)
          << a.ghost->Name << " frame " << frame << " at " << p.x << " " << p.z;
      ASSERT_GT(p.y, 1.29f) << a.ghost->Name << " frame " << frame;
      a.frozen = p == before[i] ? a.frozen + 1 : 0;
      longestFreeze = std::max(longestFreeze, a.frozen);
    }
  }
  // Fifteen frames are three choices of heading, each of which may point into a corner.
  EXPECT_LE(longestFreeze, 15);
}

}  // namespace
}  // namespace qv::test
