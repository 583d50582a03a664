// The message list on a dispatcher of its own, driven by hand: lines live their lifetime, removals
// after Clear take the new lines early, a burst goes together, and a list may die before its
// alarms.
#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>

#include "shell/AlzheimerStringList.h"

namespace {

using qv::TAlzheimerStringList;

class AlzheimerStringListTest : public ::testing::Test {
 protected:
  AlzheimerStringListTest() {
    alarms_.SetClock([this] { return now_; });
  }
  // The frame at `ms`: the game window fires what is due first.
  void FrameAt(std::int64_t ms) {
    now_ = ms;
    alarms_.FireDue(ms);
  }
  std::int64_t now_ = 0;
  qv::TAlarmDispatcher alarms_;
  TAlzheimerStringList list_{5000, alarms_};
};

TEST_F(AlzheimerStringListTest, EachLineLivesItsLifetimeAndTheOldestGoesFirst) {
  EXPECT_EQ(list_.Lifetime(), 5000);
  FrameAt(0);
  list_.Add("a");
  FrameAt(1000);
  list_.Add("b");
  FrameAt(2000);
  list_.Add("c");
  // (frame time, lines left, oldest line)
  const struct {
    std::int64_t ms;
    int count;
    const char* oldest;
  } frames[] = {{4999, 3, "a"}, {5000, 2, "b"}, {5999, 2, "b"}, {6003, 1, "c"}, {7000, 0, ""}};
  for (const auto& f : frames) {
    FrameAt(f.ms);
    ASSERT_EQ(list_.Count(), f.count) << f.ms;
    if (f.count > 0) {
      EXPECT_EQ(list_.Get(0), f.oldest) << f.ms;
    }
  }
  EXPECT_TRUE(alarms_.Empty());
}

TEST_F(AlzheimerStringListTest, AfterClearTheOldRemovalsTakeTheNewLineEarly) {
  for (const char* line : {"a", "b", "c"}) {
    list_.Add(line);
    FrameAt(now_ + 1000);
  }
  list_.Clear();
  EXPECT_EQ(list_.Count(), 0);
  list_.Add("new");  // at 3 s: due at 8 s, but the removal due at 5 s takes it
  FrameAt(5000);
  EXPECT_EQ(list_.Count(), 0);
  FrameAt(8000);  // the later removals find nothing
  EXPECT_EQ(list_.Count(), 0);
  EXPECT_TRUE(alarms_.Empty());
  list_.ForgetOldest();
  EXPECT_EQ(list_.Count(), 0);
}

TEST_F(AlzheimerStringListTest, TwentyLinesAddedTogetherGoTogether) {
  FrameAt(100);
  for (int i = 0; i < 20; ++i) list_.Add(i % 2 ? "" : "line");  // empty lines count too
  EXPECT_EQ(list_.Get(19), "");
  FrameAt(5099);
  EXPECT_EQ(list_.Count(), 20);
  FrameAt(5100);
  EXPECT_EQ(list_.Count(), 0);
  EXPECT_THROW(list_.Get(0), std::out_of_range);
}

TEST_F(AlzheimerStringListTest, RemovalsThatOutliveTheirListDoNothing) {
  auto other = std::make_unique<TAlzheimerStringList>(10, alarms_);
  other->Add("x");
  list_.Add("kept");
  other.reset();
  alarms_.FireDue(10);  // would touch freed memory if the removal still pointed at the list
  EXPECT_EQ(list_.Count(), 1);
  EXPECT_EQ(alarms_.Count(), 1);
}

}  // namespace
