#include "game/PlayerObject.h"

#include <cmath>

#include "game/LevelSchema.h"
#include "platform/IniFile.h"

namespace qv {

namespace {

constexpr float kRadiansPerDegree = 3.14159265358979f / 180.0f;

}  // namespace

TPlayerObject::TPlayerObject(const TModelSource& adapter, TSearchInfo& searchInfo,
                             TRandomSource& random)
    : TGhostObject(adapter, searchInfo, random) {
  Kind = &Class();
  VerticalSpeed = 0.2f;
  GravityFree = false;
}

const TGhostClass& TPlayerObject::Class() {
  static const TGhostClass ref = MakeClassRef<TPlayerObject, TGhostClass>("TPlayerObject");
  return ref;
}

void TPlayerObject::SetPosition(const TVector& position) {
  TGhostObject::SetPosition(position);
  Request = {};
}

void TPlayerObject::LoadFromIni(const TIniFile& ini, std::string_view section) {
  LoadStart(ini, section,
            {LevelKey("Player", "Startingxpos"), LevelKey("Player", "Startingypos"),
             LevelKey("Player", "Startingzpos"), LevelKey("Player", "Heading"),
             LevelKey("Player", "Tilt"), LevelKey("Player", "UnitsPerSec")});
  AbleToFly = ReadLevelBool(ini, section, LevelKey("Player", "AbleToFly"));
  Recompute();
  Commit();
}

TVector TPlayerObject::DesiredPosition(float dt) {
  return VecAdd(Position(), VecScale(Request, Speed() * dt));
}

void TPlayerObject::MoveForward() {
  const float h = Heading() * kRadiansPerDegree;
  Request.x -= std::sin(h) * SpeedMultiplier;
  Request.z -= std::cos(h) * SpeedMultiplier;
}

void TPlayerObject::MoveBackward() {
  const float h = Heading() * kRadiansPerDegree;
  Request.x += std::sin(h) * 0.66f * SpeedMultiplier;
  Request.z += std::cos(h) * 0.66f * SpeedMultiplier;
}

void TPlayerObject::StrafeLeft() {
  const float h = Heading() * kRadiansPerDegree;
  Request.x -= std::cos(h) * 0.5f * SpeedMultiplier;
  Request.z += std::sin(h) * 0.5f * SpeedMultiplier;
}

void TPlayerObject::StrafeRight() {
  const float h = Heading() * kRadiansPerDegree;
  Request.x += std::cos(h) * 0.5f * SpeedMultiplier;
  Request.z -= std::sin(h) * 0.5f * SpeedMultiplier;
}

void TPlayerObject::Jump() {
  Request.y += 1.0f;
  if (VerticalSpeed == 0) VerticalSpeed -= 4.0f;
  if (AbleToFly) {
    Request.y = std::fabs(VerticalSpeed) / 2 + Request.y + 2.5f;
    VerticalSpeed /= 2;
  }
}

float TPlayerObject::EyeHeight() const { return Standing ? ModelBox().maxY * 5.0f / 9.0f : 0; }

void TPlayerObject::PlaceAt(const TVector& position) {
  SetNextPosition(position);
  Recompute();
  Commit();
  Request = {};
}

void TPlayerObject::Touched(TGhostObject& other) {
  switch (State()) {
    case gsSeeking:
      if (!SearchInfo.GetHiders().empty()) return;
      SetState(gsDone);
      ScheduleIn(1000,
                 [](TGhostObject& g) { static_cast<TPlayerObject&>(g).SearchInfo.ResetGame(); });
      break;
    case gsHiding: {
      const TGhostObject* seeker = SearchInfo.GetSeeker();
      if (seeker == &other && seeker->State() == gsSeeking) SetState(gsDone);
      break;
    }
    case gsCounting: SetState(gsSeeking); break;
    default: break;
  }
}

}  // namespace qv
