#pragma once
// The four game-rule callbacks every actor is given at creation, so an actor can ask who seeks and
// who still hides, make itself the seeker and end the game without knowing the ghost collection.
// The world binds them to its ghost collection and owns the record; actors only refer to it.
// A callback that was never bound is empty; calling it throws std::bad_function_call.

#include <functional>

#include "scene/3dObjectList.h"

namespace qv {

class TMovableObject;

struct TSearchInfo {
  std::function<TMovableObject*()> GetSeeker;             // the current seeker, or null
  std::function<void(TMovableObject*)> MakeSeeker;        // makes the actor seeker, starts a game
  std::function<T3dObjectList()> GetHiders;               // new non-owning list of the hiders
  std::function<void()> ResetGame;                        // ends the game; everybody is free
};

}  // namespace qv
