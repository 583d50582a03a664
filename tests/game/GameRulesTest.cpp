// Hide-and-seek played through the actors' touches and think steps, with a hand-driven clock and
// a fixed seed; and the steering rules of the ghost kinds.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "game/AlarmDispatcher.h"
#include "game/DirectGhostObject.h"
#include "game/InFrustumGhostObject.h"
#include "game/SearchGhostObject.h"
#include "game/ShuttleGhostObject.h"
#include "tests/game/ActorLevel.h"

namespace qv::test {
namespace {

constexpr float kHover = 1.3f;

// The states of the player and the ghosts, and which of them is highlighted, as one string
// ("P1 a1 b1*": player free, a free, b free and highlighted).
std::string Look(const TActorLevel& level) {
  std::string s = "P" + std::to_string(level.player.State());
  for (int i = 0; i < level.ghosts.GhostCount(); ++i) {
    const TGhostObject& g = level.ghosts.GhostAt(i);
    s += " " + g.Name + std::to_string(g.State()) + (TActorLevel::Highlighted(g) ? "*" : "");
  }
  return s;
}

std::string Names(const TGhostList& list) {
  std::string s;
  for (const TGhostObject* g : list) s += g->Name.empty() ? "P" : g->Name;
  return s;
}

// The game events the collection reports, one line each ("s found a"; the player is "P").
struct TEventLog : TGameEvents {
  static std::string Name(const TGhostObject& g) { return g.Name.empty() ? "P" : g.Name; }
  void GameStarted(const TGhostObject& s) override { lines.push_back("start " + Name(s)); }
  void Found(const TGhostObject& s, const TGhostObject& h) override {
    lines.push_back(Name(s) + " found " + Name(h));
  }
  void GameWon(const TGhostObject& s) override { lines.push_back(Name(s) + " won"); }
  std::vector<std::string> lines;
};

// Steps until `who` has touched `whom`: `who` walks straight at it, the others stand.
void WalkInto(TActorLevel& level, TGhostObject& who, const TGhostObject& whom) {
  const TVector d = VecSub(whom.Position(), who.Position());
  TActorLevel::Put(who, VecSub(whom.Position(), VecScale(VecNormalize(d), 2.5f)),
                   HeadingTowards(d));
  for (int i = 0; i < level.ghosts.GhostCount(); ++i) level.ghosts.GhostAt(i).SpeedFactor = 0;
  who.SpeedFactor = 1;
  if (auto* s = dynamic_cast<TSearchGhostObject*>(&who)) s->TurnRate = 0;
  for (int frame = 0; frame < 8; ++frame) {
    if (&who == &level.player) level.player.MoveForward();
    level.Step(0.25f);
  }
}

TEST(GameRules, AGameStartedByTouchRunsToItsEndAndResets) {
  TActorLevel level;
  level.Terrain(Floor(-50, 50, -50, 50, 0));
  level.Load();
  level.PlacePlayer({0, kHover, 0});
  TGhostObject& s = level.Ghost("TSearchGhostObject", "[s]\nInitialxpos=4\nInitialypos=1.3\n");
  TGhostObject& a = level.Ghost("TSearchGhostObject", "[a]\nInitialxpos=20\nInitialypos=1.3\n");
  TGhostObject& b = level.Ghost("TSearchGhostObject", "[b]\nInitialxpos=-20\nInitialypos=1.3\n");
  level.Ghost("TShuttleGhostObject", "[t]\nInitialzpos=30\nMoveVecx=0\nMoveVecy=0\nMoveVecz=0\n");
  level.ghosts.ActivateAll();
  TEventLog events;
  level.ghosts.SetEvents(&events);
  EXPECT_EQ(Look(level), "P1 s1 a1 b1 t1");

  WalkInto(level, s, level.player);  // the free ghost touches the free player
  EXPECT_EQ(level.ghosts.GetSeeker(), &s);
  EXPECT_EQ(Look(level), "P2 s3* a2 b2 t1");
  EXPECT_EQ(Names(level.ghosts.GetHiders()), "abP");

  // Its first think step starts the count: it stands for ten seconds; then it seeks.
  level.Advance(s.ThinkPeriod());
  const TVector counting = s.Position();
  level.Step(0.5f);
  EXPECT_EQ(s.Position(), counting);
  EXPECT_EQ(s.SpeedFactor, 0);
  level.Advance(9999);
  EXPECT_EQ(s.State(), gsCounting);
  level.Advance(1);
  EXPECT_EQ(Look(level), "P2 s0* a2 b2 t1");

  // Every touch by the seeker finds a hider, the player too.
  WalkInto(level, s, a);
  EXPECT_EQ(Look(level), "P2 s0* a4 b2 t1");
  WalkInto(level, s, level.player);
  WalkInto(level, s, b);
  EXPECT_EQ(Look(level), "P4 s0* a4 b4 t1");
  EXPECT_TRUE(level.ghosts.GetHiders().empty());

  // Its next think step finds nobody left: done; a second later everybody is free again.
  level.Advance(s.ThinkPeriod());
  EXPECT_EQ(Look(level), "P4 s4* a4 b4 t1");
  level.Advance(999);
  EXPECT_EQ(level.ghosts.GetSeeker(), &s);
  level.Advance(1);
  EXPECT_EQ(level.ghosts.GetSeeker(), nullptr);
  EXPECT_EQ(Look(level), "P1 s1 a1 b1 t1");
  // Each step told once, the reset not at all.
  EXPECT_EQ(events.lines,
            (std::vector<std::string>{"start s", "s found a", "s found P", "s found b", "s won"}));
}

TEST(GameRules, ThePlayerAsSeekerWinsAtTheLastTouch) {
  struct TCase {
    std::vector<const char*> classes;
    std::string afterFirstTouch;  // Look() once the player has touched the first ghost
  };
  const TCase cases[] = {
      // Search ghosts hide; the first found leaves one hider, so the game goes on.
      {{"TSearchGhostObject", "TDirectGhostObject"}, "P0 g04 g12"},
      // Shuttles and plain ghosts never hide (nor does an unknown class): the first touch wins.
      {{"TShuttleGhostObject", "TGhostObject", "tsearchghostobject"}, "P4 g01 g11 g21"},
  };
  for (const TCase& c : cases) {
    TActorLevel level;
    level.Terrain(Floor(-50, 50, -50, 50, 0));
    level.Load();
    level.PlacePlayer({0, kHover, 0});
    std::vector<TGhostObject*> ghosts;
    for (size_t i = 0; i < c.classes.size(); ++i) {
      const std::string name = "g" + std::to_string(i);
      ghosts.push_back(
          &level.Ghost(c.classes[i], "[" + name + "]\nInitialxpos=" + std::to_string(10 * (i + 1)) +
                                         "\nInitialypos=1.3\nMoveVecx=0\n"
                                         "MoveVecy=0\nMoveVecz=0\n"));
    }
    level.ghosts.MakeSeeker(&level.player);
    EXPECT_EQ(level.player.State(), gsSeeking);  // at once, without counting
    WalkInto(level, level.player, *ghosts[0]);
    EXPECT_EQ(Look(level), c.afterFirstTouch) << c.classes[0];
    if (level.player.State() == gsSeeking) {
      WalkInto(level, level.player, *ghosts[1]);
      EXPECT_EQ(Look(level), "P4 g04 g14");
    }
    level.Advance(1000);
    EXPECT_EQ(level.ghosts.GetSeeker(), nullptr) << c.classes[0];
    EXPECT_EQ(level.player.State(), gsFree);
  }
}

TEST(GameRules, AHiderTouchedByACountingSeekerStaysHiddenAndACountRestartsAfterAReset) {
  TActorLevel level;
  level.Terrain(Floor(-50, 50, -50, 50, 0));
  level.Load();
  level.PlacePlayer({0, kHover, -30});
  TGhostObject& s = level.Ghost("TSearchGhostObject", "[s]\nInitialypos=1.3\n");
  TGhostObject& a = level.Ghost("TSearchGhostObject", "[a]\nInitialxpos=10\nInitialypos=1.3\n");
  level.ghosts.ActivateAll();
  level.ghosts.MakeSeeker(&s);
  WalkInto(level, s, a);
  EXPECT_EQ(a.State(), gsHiding);
  level.Advance(s.ThinkPeriod());  // counting begins
  level.ghosts.ResetGame();        // ... and the game is called off
  level.ghosts.MakeSeeker(&s);
  level.Advance(10000);  // the old count's think step: a new count begins
  EXPECT_EQ(s.State(), gsCounting);
  level.Advance(10000);
  EXPECT_EQ(s.State(), gsSeeking);
}

TEST(SearchGhost, SetTargetKeepsNearAnglesAndWrapsFarOnesThroughA32BitRemainder) {
  TActorLevel level;
  auto& g = static_cast<TSearchGhostObject&>(level.Ghost("TSearchGhostObject"));
  const struct {
    float heading, angle, target;
  } cases[] = {
      {0, 2147483648.0f, -128},
      {10.5f, 2147483648.0f, 128.5f},
      {0, 180, 180},
      {0, -180, -180},
      {0, 725.5f, 6},
      {0, -725.5f, -5},
      {90, -300, 60},  // -390 wraps to -30: the same direction as -300
  };
  for (const auto& c : cases) {
    TActorLevel::Put(g, g.Position(), c.heading);
    g.SetTarget(c.angle);
    EXPECT_FLOAT_EQ(g.TargetHeading, c.target) << c.heading << " " << c.angle;
  }
}

TEST(GhostKinds, DirectAndInFrustumGhostsSteerByStrictLimits) {
  struct TCase {
    const char* className;
    const char* ini;
    TVector hider;  // relative to the seeker, which faces -z (heading 0)
    float target;
  };
  const TCase cases[] = {
      {"TDirectGhostObject", "", {499, 0, 0}, -90},
      {"TDirectGhostObject", "", {0, 0, 499}, -180},
      {"TDirectGhostObject", "", {-40, 0, -30}, -306},  // -306.87 wraps to -306, not -126
      {"TDirectGhostObject", "", {0, 0, 500}, -90},     // 500.0 is out of range
      {"TInFrustumGhostObject", "", {1, 0, -1}, 35},    // 45 degrees off: unseen, target 35
      {"TInFrustumGhostObject", "", {1, 0, -2}, -26.565051f},
      {"TInFrustumGhostObject", "ViewingAngle=90\n", {1, 0, 0}, 90},  // exactly at the limit
      {"TInFrustumGhostObject", "ViewingAngle=90\n", {1, 0, -0.01f}, -89.427032f},
  };
  for (const TCase& c : cases) {
    TActorLevel level;
    auto& seeker =
        static_cast<TSearchGhostObject&>(level.Ghost(c.className, std::string("[k]\n") + c.ini));
    TGhostObject& hider = level.Ghost("TSearchGhostObject", "[h]\n");
    TActorLevel::Put(hider, c.hider);
    level.PlacePlayer({1000, 0, 1000});  // the player hides too: out of range and out of view
    level.ghosts.MakeSeeker(&seeker);
    seeker.Seek();
    EXPECT_NEAR(seeker.TargetHeading, c.target, 1e-4)
        << c.className << " " << c.hider.x << " " << c.hider.z;
    EXPECT_FLOAT_EQ(seeker.TurnRate, c.target * 1000 / seeker.NextThinkDelay);
  }
}

TEST(SearchGhost, InitialStateAndThinkPeriods) {
  TActorLevel level;
  const struct {
    int initial;
    uint8_t state;
  } cases[] = {{1, gsSeeking}, {2, gsFree}, {3, gsHiding}, {0, gsFree}, {4, gsFree}};
  for (const auto& c : cases) {
    const TGhostObject& g =
        level.Ghost("TSearchGhostObject", "[g]\nInitialState=" + std::to_string(c.initial) + "\n");
    EXPECT_EQ(g.State(), c.state) << c.initial;
    EXPECT_GE(g.ThinkPeriod(), 2000);
    EXPECT_LE(g.ThinkPeriod(), 2049);
  }
  // The same seed gives the same periods.
  TActorLevel again;
  for (int i = 0; i < 5; ++i)
    EXPECT_EQ(again.Ghost("TSearchGhostObject").ThinkPeriod(),
              level.ghosts.GhostAt(i).ThinkPeriod());
}

TEST(Ghost, DeactivatingEndsTheThinkStepsAndADestroyedGhostsAlarmDoesNothing) {
  TActorLevel level;
  auto& s = static_cast<TShuttleGhostObject&>(level.Ghost("TShuttleGhostObject"));
  level.ghosts.ActivateAll();
  level.Advance(s.ThinkPeriod());
  EXPECT_EQ(s.MoveVector.x, -0.2f);
  level.ghosts.DeactivateAll();
  level.ghosts.ActivateAll();  // a second chain must not start while the first is pending
  level.Advance(s.ThinkPeriod());
  EXPECT_EQ(s.MoveVector.x, 0.2f);
  level.ghosts.DeactivateAll();
  level.Advance(10 * s.ThinkPeriod());
  EXPECT_EQ(s.MoveVector.x, 0.2f);
  {
    TRandomSource random(1);
    TSearchInfo info;
    TGhostObjects others(random);
    others.CreateGhost(level.playerModel, "TShuttleGhostObject", info, "x", nullptr).Activate();
  }  // gone with its alarm still queued
  const int queued = GlobalAlarmDispatcher().Count();
  level.Advance(10 * s.ThinkPeriod());  // fires it: it must not reach the freed ghost
  EXPECT_EQ(GlobalAlarmDispatcher().Count(), queued - 1);
}

}  // namespace
}  // namespace qv::test
