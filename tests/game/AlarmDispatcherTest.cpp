#include "game/AlarmDispatcher.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

namespace qv {
namespace {

// Each alarm appends its name to the log when it fires.
struct TAlarmLog {
  std::string fired;
  TAlarmCallback Note(const std::string& name) {
    return [this, name] { fired += name; };
  }
};

TEST(AlarmDispatcher, FiresDueAlarmsInTimeOrderAndEqualTimesLastAddedFirst) {
  TAlarmDispatcher alarms;
  TAlarmLog log;
  alarms.AddAt(log.Note("c"), 300);
  alarms.AddAt(log.Note("a"), 100);
  alarms.AddAt(log.Note("b1"), 200);
  alarms.AddAt(log.Note("b2"), 200);
  alarms.AddAt(log.Note("b3"), 200);

  alarms.FireDue(99);
  EXPECT_EQ(log.fired, "");
  alarms.FireDue(200);  // due exactly now fires
  EXPECT_EQ(log.fired, "ab3b2b1");
  EXPECT_EQ(alarms.Count(), 1);
  alarms.FireDue(1000);
  EXPECT_EQ(log.fired, "ab3b2b1c");
  EXPECT_TRUE(alarms.Empty());
}

TEST(AlarmDispatcher, AlarmsAddedWhileFiringDueRunInTheSameCallWhenDue) {
  TAlarmDispatcher alarms;
  TAlarmLog log;
  int firstRuns = 0;
  // Re-arms itself once with the same due time: it sorts in front of the alarm being fired.
  alarms.AddAt(
      [&] {
        ++firstRuns;
        log.fired += "x";
        alarms.AddAt(log.Note("y"), 100);
        alarms.AddAt(log.Note("later"), 101);
      },
      100);
  alarms.AddAt(log.Note("z"), 100);  // added last, fires first
  alarms.FireDue(100);
  EXPECT_EQ(firstRuns, 1);
  EXPECT_EQ(log.fired, "zxy");
  EXPECT_EQ(alarms.Count(), 1);
}

TEST(AlarmDispatcher, AddInCountsFromTheInjectedClock) {
  TAlarmDispatcher alarms;
  TAlarmLog log;
  EXPECT_THROW(alarms.AddIn(log.Note("a"), 10), std::logic_error);
  std::int64_t now = 5000;
  alarms.SetClock([&now] { return now; });
  alarms.AddIn(log.Note("a"), 10);
  now = 5005;
  alarms.AddIn(log.Note("b"), 0);
  alarms.FireDue(5009);
  EXPECT_EQ(log.fired, "b");
  alarms.FireDue(5010);
  EXPECT_EQ(log.fired, "ba");
}

TEST(AlarmDispatcher, FireAllRunsEverythingIncludingWhatItAddsUntilEmpty) {
  TAlarmDispatcher alarms;
  alarms.FireAll();  // nothing queued: nothing happens
  TAlarmLog log;
  int rearms = 3;
  std::function<void()> ghost = [&] {
    log.fired += "g";
    if (rearms-- > 0) alarms.AddAt(ghost, 1'000'000);  // far in the future, still fired now
  };
  alarms.AddAt(ghost, 2000);
  alarms.AddAt(log.Note("m"), 500);
  alarms.FireAll();
  EXPECT_EQ(log.fired, "mgggg");
  EXPECT_TRUE(alarms.Empty());
}

TEST(AlarmDispatcher, AFailingCallbackLeavesNoAlarmBehindAndQueuedOnesAreFreedUncalled) {
  TAlarmLog log;
  auto alive = std::make_shared<int>(0);
  {
    TAlarmDispatcher alarms;
    alarms.AddAt([] { throw std::runtime_error("think step failed"); }, 1);
    alarms.AddAt(log.Note("a"), 2);
    EXPECT_THROW(alarms.FireDue(10), std::runtime_error);
    EXPECT_EQ(alarms.Count(), 1);
    alarms.FireDue(10);
    EXPECT_EQ(log.fired, "a");
    alarms.AddAt([alive, &log] { log.fired += "never"; }, 5);
    EXPECT_EQ(alive.use_count(), 2);
  }
  EXPECT_EQ(alive.use_count(), 1);  // the queued alarm was freed
  EXPECT_EQ(log.fired, "a");
}

}  // namespace
}  // namespace qv
