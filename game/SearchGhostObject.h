#pragma once
// The ghost that plays hide-and-seek: at every think step it picks a random turn, a target heading
// and a speed by its game state (wander while free, hide while hiding, count and then seek as the
// seeker, stop when done), walks on the ground, and is found when the seeker touches it.

#include <string_view>

#include "game/GhostObject.h"

namespace qv {

class TSearchGhostObject : public TGhostObject {
 public:
  // Walks on the ground (not gravity-free); no turn, target heading 0.
  TSearchGhostObject(const TModelSource& adapter, TSearchInfo& searchInfo, TRandomSource& random);

  static const TGhostClass& Class();

  // The movable object's keys, then "InitialState" (default 2): 1 seeking, 2 free, 3 hiding;
  // any other value keeps the state.
  void LoadFromIni(const TIniFile& ini, std::string_view section) override;
  // Along the heading; turns by dt * turn rate until within 10 degrees of the target, then the
  // turn rate shrinks to a fifth per call.
  TVector DesiredPosition(float dt) override;
  // Entering the counting state starts the count afresh.
  void SetState(uint8_t state) override;
  // By state: Seek, Wander, Hide, CountDown, Stop.
  void Think() override;
  // Free: touching the free player makes this ghost the seeker. Hiding: found by the seeker once
  // it seeks.
  void Touched(TGhostObject& other) override;

  // Own slots.
  virtual void Seek();
  virtual void Hide();

  // The target heading, within 180 degrees of the current heading as given, else the current
  // heading plus the remainder of the rounded-up difference (as a signed 32-bit number) by 360.
  void SetTarget(float angle);
  // First call: stand and turn for ten seconds; second call: start seeking.
  void CountDown();
  // With nobody left hiding, this seeker is done and the game resets a second later.
  void CheckGameOver();
  void Wander();
  void Stop();
  // The turn rate that reaches the target heading at the next think step.
  void TurnByNextThink();

  bool Counting = false;    // the counting pause has begun
  float TurnRate = 0;       // degrees per game second
  float TargetHeading = 0;  // degrees
};

// The heading that faces direction d on the ground (y ignored; a zero direction gives -90).
float HeadingTowards(const TVector& d);

}  // namespace qv
