#include "game/GhostObject.h"

#include "game/AlarmDispatcher.h"
#include "game/RandomSource.h"

namespace qv {

TGhostObject::TGhostObject(const TModelSource& adapter, TSearchInfo& searchInfo,
                           TRandomSource& random)
    : TMovableObject(adapter),
      SearchInfo(searchInfo),
      Random(random),
      self_(std::make_shared<TGhostObject*>(this)) {
  SetState(gsFree);
  thinkPeriod_ = 2000 + Random.Integer(0, 49);
  NextThinkDelay = thinkPeriod_;
}

TGhostObject::~TGhostObject() = default;

const TGhostClass& TGhostObject::Class() {
  static const TGhostClass ref = MakeClassRef<TGhostObject, TGhostClass>("TGhostObject");
  return ref;
}

void TGhostObject::SetState(uint8_t state) {
  const bool becomesDone = state == gsDone && state_ != gsDone;
  state_ = state;
  if (becomesDone && SearchInfo.BecameDone) SearchInfo.BecameDone(*this);
  if (state == gsCounting)
    Highlight();
  else if (state == gsFree || state == gsHiding)
    Unhighlight();
}

void TGhostObject::ScheduleIn(int64_t delay, void (*action)(TGhostObject&)) {
  std::weak_ptr<TGhostObject*> ghost = self_;
  GlobalAlarmDispatcher().AddIn(
      [ghost, action] {
        if (const auto alive = ghost.lock()) action(**alive);
      },
      delay);
}

void TGhostObject::ScheduleThink(int64_t delay) {
  std::weak_ptr<TGhostObject*> ghost = self_;
  const uint32_t chain = chain_;
  GlobalAlarmDispatcher().AddIn(
      [ghost, chain] {
        const auto alive = ghost.lock();
        if (alive && (*alive)->chain_ == chain) (*alive)->OnAlarm();
      },
      delay);
}

void TGhostObject::Activate() {
  active_ = true;
  ++chain_;
  ScheduleThink(thinkPeriod_);
}

void TGhostObject::Deactivate() { active_ = false; }

void TGhostObject::OnAlarm() {
  if (!active_) return;
  Think();
  ScheduleThink(NextThinkDelay);
  NextThinkDelay = thinkPeriod_;
}

}  // namespace qv
