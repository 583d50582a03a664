#pragma once
// The level checker behind `qv-tool check`: every problem of one level folder, found by the game's
// own code - the ini reader and the level-number rules, the model adapter, the world's level load
// and the movement step's ground and collision queries - so the checker and the game cannot
// disagree about what a level does.
//
// Errors are what makes the game refuse the level or end (a missing "Level.ini", a model file or
// texture that cannot be loaded) or leaves an actor unable to play (it starts inside a collision
// mesh or where no terrain lies below it). Warnings are legal but likely not meant: ignored
// sections, unknown ghost classes, numbers the game replaces by their default, meshes that are
// never drawn, collision meshes too large to be met triangle by triangle, mesh names that nearly
// follow the case-sensitive "ter" and "col" rules.
//
// Loading the level as the game does writes its "bop" tree file when that is missing or older
// than "Objects.3DS", as the game would. Cost: every model file is read twice (once on its own,
// once by the world); the largest demo level takes under a second.

#include <string>
#include <vector>

namespace qvtool {

enum class TSeverity { Warning, Error };

struct TLevelProblem {
  TSeverity Severity = TSeverity::Error;
  std::string File;  // as the author names it: the level folder as given, "/" separators
  std::string Text;  // what is wrong and what the game does about it
};

// Checks the level folder `levelDir` (relative to the current directory; "\" and another letter
// case than the disk's are fine, as in the settings file). `gameDir` is the game's folder, where
// "objects\Player.3ds" and "objects\SkyBox.3DS" are looked up; "" is the current directory.
std::vector<TLevelProblem> CheckLevel(const std::string& levelDir, const std::string& gameDir);

// "error: FILE: TEXT" or "warning: FILE: TEXT".
std::string ProblemLine(const TLevelProblem& problem);

}  // namespace qvtool
