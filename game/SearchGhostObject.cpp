#include "game/SearchGhostObject.h"

#include <algorithm>
#include <cmath>

#include "game/AlarmDispatcher.h"
#include "game/LevelSchema.h"
#include "game/PlayerObject.h"
#include "game/RandomSource.h"
#include "platform/IniFile.h"

namespace qv {

TSearchGhostObject::TSearchGhostObject(const TModelSource& adapter, TSearchInfo& searchInfo,
                                       TRandomSource& random)
    : TGhostObject(adapter, searchInfo, random) {
  GravityFree = false;
  SetTarget(0);
}

const TGhostClass& TSearchGhostObject::Class() {
  static const TGhostClass ref =
      MakeClassRef<TSearchGhostObject, TGhostClass>("TSearchGhostObject");
  return ref;
}

void TSearchGhostObject::LoadFromIni(const TIniFile& ini, std::string_view section) {
  TGhostObject::LoadFromIni(ini, section);
  switch (ReadLevelInteger(ini, section, LevelKey("TSearchGhostObject", "InitialState"))) {
    case 1: SetState(gsSeeking); break;
    case 2: SetState(gsFree); break;
    case 3: SetState(gsHiding); break;
    default: break;
  }
}

TVector TSearchGhostObject::DesiredPosition(float dt) {
  TVector position = TGhostObject::DesiredPosition(dt);
  GiveWayWhenStuck(dt, position);
  if (backingFor_ > 0) {  // straight back, the way it came
    backingFor_ -= dt;
    position = VecSub(VecScale(Position(), 2), position);
  }
  if (std::fabs(Heading() - TargetHeading) >= 10)
    SetHeading(Heading() + dt * TurnRate);
  else
    TurnRate *= 0.2f;
  return position;
}

namespace {
float GroundDistance(const TVector& a, const TVector& b) {
  return std::hypot(a.x - b.x, a.z - b.z);
}
}  // namespace

void TSearchGhostObject::GiveWayWhenStuck(float dt, const TVector& wanted) {
  const float madeGood = GroundDistance(Position(), lastPosition_);
  const bool stuck = lastWantedStep_ > 0 && madeGood < 0.1f * lastWantedStep_;
  lastPosition_ = Position();
  lastWantedStep_ = GroundDistance(wanted, Position());
  detourLeft_ = std::max(0.0f, detourLeft_ - dt);
  stuckFor_ = stuck ? stuckFor_ + dt : 0;
  // Headway made on a detour does not count: the ghost is not yet past what stopped it.
  freeFor_ = stuck ? 0 : Detouring() ? freeFor_ : freeFor_ + dt;
  if (freeFor_ >= kFreeAgain) nextDetour_ = kFirstDetour;
  if (stuckFor_ < kStuckFor) return;
  // A first stop picks a side at random; further ones keep it, so the ghost follows the outline.
  if (nextDetour_ == kFirstDetour) detourSide_ = Random.Integer(0, 1) == 0 ? -1.0f : 1.0f;
  stuckFor_ = 0;
  // The last quarter turn never came about: the box, turned, would meet the wall. Back off first.
  if (Detouring() && std::fabs(Heading() - detourFrom_) < 1) backingFor_ = kStuckFor;
  detourFrom_ = Heading();
  detourLeft_ = nextDetour_;
  nextDetour_ = std::min(kLongestDetour, nextDetour_ * 2);
  SetTarget(Heading() + detourSide_ * 90);
  TurnRate = detourSide_ * 90 / kStuckFor;  // the quarter turn takes as long as the wait before it
}

void TSearchGhostObject::SetState(uint8_t state) {
  // A game reset while the seeker counted leaves the flag set; without this the ghost would skip
  // its count the next time it becomes the seeker.
  if (state == gsCounting) Counting = false;
  TGhostObject::SetState(state);
}

void TSearchGhostObject::Think() {
  if (Detouring() && (State() == gsSeeking || State() == gsFree || State() == gsHiding)) {
    if (State() == gsSeeking) CheckGameOver();
    return;
  }
  switch (State()) {
    case gsSeeking: Seek(); break;
    case gsFree: Wander(); break;
    case gsHiding: Hide(); break;
    case gsCounting: CountDown(); break;
    case gsDone: Stop(); break;
    default: break;
  }
}

void TSearchGhostObject::Seek() {
  CheckGameOver();
  TurnRate = float(Random.Integer(0, 100) - 50);
  SetTarget(Heading() + float(Random.Integer(0, 360) - 180));
  SpeedFactor = Random.Unit() * 0.14f + 0.85f;
}

void TSearchGhostObject::Wander() {
  TurnRate = float(Random.Integer(0, 60) - 30);
  SetTarget(Heading() + float(Random.Integer(0, 360) - 180));
  SpeedFactor = Random.Unit() * 0.8f;
}

void TSearchGhostObject::Hide() {
  TurnRate = float(Random.Integer(0, 30) - 15);
  SetTarget(Heading() + float(Random.Integer(0, 360) - 180));
  SpeedFactor = Random.Unit() * 0.6f + 0.1f;
}

void TSearchGhostObject::Stop() {
  SetTarget(Heading());
  SpeedFactor = 0;
}

void TSearchGhostObject::CountDown() {
  if (Counting) {
    Counting = false;
    SetState(gsSeeking);
    return;
  }
  Counting = true;
  NextThinkDelay = 10000;
  TurnRate = 360.0f;
  SetTarget(2147483648.0f);
  SpeedFactor = 0;
}

void TSearchGhostObject::CheckGameOver() {
  if (!SearchInfo.GetHiders().empty()) return;
  SetState(gsDone);
  ScheduleIn(1000,
             [](TGhostObject& g) { static_cast<TSearchGhostObject&>(g).SearchInfo.ResetGame(); });
}

void TSearchGhostObject::SetTarget(float angle) {
  const double h = Heading();
  const double difference = double(angle) - h;
  if (std::fabs(difference) <= 180) {
    TargetHeading = angle;
    return;
  }
  if (!std::isfinite(difference)) {  // no direction to turn to: keep the heading
    TargetHeading = Heading();
    return;
  }
  // The low 32 bits of the rounded-up difference, read as a signed number, and its remainder by
  // a whole turn (a remainder by half a turn would face the ghost away from a target on its left).
  const double low = std::fmod(std::ceil(difference), 4294967296.0);
  const auto wrapped = static_cast<int32_t>(static_cast<uint32_t>(static_cast<int64_t>(low)));
  TargetHeading = float(h + double(wrapped % 360));
}

void TSearchGhostObject::TurnByNextThink() {
  const int64_t delay = std::max<int64_t>(NextThinkDelay, 1);
  TurnRate = float((double(TargetHeading) - Heading()) * 1000.0 / double(delay));
}

void TSearchGhostObject::Touched(TGhostObject& other) {
  if (State() == gsFree) {
    if (dynamic_cast<TPlayerObject*>(&other) && other.State() == gsFree)
      SearchInfo.MakeSeeker(this);
  } else if (State() == gsHiding) {
    TGhostObject* seeker = SearchInfo.GetSeeker();
    if (seeker == &other && seeker->State() == gsSeeking) SetState(gsDone);
  }
}

float HeadingTowards(const TVector& direction) {
  const TVector d = VecNormalize({direction.x, 0, direction.z});
  double angle = std::acos(std::clamp(-double(d.z), -1.0, 1.0)) * (180.0 / 3.14159265358979323846);
  if (d.x < 0) angle = 360 - angle;
  return float(-angle);
}

}  // namespace qv
