#pragma once
// Ghosts: the actors that take part in hide-and-seek (the player derives from them too). A ghost
// carries its game state and a think step that runs on alarms of the global dispatcher about every
// two seconds while it is active. The plain TGhostObject thinks nothing and moves straight along
// its heading; the search ghost and the other kinds steer themselves (SearchGhostObject.h, ...).
//
// Ownership: the search info and the random source belong to the world and must outlive the
// ghost. A pending alarm does not keep the ghost alive: an alarm that fires after its ghost is gone
// does nothing, so a ghost may be destroyed with its alarm still queued.

#include <cstdint>
#include <memory>
#include <string>

#include "game/MovableObject.h"
#include "game/SearchInfo.h"

namespace qv {

class TRandomSource;
class TGhostObject;

// Game state of an actor.
enum TGameState : uint8_t {
  gsSeeking = 0,   // the seeker, searching
  gsFree = 1,      // no game runs; roaming
  gsHiding = 2,    // a game runs and the actor hides
  gsCounting = 3,  // just became the seeker and waits
  gsDone = 4,      // found, or a seeker who found everybody; stops
};

// How the ghost collection picks a ghost class by name.
using TGhostClass = TClassRef<TGhostObject, const TModelSource&, TSearchInfo&, TRandomSource&>;

class TGhostObject : public TMovableObject {
 public:
  // State 1, a think period of 2000 + 0..49 ms from `random`, inactive.
  TGhostObject(const TModelSource& adapter, TSearchInfo& searchInfo, TRandomSource& random);
  ~TGhostObject() override;

  static const TGhostClass& Class();

  // Own slots, after those of the movable object.
  // Stores the state; 3 highlights the ghost, 1 and 2 take the highlight away.
  virtual void SetState(uint8_t state);
  virtual void Think() {}
  virtual void Touched(TGhostObject& /*other*/) {}
  // Starts the think steps: the first one a think period from now. Activating again (also after
  // a Deactivate whose alarm is still pending) restarts the chain; there is never more than one.
  virtual void Activate();
  // Ends the think steps: the alarm already pending fires but does nothing.
  virtual void Deactivate();

  // The alarm: Think, then the next alarm after the next think delay (which then falls back to
  // the think period). Nothing once deactivated.
  void OnAlarm();

  uint8_t State() const { return state_; }
  bool Active() const { return active_; }
  int64_t ThinkPeriod() const { return thinkPeriod_; }

  std::string Name;                    // the ghost's section in the level file
  const TGhostClass* Kind = &Class();  // the class it was created as (GhostClasses.h)
  int64_t NextThinkDelay = 0;          // ms until the think step after the coming one

 protected:
  // Calls `action` on this ghost after delay ms, unless the ghost is gone by then.
  void ScheduleIn(int64_t delay, void (*action)(TGhostObject&));

  TSearchInfo& SearchInfo;  // the game rules; the world's
  TRandomSource& Random;    // the world's

 private:
  uint8_t state_ = gsFree;
  int64_t thinkPeriod_ = 2000;  // ms
  bool active_ = false;
  void ScheduleThink(int64_t delay);

  std::shared_ptr<TGhostObject*> self_;  // alarms hold it weakly; gone with the ghost
  uint32_t chain_ = 0;                   // think alarms of an older Activate are stale
};

}  // namespace qv
