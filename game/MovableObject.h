#pragma once
// Movable objects: the player and every ghost. A movable object is a container of model objects
// (in the model's own coordinates) placed in the level by a position, a heading about y and a tilt
// about x. Its state exists twice: the current state is drawn and collided with; the next state is
// what movement changes, and it is then committed (made current) or reverted (dropped). Between
// frames the two are equal. The movement step that moves actors through a level is in
// MovementStep.h.
//
// The container's own BoundingBox and BoundingSphere stay the model's local bounds; the virtual
// getters answer the current bounds in level coordinates. Ownership: the model objects belong to
// the adapter that made them, which must outlive the actor. Nothing here calls OpenGL; Draw goes
// through scene/PlacedDraw.h.

#include <string_view>

#include "scene/3dObjects.h"

namespace qv {

class TIniFile;
class TModelSource;
struct TLevelKey;

class TMovableObject : public T3dObjects {
 public:
  // Loads the model objects from the adapter: position (0, 0, 0), heading and tilt 0, speed 1.0,
  // speed factor 1.0, vertical speed 0, gravity-free.
  explicit TMovableObject(const TModelSource& adapter);

  // T3dObject slots: the current state, level coordinates.
  bool IsBoxTighter() const override;
  void GetBoundingBox(TBox& box) const override;
  void GetBoundingSphere(TSphere& sphere) const override;
  void Draw() override;

  // Own slots.
  // Nothing when `position` equals the current position exactly; else the next position.
  virtual void SetPosition(const TVector& position);
  // How high the origin floats above the ground: |minimum y of the model box| * 1.3.
  virtual float HoverHeight() const;
  // "Initialxpos", "Initialypos", "Initialzpos", "InitialHeading", "InitialTilt" (0),
  // "UnitsPerSec" (1.0); then recomputes and commits.
  virtual void LoadFromIni(const TIniFile& ini, std::string_view section);
  // Where the actor wants to be after dt game seconds: along the current heading, speed * speed
  // factor * dt away.
  virtual TVector DesiredPosition(float dt);

  // The next position without the equality shortcut: for loading and placing, which must take
  // effect even where the position is unchanged.
  void SetNextPosition(const TVector& position);

  // Nothing when the angle equals the current one exactly; else the next angle (degrees).
  void SetHeading(float heading);
  void SetTilt(float tilt);
  void SetSpeed(float unitsPerSec) { unitsPerSec_ = unitsPerSec; }

  const TVector& Position() const { return position_; }
  float Heading() const { return heading_; }
  float Tilt() const { return tilt_; }
  float Speed() const { return unitsPerSec_; }
  const TVector& NextPosition() const { return nextPosition_; }
  float NextHeading() const { return nextHeading_; }
  bool IsDirty() const { return dirty_; }
  // The model's own box and sphere, in its local coordinates.
  const TBox& ModelBox() const { return BoundingBox; }
  const TSphere& ModelSphere() const { return BoundingSphere; }

  // Next box and sphere from the next state; only when the next state changed. The box is the
  // model's box with its corners turned by tilt and heading, as drawn.
  void Recompute();
  // The box swept by the model turning from the current to the next heading and tilt, at the next
  // position: the boxes at both ends and at steps of at most 30 degrees between, in one box. The
  // next box when nothing turns. A model off its origin would otherwise swing through a thin wall
  // from one frame to the next.
  TBox TurnBox();
  // True when the next heading or tilt differs from the current one.
  bool Turns() const { return nextHeading_ != heading_ || nextTilt_ != tilt_; }
  // Drops a pending turn: the next heading and tilt become the current ones again, the next
  // position stays. False when there was no turn to drop.
  bool HoldTurn();
  // Recompute, then the next box (level coordinates).
  const TBox& NextBox();
  void Commit();
  void Revert();
  void LoadFromIniIfAny(const TIniFile* ini, std::string_view section);
  // |minimum z of the model box|: how far the model reaches ahead of its origin.
  float FrontReach() const;
  // A local point placed by the next state: tilt about x, heading about y, then the position.
  TVector ToLevel(const TVector& local) const;

  float VerticalSpeed = 0;  // units per game second; positive falls, negative rises
  float SpeedFactor = 1;    // scales the speed along the heading; ghosts vary it
  bool GravityFree = true;  // moves straight to its desired position, no ground, no gravity

 protected:
  // The start keys of an ini section, named differently for the player and the ghosts.
  struct TStartKeys {
    const TLevelKey& X;  // next position x, y and z
    const TLevelKey& Y;
    const TLevelKey& Z;
    const TLevelKey& Heading;  // degrees
    const TLevelKey& Tilt;     // degrees
    const TLevelKey& Speed;    // units per second
  };
  // Reads the start position, heading, tilt and speed; the caller recomputes and commits.
  void LoadStart(const TIniFile& ini, std::string_view section, const TStartKeys& keys);

 private:
  struct TTurn {
    float SinHeading, CosHeading, SinTilt, CosTilt;
  };
  static TVector Placed(const TVector& local, const TTurn& turn, const TVector& position);
  // The model's box turned by `turn` at the next position, level coordinates.
  TBox BoxAt(const TTurn& turn) const;

  // Fields in the order of the design; sines and cosines always match their angles.
  TVector position_{};  // current, level coordinates
  float heading_ = 0;   // current heading, degrees about y; 0 faces -z
  float nextHeading_ = 0;
  float tilt_ = 0;  // current tilt, degrees about x
  float nextTilt_ = 0;
  float unitsPerSec_ = 1;  // speed, units per game second
  bool nextBoxTighter_ = true;
  float sinNextTilt_ = 0, cosNextTilt_ = 1;
  TBox box_{}, nextBox_{};           // level coordinates
  TSphere sphere_{}, nextSphere_{};  // level coordinates
  float sinHeading_ = 0, cosHeading_ = 1;
  float sinNextHeading_ = 0, cosNextHeading_ = 1;
  float sinTilt_ = 0, cosTilt_ = 1;
  bool dirty_ = false;  // next state changed since the last commit or revert
  TVector nextPosition_{};
};

}  // namespace qv
