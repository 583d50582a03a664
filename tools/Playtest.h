#pragma once
// The simulation behind `qv-tool playtest`: plays a level headless - the game's own world, no
// window, no GL context - for a number of game-clock minutes per seed, in frames of 100 ms as the
// game would draw them: the alarms due are fired, then the world steps. The player stands still or
// wanders (walks, turns now and then, turns away when blocked), steered through the same input
// operations the game window calls.
//
// What it reports is only observed, frame by frame: a new seeker starts a game, a hider going to
// "done" is a find, the seeker going to "done" ends the game; an actor is frozen in a frame when it
// wanted to move (its step along its heading or its shuttle vector is at least a thousandth of a
// unit, or the player asked to move), its position did not change, and it is not boxed in (a
// short step in one of eight directions would still take it somewhere: IsBoxedIn).
//
// Deterministic: the world's random source takes the seed, the wanderer draws from its own source
// seeded alike. The alarm dispatcher reads the simulation's clock while it runs. Cost: one level
// load per seed, then one world step per frame (a minute of the showcase level takes a few ms).

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "scene/Geometry.h"

namespace qvtool {

enum class TPlayerMode { Still, Wander };

struct TPlaytestOptions {
  std::string LevelDir;  // relative to the current directory, which is the game's folder
  int Minutes = 60;      // game-clock minutes per seed
  int Seeds = 5;         // seeds 1..Seeds
  TPlayerMode Player = TPlayerMode::Still;
};

// How a game came to an end: its seeker found everybody, the game was reset before (the level's
// own reset one second after loading), or it still ran when the run ended.
enum class TGameEnd { Found, Reset, Running };

struct TGameRecord {
  std::string Seeker;       // the seeker's section name, "Player" for the player
  std::uint32_t Seed = 0;   // the run it happened in
  double StartSeconds = 0;  // game clock of that run
  double Seconds = 0;       // until it ended, was reset, or the run ended
  TGameEnd End = TGameEnd::Running;
  int Finds = 0;  // hiders found in it
};

struct TFrozenStretch {
  double Seconds = 0;       // longest run of frames frozen while wanting to move
  qv::TVector Place{};      // where (level coordinates)
  std::uint32_t Seed = 0;   // in which run
  double StartSeconds = 0;  // from when, game clock of that run
};

struct TActorReport {
  std::string Name;   // "Player" or the ghost's section
  std::string Class;  // the class it was made as
  TFrozenStretch Frozen;
};

struct TSeedReport {
  std::uint32_t Seed = 0;
  int Started = 0, Ended = 0, Finds = 0;
};

struct TPlaytestReport {
  std::string Level;  // the folder as given, "/" and a trailing separator
  TPlaytestOptions Options;
  std::vector<TGameRecord> Games;    // in order of their start, seed by seed
  std::vector<TActorReport> Actors;  // the player, then the ghosts in level-file order
  std::vector<TSeedReport> PerSeed;
};

// Plays the level; raises std::runtime_error "FILE: problem" when it cannot be loaded.
TPlaytestReport Playtest(const TPlaytestOptions& options);

// Nearest-rank percentile (0 < p <= 100) of the ended games' times; -1 when none ended.
double EndedPercentile(const TPlaytestReport& report, double p);

std::string PlaytestText(const TPlaytestReport& report);
std::string PlaytestJson(const TPlaytestReport& report);

}  // namespace qvtool
