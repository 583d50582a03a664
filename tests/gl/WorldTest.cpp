// The world of one level on copies of the demo data, with a real context: what a level file
// makes of a world, the sky's fallbacks and drift, the reflection schedule and the end of a world.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>

#include "game/AlarmDispatcher.h"
#include "game/World.h"
#include "platform/IniFile.h"
#include "scene/CubeTexture.h"
#include "scene/Simple3dObject.h"
#include "tests/support/GLTestContext.h"
#include "tests/support/ScopedLog.h"
#include "tests/support/TempDir.h"

namespace {

namespace fs = std::filesystem;
const fs::path kDemo = QV_BUILD_DIR;

// A folder of its own as the current directory, holding objects/Player.3ds (and the shared sky
// box when asked) and a level folder "level/" made from Tiny's geometry, Showcase's ghost models
// and the given level file.
class WorldTest : public ::testing::Test {
 protected:
  void MakeLevel(const std::string& levelIni, bool sharedSky) {
    fs::create_directories(dir_.Path() / "objects");
    fs::copy(kDemo / "objects/Player.3ds", dir_.Path() / "objects/Player.3ds");
    if (sharedSky) {
      fs::copy(kDemo / "objects/SkyBox.3DS", dir_.Path() / "objects/SkyBox.3DS");
      fs::copy(kDemo / "objects/sky.tga", dir_.Path() / "objects/sky.tga");
    }
    fs::copy(kDemo / "levels/Tiny", dir_.Path() / "level");
    fs::remove(dir_.Path() / "level/bop");
    fs::copy(kDemo / "levels/Showcase/ghosts", dir_.Path() / "level/ghosts");
    std::ofstream(dir_.Path() / "level/Level.ini") << levelIni;
  }
  std::unique_ptr<qv::TWorld> Load(int seed = 7) {
    auto world = std::make_unique<qv::TWorld>(seed);
    world->LoadFromLevelFile(0, "level\\", qv::TIniFile(dir_.Path() / "level/Level.ini"));
    return world;
  }

  qv::test::ScopedLog log_;
  qv::test::TempDir dir_;
  qv::test::ScopedCurrentDir cwd_{dir_.Path()};
  qv::test::GLTestContext gl_{64, 64};
  std::int64_t now_ = 0;
  bool clockSet_ = (qv::GlobalAlarmDispatcher().SetClock([this] { return now_; }), true);
};

TEST_F(WorldTest, APlayerOnlyLevelHasNoGhostsNoGameAndWithoutSkyFilesNoSky) {
  MakeLevel("[Player]\nFogEnd=321\nStartingxpos=3\n", false);
  const auto world = Load();
  EXPECT_EQ(world->GetGhosts().GhostCount(), 0);
  EXPECT_FALSE(world->GameRunning());
  EXPECT_EQ(world->GetSkyObjects().MemberCount(), 0);
  EXPECT_FLOAT_EQ(world->FogEnd, 321);
  EXPECT_FLOAT_EQ(world->FogStart, 50);
  EXPECT_EQ(world->FogColor, (qv::TColor{0.6f, 0.6f, 0.6f, 1}));
  EXPECT_FLOAT_EQ(world->GetPlayer().Position().x, 3);
  EXPECT_EQ(world->AdapterCount(), 2);  // the player and the geometry
}

TEST_F(WorldTest, ALowerCasePlayerSectionServesAsPlayerAndAsGhostInFileOrder) {
  MakeLevel(
      "[b]\nfilename=ghosts\\WISP.3ds\nclassname=TSearchGhostObject\n"
      "[player]\nFogStart=77\nfilename=ghosts\\Shade.3ds\nclassname=TShuttleGhostObject\n"
      "[empty]\nclassname=TSearchGhostObject\n"
      "[a]\nfilename=ghosts\\Drifter.3ds\nclassname=Nonsense\n",
      true);
  const auto world = Load();
  EXPECT_FLOAT_EQ(world->FogStart, 77);
  qv::TGhostObjects& ghosts = world->GetGhosts();
  ASSERT_EQ(ghosts.GhostCount(), 3);
  EXPECT_EQ(ghosts.GhostAt(0).Name, "b");
  EXPECT_EQ(ghosts.GhostAt(1).Name, "player");
  EXPECT_EQ(ghosts.GhostAt(2).Name, "a");
  EXPECT_GT(world->GetSkyObjects().MemberCount(), 0);  // the shared sky box
  // Every level starts with a reset one second after loading; then nobody seeks.
  world->PlayerStartsSeeking();
  now_ = 1000;
  qv::GlobalAlarmDispatcher().FireDue(now_);
  EXPECT_FALSE(world->GameRunning());
}

TEST_F(WorldTest, TheSkyDriftsAFifthOfAPercentPerUnitAndIsDrawnFromItsArrays) {
  MakeLevel("[Player]\n", true);
  const auto world = Load();
  world->SetUseDisplayLists(true);
  auto* sky = dynamic_cast<qv::TSimple3dObject*>(world->GetSkyObjects().GetMember(0));
  ASSERT_TRUE(sky && sky->HasTexCoordsPerVertex());
  const qv::TTexCoord before = sky->GetTexCoord(0);
  world->Step(2.0f);
  EXPECT_FALSE(sky->Compiled);
  EXPECT_FLOAT_EQ(sky->GetTexCoord(0).u, before.u + 0.01f);
  EXPECT_FLOAT_EQ(sky->GetTexCoord(0).v, before.v + 0.01f);
}

TEST_F(WorldTest, ThePendingEndOfGameRunsOnTheOldWorldBeforeItGoes) {
  MakeLevel("[g]\nfilename=ghosts\\Wisp.3ds\nclassname=TSearchGhostObject\n", false);
  auto world = Load();
  world->PlayerStartsSeeking();
  bool ran = false;
  qv::TWorld* old = world.get();
  qv::GlobalAlarmDispatcher().AddIn([&ran, old] { ran = !old->GameRunning(); }, 50000);
  world.reset();
  EXPECT_TRUE(ran);  // fired by the world's end, after its own reset, while it still existed
  EXPECT_TRUE(qv::GlobalAlarmDispatcher().Empty());  // the ghost's think chain ended too
}

// The showcase has reflecting meshes. With a frustum that sees nothing, the random refreshes find
// no visible mesh, and every fifth frame after the first five refreshes the next one in turn.
TEST(WorldReflections, OnlyTheScheduledRefreshReachesAMeshOutOfView) {
  qv::test::ScopedLog log;
  qv::test::ScopedCurrentDir cwd(kDemo);
  qv::test::GLTestContext gl(64, 64);
  std::int64_t now = 0;
  qv::GlobalAlarmDispatcher().SetClock([&now] { return now; });
  qv::TWorld world(3);
  world.LoadFromLevelFile(2, "levels\\Showcase\\", qv::TIniFile("levels/Showcase/Level.ini"));
  world.PrepareGL();
  ASSERT_GT(world.CubeMappedMeshes().Count(), 0);
  // Each refresh renders one face of one mesh and moves that mesh on to its next face.
  const auto refreshes = [&] {
    int faces = 0;
    for (int i = 0; i < world.CubeMappedMeshes().Count(); ++i)
      faces += static_cast<qv::TSimple3dObject*>(world.CubeMappedMeshes().Get(i))
                   ->GetCubeTexture()
                   ->CurrentFace;
    return faces;
  };
  qv::TFrustum nothing;
  nothing.fill(qv::TPlane{0, 0, 0, -1e30f});  // everything lies far outside every plane
  for (int frame = 1; frame <= 11; ++frame) {
    world.DrawFrame(nothing);
    EXPECT_EQ(refreshes(), frame < 6 ? 0 : frame < 11 ? 1 : 2) << "frame " << frame;
  }
}

}  // namespace
