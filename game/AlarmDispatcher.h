#pragma once
// Timed alarms without a thread or an operating-system timer: one program-wide queue of callbacks,
// each due at a time of the application's millisecond clock. The game window fires the due ones
// once per frame, before the actors move. The queue is kept sorted by due time; among equal due
// times the alarm added last fires first. An alarm is taken off the queue before its callback runs
// and freed after it, so a callback may add alarms (which fire in the same call if already due)
// and a throwing callback does not leave its alarm behind to fire again. Alarms cannot be
// cancelled; destroying the dispatcher frees the queued ones without calling them.
// Cost: AddAt is linear in the queue length, firing is constant per alarm.

#include <cstdint>
#include <functional>
#include <list>

namespace qv {

// A procedure bound to the object it is called on.
using TAlarmCallback = std::function<void()>;
// The application's millisecond clock.
using TClockFunction = std::function<int64_t()>;

struct TAlarm {
  int64_t DueTime = 0;      // application clock, milliseconds
  TAlarmCallback Callback;  // called once, when due
};

class TAlarmDispatcher {
 public:
  TAlarmDispatcher() = default;
  TAlarmDispatcher(const TAlarmDispatcher&) = delete;
  TAlarmDispatcher& operator=(const TAlarmDispatcher&) = delete;

  // The clock AddIn reads; the shell sets its TimeMs at start-up, tests set their own.
  void SetClock(TClockFunction clock);

  // Before the first queued alarm due at or after dueTime (at the end if none).
  void AddAt(TAlarmCallback callback, int64_t dueTime);
  // AddAt at clock + delay; std::logic_error when no clock has been set.
  void AddIn(TAlarmCallback callback, int64_t delay);
  // Fires, in queue order, every alarm due at or before now, including ones added meanwhile.
  void FireDue(int64_t now);
  // Fires every alarm whatever its due time, including ones added meanwhile, until none is left.
  void FireAll();

  int Count() const { return static_cast<int>(alarms_.size()); }
  bool Empty() const { return alarms_.empty(); }

 private:
  void FireFirst();

  std::list<TAlarm> alarms_;  // owned, sorted by DueTime ascending
  TClockFunction clock_;      // for AddIn
};

// The one dispatcher of the run, created before main runs its own code.
TAlarmDispatcher& GlobalAlarmDispatcher();

}  // namespace qv
