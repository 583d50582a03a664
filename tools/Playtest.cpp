#include "tools/Playtest.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <system_error>

#include "game/AlarmDispatcher.h"
#include "game/GhostObjects.h"
#include "game/MovementStep.h"
#include "game/PlayerObject.h"
#include "game/RandomSource.h"
#include "game/ShuttleGhostObject.h"
#include "game/World.h"
#include "platform/IniFile.h"
#include "platform/Paths.h"
#include "shell/TraceLine.h"

namespace qvtool {

namespace {

namespace fs = std::filesystem;
using qv::TGhostObject;
using qv::TVector;

constexpr std::int64_t kFrameMs = 100;                    // as the game draws at 10 fps
constexpr float kStepAmount = kFrameMs / 1000.0f * 5.0f;  // game time units per frame
constexpr double kFrameSeconds = kFrameMs / 1000.0;
// How far a frozen actor is tried in eight directions to tell stuck from boxed in.
constexpr float kProbeStep = 0.5f;

// A folder as the author wrote it, with "/" and one trailing separator.
std::string FolderShown(const std::string& folder) {
  std::string shown = qv::NormalizeSeparators(folder.empty() ? "." : folder);
  if (shown.back() != '/') shown += '/';
  return shown;
}

std::string OneLine(std::string text) {
  for (char& c : text)
    if (c == '\r' || c == '\n') c = ' ';
  return text;
}

// Whether the actor's move this frame has a horizontal or shuttle part: the same factors its
// DesiredPosition multiplies (that call turns a search ghost, so it is not asked twice).
// A step shorter than this per frame is no wish to move: it vanishes in the rounding of a
// position far from the origin (a ghost whose random speed factor came out near zero).
constexpr float kLeastStep = 1e-3f;

bool WantsToMove(const TGhostObject& actor) {
  if (const auto* player = dynamic_cast<const qv::TPlayerObject*>(&actor))
    return player->Speed() != 0 && !(player->Request == TVector{});
  if (const auto* shuttle = dynamic_cast<const qv::TShuttleGhostObject*>(&actor))
    return shuttle->Speed() * kStepAmount * VecLength(shuttle->MoveVector) >= kLeastStep;
  return std::fabs(actor.Speed() * actor.SpeedFactor) * kStepAmount >= kLeastStep;
}

// The player as a restless tester: walks ahead, turns smoothly now and then, and turns away when a
// few frames of walking got it nowhere. Its own random source leaves the world's draws alone.
class TWanderer {
 public:
  explicit TWanderer(std::uint32_t seed) : random_(seed ^ 0x9E3779B9u) {}

  void Steer(qv::TPlayerObject& player) {
    if (blockedFrames_ >= kBlockedFrames) {
      blockedFrames_ = 0;
      const int turn = random_.Integer(90, 270);
      player.SetHeading(Wrapped(player.Heading() + static_cast<float>(turn)));
      turnLeft_ = 0;
    } else if (--nextTurn_ <= 0) {
      nextTurn_ = random_.Integer(30, 90);
      turnLeft_ = kTurnFrames;
      turnPerFrame_ = static_cast<float>(random_.Integer(-120, 120)) / kTurnFrames;
    }
    if (turnLeft_ > 0) {
      --turnLeft_;
      player.SetHeading(Wrapped(player.Heading() + turnPerFrame_));
    }
    player.MoveForward();
  }

  void Moved(bool moved) { blockedFrames_ = moved ? 0 : blockedFrames_ + 1; }

 private:
  static constexpr int kBlockedFrames = 3;
  static constexpr int kTurnFrames = 10;
  static float Wrapped(float heading) { return std::fmod(heading + 360.0f, 360.0f); }

  qv::TRandomSource random_;
  int blockedFrames_ = 0;
  int nextTurn_ = 0;  // frames until the next smooth turn
  int turnLeft_ = 0;  // frames of the current turn still to go
  float turnPerFrame_ = 0;
};

// Per actor, the frozen frames in a row so far and the longest such stretch of the whole test.
struct TWatch {
  int Frames = 0;
  TVector Place{};
  std::int64_t SinceMs = 0;
};

class TPlaytest {
 public:
  explicit TPlaytest(const TPlaytestOptions& options) : options_(options) {
    report_.Level = FolderShown(options.LevelDir);
    report_.Options = options;
  }

  TPlaytestReport Run() {
    const fs::path folder = qv::ResolvePath(report_.Level);
    std::error_code error;
    if (!fs::is_directory(folder, error))
      throw std::runtime_error(report_.Level + ": no such folder");
    const fs::path iniPath = qv::ResolvePath(report_.Level + "Level.ini");
    if (!fs::is_regular_file(iniPath, error))
      throw std::runtime_error(
          report_.Level + "Level.ini: no such file: the game ignores a level folder without it");
    const qv::TIniFile ini(iniPath);
    qv::GlobalAlarmDispatcher().SetClock([this] { return now_; });
    for (int seed = 1; seed <= options_.Seeds; ++seed)
      RunSeed(static_cast<std::uint32_t>(seed), ini);
    return std::move(report_);
  }

 private:
  void RunSeed(std::uint32_t seed, const qv::TIniFile& ini) {
    now_ = 0;
    seed_ = seed;
    std::unique_ptr<qv::TWorld> world;
    try {
      // The texture files matter only to the picture: a level is played without them.
      world = std::make_unique<qv::TWorld>(seed, qv::TTextureFailure::WarnUntextured);
      world->LoadFromLevelFile(0, report_.Level, ini);
    } catch (const std::exception& e) {
      world.reset();
      throw std::runtime_error(report_.Level +
                               ": the game cannot load the level: " + OneLine(e.what()));
    }
    Actors(*world);
    report_.PerSeed.push_back({seed, 0, 0, 0});
    watches_.assign(actors_.size(), TWatch{});
    gameOpen_ = false;
    seeker_ = nullptr;
    states_.clear();
    for (const TGhostObject* actor : actors_) states_.push_back(actor->State());

    TWanderer wanderer(seed);
    qv::TPlayerObject& player = world->GetPlayer();
    const std::int64_t frames = std::int64_t{options_.Minutes} * 60 * 1000 / kFrameMs;
    std::vector<TVector> before(actors_.size());
    std::vector<bool> wants(actors_.size());
    for (std::int64_t frame = 0; frame < frames; ++frame) {
      now_ += kFrameMs;
      qv::GlobalAlarmDispatcher().FireDue(now_);
      if (options_.Player == TPlayerMode::Wander) wanderer.Steer(player);
      for (std::size_t i = 0; i < actors_.size(); ++i) {
        before[i] = actors_[i]->Position();
        wants[i] = WantsToMove(*actors_[i]);
      }
      world->Step(kStepAmount);
      wanderer.Moved(!(player.Position() == before[0]));
      const qv::TMovementContext context{world->GetStaticObjects(), world->GetGhosts(), player};
      for (std::size_t i = 0; i < actors_.size(); ++i)
        Watch(i, wants[i] && actors_[i]->Position() == before[i] &&
                     !qv::IsBoxedIn(context, *actors_[i], kProbeStep));
      ObserveGame(world->GetGhosts());
    }
    if (gameOpen_) CloseGame(TGameEnd::Running);
    world.reset();  // fires the alarms still pending while the clock still reads this run's time
  }

  // The player first, then the ghosts in level-file order; the report keeps the first seed's list
  // (every seed loads the same level).
  void Actors(qv::TWorld& world) {
    actors_.clear();
    actors_.push_back(&world.GetPlayer());
    for (int i = 0; i < world.GetGhosts().GhostCount(); ++i)
      actors_.push_back(&world.GetGhosts().GhostAt(i));
    if (!report_.Actors.empty()) return;
    for (const TGhostObject* actor : actors_)
      report_.Actors.push_back(
          {actor == actors_[0] ? "Player" : actor->Name, qv::ActorClassName(*actor), {}});
  }

  void Watch(std::size_t i, bool frozen) {
    TWatch& watch = watches_[i];
    if (!frozen) {
      watch.Frames = 0;
      return;
    }
    if (watch.Frames++ == 0) {
      watch.Place = actors_[i]->Position();
      watch.SinceMs = now_ - kFrameMs;
    }
    TFrozenStretch& longest = report_.Actors[i].Frozen;
    const double seconds = watch.Frames * kFrameSeconds;
    if (seconds > longest.Seconds)
      longest = {seconds, watch.Place, seed_, static_cast<double>(watch.SinceMs) / 1000.0};
  }

  void ObserveGame(const qv::TGhostObjects& ghosts) {
    const TGhostObject* seeker = ghosts.GetSeeker();
    if (seeker != seeker_) {
      if (gameOpen_) CloseGame(TGameEnd::Reset);  // before its seeker was done
      seeker_ = seeker;
      if (seeker) OpenGame(*seeker);
    }
    for (std::size_t i = 0; i < actors_.size(); ++i) {
      const std::uint8_t state = actors_[i]->State();
      if (gameOpen_ && actors_[i] != seeker_ && states_[i] == qv::gsHiding && state == qv::gsDone) {
        ++report_.Games.back().Finds;
        ++report_.PerSeed.back().Finds;
      }
      states_[i] = state;
    }
    if (gameOpen_ && seeker_->State() == qv::gsDone) CloseGame(TGameEnd::Found);
  }

  void OpenGame(const TGhostObject& seeker) {
    gameOpen_ = true;
    gameStartMs_ = now_;
    const bool player = &seeker == actors_[0];
    report_.Games.push_back({player ? "Player" : seeker.Name, seed_,
                             static_cast<double>(now_) / 1000.0, 0, TGameEnd::Running, 0});
    ++report_.PerSeed.back().Started;
  }

  void CloseGame(TGameEnd end) {
    gameOpen_ = false;
    TGameRecord& game = report_.Games.back();
    game.Seconds = static_cast<double>(now_ - gameStartMs_) / 1000.0;
    game.End = end;
    if (end == TGameEnd::Found) ++report_.PerSeed.back().Ended;
  }

  const TPlaytestOptions options_;
  TPlaytestReport report_;
  std::int64_t now_ = 0;  // the run's game clock, ms; the alarms read it
  std::uint32_t seed_ = 0;
  std::vector<TGhostObject*> actors_;
  std::vector<TWatch> watches_;
  std::vector<std::uint8_t> states_;  // each actor's state after the previous frame
  const TGhostObject* seeker_ = nullptr;
  bool gameOpen_ = false;  // a game started and its seeker is not done yet
  std::int64_t gameStartMs_ = 0;
};

std::string Format(const char* format, double value) {
  char text[64];
  std::snprintf(text, sizeof text, format, value);
  return text;
}

std::string Seconds(double seconds) { return Format("%.1f s", seconds); }

// Game clock as m:ss.s.
std::string Clock(double seconds) {
  const int minutes = static_cast<int>(seconds / 60);
  return std::to_string(minutes) + ":" + Format("%04.1f", seconds - 60.0 * minutes);
}

std::string Place(const TVector& p) {
  char text[96];
  std::snprintf(text, sizeof text, "(%.1f, %.1f, %.1f)", p.x + 0.0, p.y + 0.0, p.z + 0.0);
  return text;
}

std::string JsonNumber(double value) { return value < 0 ? "null" : Format("%.1f", value); }

// Games per seeker, in order of the seeker's first game.
std::vector<std::pair<std::string, int>> Seekers(const TPlaytestReport& report) {
  std::vector<std::pair<std::string, int>> seekers;
  for (const TGameRecord& game : report.Games) {
    auto found = std::find_if(seekers.begin(), seekers.end(),
                              [&](const auto& entry) { return entry.first == game.Seeker; });
    if (found == seekers.end())
      seekers.emplace_back(game.Seeker, 1);
    else
      ++found->second;
  }
  return seekers;
}

struct TTotals {
  int Started = 0, Ended = 0, Reset = 0, Running = 0, Finds = 0;
  double LongestRunning = -1;  // seconds; -1 when no game still ran at the end of its run
};

TTotals Totals(const TPlaytestReport& report) {
  TTotals totals;
  for (const TGameRecord& game : report.Games) {
    ++totals.Started;
    totals.Finds += game.Finds;
    switch (game.End) {
      case TGameEnd::Found: ++totals.Ended; break;
      case TGameEnd::Reset: ++totals.Reset; break;
      case TGameEnd::Running:
        ++totals.Running;
        totals.LongestRunning = std::max(totals.LongestRunning, game.Seconds);
        break;
    }
  }
  return totals;
}

const char* ModeName(TPlayerMode mode) { return mode == TPlayerMode::Still ? "still" : "wander"; }

}  // namespace

TPlaytestReport Playtest(const TPlaytestOptions& options) { return TPlaytest(options).Run(); }

double EndedPercentile(const TPlaytestReport& report, double p) {
  std::vector<double> times;
  for (const TGameRecord& game : report.Games)
    if (game.End == TGameEnd::Found) times.push_back(game.Seconds);
  if (times.empty()) return -1;
  std::sort(times.begin(), times.end());
  const auto rank =
      static_cast<std::size_t>(std::ceil(p / 100.0 * static_cast<double>(times.size())));
  return times[std::clamp<std::size_t>(rank, 1, times.size()) - 1];
}

std::string PlaytestText(const TPlaytestReport& report) {
  const TPlaytestOptions& o = report.Options;
  const TTotals totals = Totals(report);
  std::string out = report.Level + ": " + std::to_string(o.Minutes) + " min x " +
                    std::to_string(o.Seeds) + " seed(s), player " + ModeName(o.Player) + "\n";
  out += "games: " + std::to_string(totals.Started) + " started, " + std::to_string(totals.Ended) +
         " ended";
  if (totals.Ended > 0)
    out += "; time to end: median " + Seconds(EndedPercentile(report, 50)) + ", 90% " +
           Seconds(EndedPercentile(report, 90)) + ", longest " +
           Seconds(EndedPercentile(report, 100));
  out += "\n";
  if (totals.Reset > 0) out += "reset before their end: " + std::to_string(totals.Reset) + "\n";
  if (totals.Running > 0)
    out += "still running when the run ended: " + std::to_string(totals.Running) +
           " (the longest for " + Seconds(totals.LongestRunning) + ")\n";
  out += "seekers:";
  for (const auto& [name, count] : Seekers(report)) out += " " + name + " " + std::to_string(count);
  out += totals.Started == 0 ? " none\n" : "\n";
  out += "finds: " + std::to_string(totals.Finds) + "\n";
  for (const TSeedReport& seed : report.PerSeed)
    out += "  seed " + std::to_string(seed.Seed) + ": " + std::to_string(seed.Started) +
           " started, " + std::to_string(seed.Ended) + " ended, " + std::to_string(seed.Finds) +
           " finds\n";
  out += "longest frozen while wanting to move (not boxed in):\n";
  for (const TActorReport& actor : report.Actors) {
    out += "  " + actor.Name + " (" + actor.Class + "): " + Seconds(actor.Frozen.Seconds);
    if (actor.Frozen.Seconds > 0)
      out += " at " + Place(actor.Frozen.Place) + ", seed " + std::to_string(actor.Frozen.Seed) +
             ", from " + Clock(actor.Frozen.StartSeconds);
    out += "\n";
  }
  return out;
}

std::string PlaytestJson(const TPlaytestReport& report) {
  const TPlaytestOptions& o = report.Options;
  const TTotals totals = Totals(report);
  std::string out =
      "{\"level\":" + qv::JsonString(report.Level) + ",\"minutes\":" + std::to_string(o.Minutes) +
      ",\"seeds\":" + std::to_string(o.Seeds) + ",\"player\":\"" + ModeName(o.Player) + "\"";
  out += ",\"games\":{\"started\":" + std::to_string(totals.Started) +
         ",\"ended\":" + std::to_string(totals.Ended) +
         ",\"median_s\":" + JsonNumber(EndedPercentile(report, 50)) +
         ",\"p90_s\":" + JsonNumber(EndedPercentile(report, 90)) +
         ",\"longest_s\":" + JsonNumber(EndedPercentile(report, 100)) +
         ",\"reset\":" + std::to_string(totals.Reset) +
         ",\"running\":" + std::to_string(totals.Running) +
         ",\"longest_running_s\":" + JsonNumber(totals.LongestRunning) + "}";
  out += ",\"seekers\":{";
  bool first = true;
  for (const auto& [name, count] : Seekers(report)) {
    out += (first ? "" : ",") + qv::JsonString(name) + ":" + std::to_string(count);
    first = false;
  }
  out += "},\"finds\":" + std::to_string(totals.Finds) + ",\"per_seed\":[";
  first = true;
  for (const TSeedReport& seed : report.PerSeed) {
    out += std::string(first ? "" : ",") + "{\"seed\":" + std::to_string(seed.Seed) +
           ",\"started\":" + std::to_string(seed.Started) +
           ",\"ended\":" + std::to_string(seed.Ended) + ",\"finds\":" + std::to_string(seed.Finds) +
           "}";
    first = false;
  }
  out += "],\"actors\":[";
  first = true;
  for (const TActorReport& actor : report.Actors) {
    const TFrozenStretch& f = actor.Frozen;
    out += std::string(first ? "" : ",") + "{\"name\":" + qv::JsonString(actor.Name) +
           ",\"class\":\"" + actor.Class + "\",\"frozen_s\":" + Format("%.1f", f.Seconds);
    if (f.Seconds > 0)
      out += ",\"at\":[" + qv::JsonFloat(f.Place.x) + "," + qv::JsonFloat(f.Place.y) + "," +
             qv::JsonFloat(f.Place.z) + "],\"seed\":" + std::to_string(f.Seed) +
             ",\"from_s\":" + Format("%.1f", f.StartSeconds);
    out += "}";
    first = false;
  }
  return out + "]}\n";
}

}  // namespace qvtool
