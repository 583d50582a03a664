#pragma once
// TAlzheimerStringList: the short text lines drawn over the scene (toggle confirmations, game
// announcements, the help screen). It forgets on its own: every Add schedules, Lifetime
// milliseconds later on the alarm dispatcher, one removal of whatever line is oldest then. While
// lines are only added each lives Lifetime ms (gone at the first frame at or past its due time);
// Clear leaves the removals already scheduled in place, so they take the oldest new lines early.
// Removals that fire after the list is gone do nothing, so the list may die before its alarms.
// Cost: Add is one dispatcher insertion (linear in the queue); removal is constant.

#include <cstdint>
#include <deque>
#include <memory>
#include <string>

#include "game/AlarmDispatcher.h"

namespace qv {

class TAlzheimerStringList {
 public:
  explicit TAlzheimerStringList(std::int64_t lifetime,
                                TAlarmDispatcher& alarms = GlobalAlarmDispatcher());
  TAlzheimerStringList(const TAlzheimerStringList&) = delete;
  TAlzheimerStringList& operator=(const TAlzheimerStringList&) = delete;

  // Appends `line` (empty and repeated lines allowed) and schedules one ForgetOldest.
  void Add(std::string line);
  // Drops the oldest line; an empty list stays empty.
  void ForgetOldest();
  int Count() const { return static_cast<int>(lines_->size()); }
  // Line `index`, 0 the oldest; std::out_of_range outside 0..Count()-1.
  const std::string& Get(int index) const;
  // Empties the list; removals already scheduled stay scheduled.
  void Clear() { lines_->clear(); }
  std::int64_t Lifetime() const { return lifetime_; }

 private:
  using TLines = std::deque<std::string>;
  // Shared with the scheduled removals only weakly, so a removal that outlives the list finds
  // nothing to remove.
  std::shared_ptr<TLines> lines_ = std::make_shared<TLines>();
  std::int64_t lifetime_;  // milliseconds from Add to the removal it schedules
  TAlarmDispatcher& alarms_;
};

}  // namespace qv
