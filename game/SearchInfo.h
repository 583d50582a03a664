#pragma once
// The game-rule callbacks every actor is given at creation, so an actor can ask who seeks and
// who still hides, make itself the seeker and end the game without knowing the ghost collection.
// The world binds them to its ghost collection (TGhostObjects::BindRules) and owns the record;
// actors only refer to it, so it must outlive them. A callback that was never bound is empty;
// calling it throws std::bad_function_call.

#include <functional>
#include <vector>

namespace qv {

class TGhostObject;

// Actors the caller may look at; the list refers to them and owns nothing.
using TGhostList = std::vector<TGhostObject*>;

struct TSearchInfo {
  std::function<TGhostObject*()> GetSeeker;       // the current seeker, or null
  std::function<void(TGhostObject*)> MakeSeeker;  // makes the actor seeker, starts a game
  std::function<TGhostList()> GetHiders;          // the actors still hiding
  std::function<void()> ResetGame;                // ends the game; everybody is free
  // The actor just became done (state 4): found, or the seeker with nobody left to find. May be
  // empty (a world being destroyed, tests without rules).
  std::function<void(TGhostObject&)> BecameDone;
};

}  // namespace qv
