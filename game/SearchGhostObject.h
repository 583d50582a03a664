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
  // turn rate shrinks to a fifth per call. A ghost that made no headway for half a second goes
  // round what stops it (GiveWayWhenStuck).
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
  // A ghost steers only by random turns or straight at a hider, so one that walks head-on into a
  // wall, or at a hider behind a wall or inside a corner, would press there until its think step
  // aimed it at the same wall again. After kStuckFor game seconds of walking with under a tenth
  // of the wanted headway it goes round: it turns a right angle along the obstacle and keeps to
  // that side for a detour during which its think steps do not steer it (a seeker still checks
  // whether its game is over). Each further stop before it walked freely for kFreeAgain game
  // seconds turns the same way and doubles the detour, up to kLongestDetour. A turn that did not
  // come about (the box, turned, would meet the wall) backs the ghost off first.
  void GiveWayWhenStuck(float dt, const TVector& wanted);
  bool Detouring() const { return detourLeft_ > 0; }
  static constexpr float kStuckFor = 2.5f;     // game seconds: half a second of real time
  static constexpr float kFirstDetour = 10;    // game seconds: about one think period
  static constexpr float kLongestDetour = 80;  // game seconds
  static constexpr float kFreeAgain = 50;      // game seconds of headway that end a detour run

  bool Counting = false;    // the counting pause has begun
  float TurnRate = 0;       // degrees per game second
  float TargetHeading = 0;  // degrees

 private:
  TVector lastPosition_{};    // where the previous step began
  float lastWantedStep_ = 0;  // how far that step wanted to go on the ground
  float stuckFor_ = 0;        // game seconds of steps that got under a tenth of the way
  float freeFor_ = 0;         // game seconds of steps that made headway
  float detourLeft_ = 0;      // game seconds of the current detour still to go
  float nextDetour_ = kFirstDetour;
  float detourSide_ = 1;  // +1 turns left (headings grow), -1 right
  float detourFrom_ = 0;  // the heading the current detour began at
  float backingFor_ = 0;  // game seconds still to walk backwards
};

// The heading that faces direction d on the ground (y ignored; a zero direction gives -90).
float HeadingTowards(const TVector& d);

}  // namespace qv
