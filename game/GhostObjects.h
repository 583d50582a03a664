#pragma once
// The ghost collection of a level and the keeper of the hide-and-seek rules. It creates ghosts by
// class name and owns them (its member list only refers to them, in the order they were added),
// starts and stops their think steps, knows the seeker, lists the hiders, and starts and resets
// games. Actors reach the rules only through the TSearchInfo the world binds here (BindRules).
//
// A search ghost is one of class TSearchGhostObject or derived from it; shuttles and plain ghosts
// never hide and the rules never change their state. The player is told once (SetPlayer) and is
// not one of the ghosts. Ghosts are destroyed with the collection; alarms still pending for them
// then do nothing.

#include <memory>
#include <string>
#include <vector>

#include "game/GameEvents.h"
#include "game/GhostObject.h"
#include "game/SearchInfo.h"

namespace qv {

class TIniFile;
class TPlayerObject;
class TRandomSource;

class TGhostObjects : public T3dObjects {
 public:
  explicit TGhostObjects(TRandomSource& random);
  ~TGhostObjects() override;

  // Constructs the class of GhostClasses.h named exactly (case-sensitive) `className`, any other
  // name a plain TGhostObject, and keeps that class reference on it; names it after its section,
  // lets it read the section when an ini file is given, appends it and refreshes the collection's
  // bounds and transparency.
  TGhostObject& CreateGhost(const TModelSource& adapter, const std::string& className,
                            TSearchInfo& searchInfo, const std::string& sectionName,
                            const TIniFile* ini);
  // std::out_of_range outside 0..GhostCount()-1.
  TGhostObject& GhostAt(int index) const;
  int GhostCount() const { return static_cast<int>(ghosts_.size()); }

  void ActivateAll();
  void DeactivateAll();
  void SetPlayer(TPlayerObject* player) { player_ = player; }
  TPlayerObject* Player() const { return player_; }

  // The rules.
  TGhostObject* GetSeeker() const { return seeker_; }
  // The actor seeks; every other search ghost and the player hide. A seeker ghost counts first,
  // the player seeks at once. A null actor is refused (nothing changes).
  void MakeSeeker(TGhostObject* actor);
  // Search ghosts other than the seeker that hide, in order; then the player if it hides.
  TGhostList GetHiders() const;
  // No seeker; every search ghost and the player free.
  void ResetGame();
  // Binds the callbacks of `info` to this collection's rules.
  void BindRules(TSearchInfo& info);
  // Who hears of starts, finds and wins (none: nobody); the watcher must outlive the collection
  // or be replaced first.
  void SetEvents(TGameEvents* events) { events_ = events; }

  static bool IsSearchGhost(const TGhostObject& ghost);

 private:
  std::vector<std::unique_ptr<TGhostObject>> ghosts_;  // owned, in the order added
  TGhostObject* seeker_ = nullptr;                     // refers; none between games
  TPlayerObject* player_ = nullptr;                    // refers; the world's
  TRandomSource& random_;                              // the world's; given to every ghost
  TGameEvents* events_ = nullptr;                      // refers; told what the rules decide

  // An actor became done: a find, or the seeker's win when it is the seeker.
  void ActorDone(const TGhostObject& actor);
};

}  // namespace qv
