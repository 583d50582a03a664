#include "game/MovableObject.h"

#include <algorithm>
#include <cmath>

#include "game/LevelSchema.h"
#include "platform/IniFile.h"
#include "scene/PlacedDraw.h"

namespace qv {

namespace {

constexpr float kRadiansPerDegree = 3.14159265358979f / 180.0f;

}  // namespace

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
  const float y = p.y * cosNextTilt_ - p.z * sinNextTilt_;
  const float z = p.y * sinNextTilt_ + p.z * cosNextTilt_;
  const float x = p.x * cosNextHeading_ + z * sinNextHeading_;
  const float z2 = z * cosNextHeading_ - p.x * sinNextHeading_;
  return VecAdd({x, y, z2}, nextPosition_);
}

void TMovableObject::Recompute() {
  if (!dirty_) return;
  // The box encloses the model under every heading: the tilted corners' reach from the vertical
  // axis through the origin, on x and z alike. A box that followed the heading would grow when
  // the actor turns, and a turn beside a wall would then be refused with the whole move, so an
  // actor in a corner or facing a wall could never turn away from it.
  const TBox& b = ModelBox();
  float reach = 0, minY = 0, maxY = 0;
  for (int k = 0; k < 8; ++k) {
    const float x = k & 1 ? b.maxX : b.minX, y = k & 2 ? b.maxY : b.minY;
    const float z = k & 4 ? b.maxZ : b.minZ;
    const float ty = y * cosNextTilt_ - z * sinNextTilt_;
    const float tz = y * sinNextTilt_ + z * cosNextTilt_;
    reach = std::max(reach, std::sqrt(x * x + tz * tz));
    minY = k == 0 ? ty : std::min(minY, ty);
    maxY = k == 0 ? ty : std::max(maxY, ty);
  }
  const TVector& p = nextPosition_;
  nextBox_ = {p.x - reach, p.x + reach, p.y + minY, p.y + maxY, p.z - reach, p.z + reach};
  BoxVolume = (nextBox_.maxX - nextBox_.minX) * (nextBox_.maxY - nextBox_.minY) *
              (nextBox_.maxZ - nextBox_.minZ);
  const TSphere& s = ModelSphere();
  const TVector centre = ToLevel({s.x, s.y, s.z});
  nextSphere_ = {centre.x, centre.y, centre.z, s.r};
  nextBoxTighter_ = BoxVolume < SphereVolume;
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
