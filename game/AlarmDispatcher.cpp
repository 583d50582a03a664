#include "game/AlarmDispatcher.h"

#include <stdexcept>
#include <utility>

namespace qv {

void TAlarmDispatcher::SetClock(TClockFunction clock) { clock_ = std::move(clock); }

void TAlarmDispatcher::AddAt(TAlarmCallback callback, int64_t dueTime) {
  auto at = alarms_.begin();
  while (at != alarms_.end() && at->DueTime < dueTime) ++at;
  alarms_.insert(at, TAlarm{dueTime, std::move(callback)});
}

void TAlarmDispatcher::AddIn(TAlarmCallback callback, int64_t delay) {
  if (!clock_) throw std::logic_error("TAlarmDispatcher.AddIn: no clock set");
  AddAt(std::move(callback), clock_() + delay);
}

void TAlarmDispatcher::FireFirst() {
  std::list<TAlarm> fired;
  fired.splice(fired.begin(), alarms_, alarms_.begin());
  if (fired.front().Callback) fired.front().Callback();
}

void TAlarmDispatcher::FireDue(int64_t now) {
  while (!alarms_.empty() && alarms_.front().DueTime <= now) FireFirst();
}

void TAlarmDispatcher::FireAll() {
  while (!alarms_.empty()) FireFirst();
}

TAlarmDispatcher& GlobalAlarmDispatcher() {
  static TAlarmDispatcher dispatcher;
  return dispatcher;
}

}  // namespace qv
