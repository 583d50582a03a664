#include "game/MovableObject.h"

#include <algorithm>
#include <cmath>

#include "game/LevelSchema.h"
#include "platform/IniFile.h"
#include "scene/PlacedDraw.h"

namespace qv {

namespace {

constexpr float kRadiansPerDegree = 3.14159265358979f / 180.0f;

TBox BoxWith(const TBox& b, const TVector& p) {
  return {std::min(b.minX, p.x), std::max(b.maxX, p.x), std::min(b.minY, p.y),
          std::max(b.maxY, p.y), std::min(b.minZ, p.z), std::max(b.maxZ, p.z)};
}

}  // namespace

// Tilt about x, then heading about y, then the position.
TVector TMovableObject::Placed(const TVector& p, const TTurn& turn, const TVector& position) {
  const float y = p.y * turn.CosTilt - p.z * turn.SinTilt;
  const float z = p.y * turn.SinTilt + p.z * turn.CosTilt;
  const float x = p.x * turn.CosHeading + z * turn.SinHeading;
  const float z2 = z * turn.CosHeading - p.x * turn.SinHeading;
  return VecAdd({x, y, z2}, position);
}

TMovableObject::TMovableObject(const TModelSource& adapter) {
  LoadFromAdapter(adapter);
  box_ = nextBox_ = BoundingBox;
  sphere_ = nextSphere_ = BoundingSphere;
  nextBoxTighter_ = BoxTighter;
  dirty_ = true;  // the level box from the start: the one every later commit gives
  Commit();
}

bool TMovableObject::IsBoxTighter() const { return BoxTighter; }
void TMovableObject::GetBoundingBox(TBox& box) const { box = box_; }
void TMovableObject::GetBoundingSphere(TSphere& sphere) const { sphere = sphere_; }

void TMovableObject::Draw() {
  DrawPlaced(position_, heading_, tilt_, [this] { T3dObjects::Draw(); });
}

void TMovableObject::SetPosition(const TVector& position) {
  if (position == position_) return;
  nextPosition_ = position;
  dirty_ = true;
}

void TMovableObject::SetNextPosition(const TVector& position) {
  nextPosition_ = position;
  dirty_ = true;
}

float TMovableObject::HoverHeight() const { return std::fabs(ModelBox().minY) * 1.3f; }

float TMovableObject::FrontReach() const { return std::fabs(ModelBox().minZ); }

void TMovableObject::LoadStart(const TIniFile& ini, std::string_view section,
                               const TStartKeys& keys) {
  SetNextPosition({ReadLevelFloat(ini, section, keys.X), ReadLevelFloat(ini, section, keys.Y),
                   ReadLevelFloat(ini, section, keys.Z)});
  SetHeading(ReadLevelFloat(ini, section, keys.Heading));
  SetTilt(ReadLevelFloat(ini, section, keys.Tilt));
  SetSpeed(ReadLevelFloat(ini, section, keys.Speed));
}

void TMovableObject::LoadFromIni(const TIniFile& ini, std::string_view section) {
  constexpr std::string_view kGhost = "TGhostObject";
  LoadStart(ini, section,
            {LevelKey(kGhost, "Initialxpos"), LevelKey(kGhost, "Initialypos"),
             LevelKey(kGhost, "Initialzpos"), LevelKey(kGhost, "InitialHeading"),
             LevelKey(kGhost, "InitialTilt"), LevelKey(kGhost, "UnitsPerSec")});
  Recompute();
  Commit();
}

void TMovableObject::LoadFromIniIfAny(const TIniFile* ini, std::string_view section) {
  if (ini) LoadFromIni(*ini, section);
}

TVector TMovableObject::DesiredPosition(float dt) {
  const float step = unitsPerSec_ * SpeedFactor * dt;
  return VecAdd(position_, {-sinHeading_ * step, 0, -cosHeading_ * step});
}

void TMovableObject::SetHeading(float heading) {
  if (heading == heading_) return;
  nextHeading_ = heading;
  sinNextHeading_ = std::sin(heading * kRadiansPerDegree);
  cosNextHeading_ = std::cos(heading * kRadiansPerDegree);
  dirty_ = true;
}

void TMovableObject::SetTilt(float tilt) {
  if (tilt == tilt_) return;
  nextTilt_ = tilt;
  sinNextTilt_ = std::sin(tilt * kRadiansPerDegree);
  cosNextTilt_ = std::cos(tilt * kRadiansPerDegree);
  dirty_ = true;
}

TVector TMovableObject::ToLevel(const TVector& p) const {
  return Placed(p, {sinNextHeading_, cosNextHeading_, sinNextTilt_, cosNextTilt_}, nextPosition_);
}

TBox TMovableObject::BoxAt(const TTurn& turn) const {
  const TBox& b = ModelBox();
  TBox box{};
  for (int k = 0; k < 8; ++k) {
    const TVector corner =
        Placed({k & 1 ? b.maxX : b.minX, k & 2 ? b.maxY : b.minY, k & 4 ? b.maxZ : b.minZ}, turn,
               nextPosition_);
    box = k == 0 ? TBox{corner.x, corner.x, corner.y, corner.y, corner.z, corner.z}
                 : BoxWith(box, corner);
  }
  return box;
}

TBox TMovableObject::TurnBox() {
  Recompute();
  const float dh = std::remainder(nextHeading_ - heading_, 360.0f), dt = nextTilt_ - tilt_;
  if (!(std::fabs(dh) > 0 || std::fabs(dt) > 0)) return nextBox_;
  const int steps = static_cast<int>(std::ceil(std::max(std::fabs(dh), std::fabs(dt)) / 30));
  TBox box = nextBox_;
  for (int k = 0; k < steps; ++k) {  // k = 0 is the current heading and tilt
    const float h = (heading_ + dh * k / steps) * kRadiansPerDegree;
    const float t = (tilt_ + dt * k / steps) * kRadiansPerDegree;
    const TBox between = BoxAt({std::sin(h), std::cos(h), std::sin(t), std::cos(t)});
    box = BoxWith(BoxWith(box, {between.minX, between.minY, between.minZ}),
                  {between.maxX, between.maxY, between.maxZ});
  }
  return box;
}

void TMovableObject::Recompute() {
  if (!dirty_) return;
  // The model's box as placed: its eight corners turned by the next tilt and heading. It is the
  // box the actor is drawn in, so others meet it where they see it. A turn that would swing it
  // into a wall waits (TurnBox, HoldTurn: the movement step's final placement).
  nextBox_ = BoxAt({sinNextHeading_, cosNextHeading_, sinNextTilt_, cosNextTilt_});
  BoxVolume = (nextBox_.maxX - nextBox_.minX) * (nextBox_.maxY - nextBox_.minY) *
              (nextBox_.maxZ - nextBox_.minZ);
  const TSphere& s = ModelSphere();
  const TVector centre = ToLevel({s.x, s.y, s.z});
  nextSphere_ = {centre.x, centre.y, centre.z, s.r};
  nextBoxTighter_ = BoxVolume < SphereVolume;
}

bool TMovableObject::HoldTurn() {
  if (!Turns()) return false;
  nextHeading_ = heading_;
  nextTilt_ = tilt_;
  sinNextHeading_ = sinHeading_;
  cosNextHeading_ = cosHeading_;
  sinNextTilt_ = sinTilt_;
  cosNextTilt_ = cosTilt_;
  dirty_ = true;
  return true;
}

const TBox& TMovableObject::NextBox() {
  Recompute();
  return nextBox_;
}

void TMovableObject::Commit() {
  Recompute();
  position_ = nextPosition_;
  heading_ = nextHeading_;
  tilt_ = nextTilt_;
  BoxTighter = nextBoxTighter_;
  box_ = nextBox_;
  sphere_ = nextSphere_;
  sinHeading_ = sinNextHeading_;
  cosHeading_ = cosNextHeading_;
  sinTilt_ = sinNextTilt_;
  cosTilt_ = cosNextTilt_;
  dirty_ = false;
}

void TMovableObject::Revert() {
  nextPosition_ = position_;
  nextHeading_ = heading_;
  nextTilt_ = tilt_;
  nextBoxTighter_ = BoxTighter;
  nextBox_ = box_;
  nextSphere_ = sphere_;
  sinNextHeading_ = sinHeading_;
  cosNextHeading_ = cosHeading_;
  sinNextTilt_ = sinTilt_;
  cosNextTilt_ = cosTilt_;
  BoxVolume = (box_.maxX - box_.minX) * (box_.maxY - box_.minY) * (box_.maxZ - box_.minZ);
  dirty_ = false;
}

}  // namespace qv
