// The player's movement request: one frame's input, added up, doubled when running, cleared by
// every step; jumping and flying; the start values from the level file.

#include "game/PlayerObject.h"

#include <gtest/gtest.h>

#include <cmath>

#include "platform/IniFile.h"
#include "tests/game/ActorLevel.h"

namespace qv::test {
namespace {

TEST(Player, RequestsAddUpPerFrameAndEveryStepClearsThem) {
  struct TCase {
    const char* name;
    void (*input)(TPlayerObject&);
    float length;  // of the horizontal request, heading 30
  };
  const TCase cases[] = {
      {"forward", [](TPlayerObject& p) { p.MoveForward(); }, 1},
      {"backward", [](TPlayerObject& p) { p.MoveBackward(); }, 0.66f},
      {"diagonal", [](TPlayerObject& p) { p.MoveForward(), p.StrafeLeft(); }, std::sqrt(1.25f)},
      {"running", [](TPlayerObject& p) { p.SetRunning(true), p.MoveForward(), p.StrafeRight(); },
       2 * std::sqrt(1.25f)},
  };
  for (const TCase& c : cases) {
    TActorLevel level;
    level.Terrain(Floor(-50, 50, -50, 50, 0));
    level.Load();
    level.PlacePlayer({0, 1.3f, 0});
    TActorLevel::Put(level.player, {0, 1.3f, 0}, 30);
    level.Step(0.1f);  // settles onto the ground
    const TVector start = level.player.Position();
    c.input(level.player);
    EXPECT_NEAR(VecLength(level.player.Request), c.length, 1e-5) << c.name;
    level.Step(0.5f);
    const TVector moved = VecSub(level.player.Position(), start);
    EXPECT_NEAR(VecLength(moved), c.length * 0.5f, 1e-4) << c.name;  // speed 1
    EXPECT_EQ(level.player.Request, TVector{}) << c.name;
    level.Step(0.5f);  // nothing held: stands
    EXPECT_EQ(VecSub(level.player.Position(), start), moved) << c.name;
  }
}

TEST(Player, JumpsOnlyFromTheGroundUnlessItFlies) {
  TActorLevel level;
  level.Terrain(Floor(-50, 50, -50, 50, 0));
  level.Load();
  level.PlacePlayer({0, 1.3f, 0});
  level.Step(0.1f);
  ASSERT_EQ(level.player.VerticalSpeed, 0);
  level.player.Jump();
  EXPECT_EQ(level.player.VerticalSpeed, -4);
  EXPECT_EQ(level.player.Request.y, 1);
  level.Step(0.1f);
  const float top = level.player.Position().y;
  EXPECT_GT(top, 1.3f);
  level.player.Jump();  // in the air: no second push
  EXPECT_GT(level.player.VerticalSpeed, -4);
  for (int frame = 0; frame < 40; ++frame) level.Step(0.1f);
  EXPECT_FLOAT_EQ(level.player.Position().y, 1.3f);

  level.player.AbleToFly = true;
  level.player.Jump();  // -4 halved; the request climbs by 4 / 2 + 1 + 2.5
  EXPECT_EQ(level.player.VerticalSpeed, -2);
  EXPECT_EQ(level.player.Request.y, 5.5f);
}

TEST(Player, ReadsItsStartFromTheLevelFileAndEyesFollowCrouching) {
  TActorLevel level;
  const TIniFile ini = TIniFile::FromText(
      "[Player]\nStartingxpos=3\nStartingypos=4\nStartingzpos=5\nHeading=90\nAbleToFly=1\n");
  level.player.LoadFromIni(ini, "Player");
  EXPECT_EQ(level.player.Position(), (TVector{3, 4, 5}));
  EXPECT_EQ(level.player.Heading(), 90);
  EXPECT_EQ(level.player.Speed(), 2);
  EXPECT_TRUE(level.player.AbleToFly);
  TBox box;
  level.player.GetBoundingBox(box);  // the 1 x 2 x 1 model's box turned by 90 degrees
  EXPECT_NEAR(box.minX, 2.5f, 1e-6);
  EXPECT_NEAR(box.maxZ, 5.5f, 1e-6);
  EXPECT_NEAR(box.minY, 3, 1e-6);
  EXPECT_FLOAT_EQ(level.player.EyeHeight(), 5.0f / 9);
  level.player.Standing = false;
  EXPECT_EQ(level.player.EyeHeight(), 0);
}

}  // namespace
}  // namespace qv::test
