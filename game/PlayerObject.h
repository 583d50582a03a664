#pragma once
// The player: the actor the user steers. It thinks nothing of its own; the game window adds to its
// movement request while keys are held (once per frame, after drawing), the movement step turns
// the request into motion with ground, gravity and collision, and every step clears it, so the
// request holds one frame's input. It plays hide-and-seek through the same states as the ghosts.
// It is never one of the ghost collection's ghosts, so it is never activated.

#include <string_view>

#include "game/GhostObject.h"

namespace qv {

class TPlayerObject : public TGhostObject {
 public:
  // Falls (not gravity-free), starts with vertical speed 0.2 so the first frame settles it onto
  // the ground, standing, walking, unable to fly, no request.
  TPlayerObject(const TModelSource& adapter, TSearchInfo& searchInfo, TRandomSource& random);

  static const TGhostClass& Class();  // not one a level file can name

  // As for any movable object, then the request is cleared.
  void SetPosition(const TVector& position) override;
  // "Startingxpos", "Startingypos", "Startingzpos", "Heading", "Tilt" (0), "UnitsPerSec" (2.0),
  // "AbleToFly" (false); then recomputes and commits.
  void LoadFromIni(const TIniFile& ini, std::string_view section) override;
  // Position + request * speed * dt, on all three axes.
  TVector DesiredPosition(float dt) override;
  // Seeking: with nobody left hiding the game is won and resets a second later. Hiding: found by
  // the seeker once it seeks. Counting: starts seeking.
  void Touched(TGhostObject& other) override;

  // Input for the next step; h is the heading, m the speed multiplier.
  void MoveForward();   // (-sin h, -cos h) * m
  void MoveBackward();  // (sin h, cos h) * 0.66 m
  void StrafeLeft();    // (-cos h, sin h) * 0.5 m
  void StrafeRight();   // (cos h, -sin h) * 0.5 m
  // Raises the request by 1; on the ground also starts rising (vertical speed -4). A flyer climbs
  // further and halves its vertical speed.
  void Jump();
  void SetRunning(bool running) { SpeedMultiplier = running ? 2.0f : 1.0f; }

  // Eye height above the origin: 5/9 of the model's top when standing, 0 crouching.
  float EyeHeight() const;
  // Puts the player there at once, without a collision test, and clears the request.
  void PlaceAt(const TVector& position);

  TVector Request{};          // movement wanted for the next step, in units of speed * dt
  bool AbleToFly = false;     // jumping in the air climbs
  float SpeedMultiplier = 1;  // 1 walking, 2 running
  bool Standing = true;       // false while crouching: only the eyes go down
};

}  // namespace qv
