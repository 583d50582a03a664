// Thousands of random moves in closed rooms: walls of two large triangles per side and of 1 x 1
// cells, thin panels inside (wall ends), small crates (outer corners), a pillar of more than 500
// vertices (met by its box), frame times from 1 ms to 5 s, cube, long and off-centre models.
// After every step no actor's box overlaps a wall or has left its room, every touch happened
// where the boxes as drawn meet, and no actor that wants to move stays frozen for long.

#include <gtest/gtest.h>

#include <algorithm>
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

TTriangles Crate(float x0, float x1, float z0, float z1, float h, bool cells) {
  return RoomWalls({x0, x1, z0, z1, cells}) + Floor(x0, x1, z0, z1, h) +
         (cells ? Wall(x0, z0, x1, z0, 3, h, true) + Wall(x1, z0, x1, z1, 3, h, true) +
                      Wall(x1, z1, x0, z1, 3, h, true) + Wall(x0, z1, x0, z0, 3, h, true)
                : TTriangles{});
}

// How far apart two boxes are: the largest gap over the axes (negative when they overlap).
float Gap(const TBox& a, const TBox& b) {
  return std::max({a.minX - b.maxX, b.minX - a.maxX, a.minY - b.maxY, b.minY - a.maxY,
                   a.minZ - b.maxZ, b.minZ - a.maxZ});
}

TBox BoxOf(const T3dObject& object) {
  TBox box;
  object.GetBoundingBox(box);
  return box;
}

TEST(MovementProperty, RandomMovesStayInTheirRoomsOutOfTheWallsAndNeverFreezeForLong) {
  const TRoom rooms[] = {
      {-26, -6, -10, 10, false}, {6, 26, -10, 10, true}, {30, 54, -10, 10, false}};
  TActorLevel level;
  level.Terrain(FloorCells(-30, 56, -12, 12, 0));
  std::vector<const TCollideeObject*> walls;
  for (const TRoom& r : rooms) walls.push_back(&level.Collidee(RoomWalls(r)));
  for (int i = 0; i < 2; ++i) {
    const TRoom& r = rooms[i];
    const float mx = (r.x0 + r.x1) / 2;  // a thin panel across the middle, open at both ends
    walls.push_back(&level.Collidee(Wall(mx, r.z0 + 4, mx, r.z1 - 4, 0, 3, r.cells)));
  }
  walls.push_back(&level.Collidee(Crate(-24, -22, -8, -6, 2, false)));
  walls.push_back(&level.Collidee(Crate(21, 23, 3, 5, 2, true)));
  const TCollideeObject& pillar = level.Collidee(Crate(36, 46, -5, 5, 12, true));
  ASSERT_TRUE(pillar.IsLarge());
  walls.push_back(&pillar);
  level.Load();

  struct TActor {
    TGhostObject* ghost;
    const TRoom* room;
    float frozen = 0;  // game seconds without moving while wanting to
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
  TGhostObject& longOne = level.Ghost("TSearchGhostObject", TBox{-0.3f, 0.3f, -1, 1, -2, 2});
  TActorLevel::Put(longOne, {33, 1.3f, 7});
  actors.push_back({&longOne, &rooms[2]});
  TGhostObject& offCentre = level.Ghost("TSearchGhostObject", TBox{1, 2, -1, 1, -0.5f, 0.5f});
  TActorLevel::Put(offCentre, {49, 1.3f, -7});
  actors.push_back({&offCentre, &rooms[2]});

  // A touch is told while the mover's box as drawn, carried along its move of this step, meets
  // the other's: no further apart than the move's length (diagonal for the player) and 0.1.
  float dt = 0;
  float farthestTouch = 0;
  level.context.OnTouch = [&](const TGhostObject& mover, const TGhostObject& other) {
    const float reach = mover.Speed() * mover.SpeedFactor * std::min(dt, kMaxStepTime) * 1.12f;
    farthestTouch = std::max(farthestTouch, Gap(BoxOf(mover), BoxOf(other)) - reach);
  };

  std::mt19937 random(2024);
  std::uniform_real_distribution<float> unit(0, 1);
  float longestFreeze = 0;
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
    bool playerWantsToMove = false;
    if (unit(random) < 0.7f) level.player.MoveForward(), playerWantsToMove = true;
    if (unit(random) < 0.3f) level.player.StrafeLeft(), playerWantsToMove = true;
    // Frame times spread evenly over the orders of magnitude from 1 ms to 5 s; a step moves at
    // most 100 ms.
    const float ms = std::pow(10.0f, unit(random) * std::log10(5000.0f));
    const float gameSeconds = std::min(ms, 100.0f) / 1000;
    dt = ms / 1000 * 5;

    for (TActor& a : actors) {  // the player first, then the ghosts in collection order
      const TVector before = a.ghost->Position();
      StepActor(level.context, *a.ghost, dt);
      const std::string where = a.ghost->Name + " frame " + std::to_string(frame);
      const TBox box = BoxOf(*a.ghost);
      for (const TCollideeObject* wall : walls) ASSERT_FALSE(wall->OverlapsBox(box)) << where;
      ASSERT_GT(Gap(box, BoxOf(pillar)), 0) << where;
      const TRoom& r = *a.room;
      ASSERT_TRUE(box.minX > r.x0 && box.maxX < r.x1 && box.minZ > r.z0 && box.maxZ < r.z1)
          << where << " at " << box.minX << " " << box.minZ;
      ASSERT_GT(a.ghost->Position().y, 1.29f) << where;
      const bool wants = a.ghost != &level.player || playerWantsToMove;
      a.frozen = wants && a.ghost->Position() == before ? a.frozen + gameSeconds : 0;
      longestFreeze = std::max(longestFreeze, a.frozen);
    }
  }
  EXPECT_LE(longestFreeze, 2.0f);
  EXPECT_LE(farthestTouch, 0.1f);
}

}  // namespace
}  // namespace qv::test
