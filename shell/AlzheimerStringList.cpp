#include "shell/AlzheimerStringList.h"

#include <stdexcept>
#include <utility>

namespace qv {

namespace {
void DropFirst(std::deque<std::string>& lines) {
  if (!lines.empty()) lines.pop_front();
}
}  // namespace

TAlzheimerStringList::TAlzheimerStringList(std::int64_t lifetime, TAlarmDispatcher& alarms)
    : lifetime_(lifetime), alarms_(alarms) {}

void TAlzheimerStringList::Add(std::string line) {
  lines_->push_back(std::move(line));
  alarms_.AddIn(
      [lines = std::weak_ptr<TLines>(lines_)] {
        if (const auto alive = lines.lock()) DropFirst(*alive);
      },
      lifetime_);
}

void TAlzheimerStringList::ForgetOldest() { DropFirst(*lines_); }

const std::string& TAlzheimerStringList::Get(int index) const {
  if (index < 0 || index >= Count())
    throw std::out_of_range("TAlzheimerStringList.Get: line " + std::to_string(index) + " of " +
                            std::to_string(Count()));
  return (*lines_)[static_cast<std::size_t>(index)];
}

}  // namespace qv
