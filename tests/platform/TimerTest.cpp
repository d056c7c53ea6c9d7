#include <gtest/gtest.h>

#include "platform/Timer.h"

namespace {

TEST(Timer, FiresOncePerElapsedIntervalOnItsClock) {
  platform::ManualClock clock(5000);
  platform::Timer timer(100, &clock);
  int fired = 0;
  timer.OnTimer = [&] { ++fired; };

  EXPECT_FALSE(timer.Tick()) << "a disabled timer never fires";
  timer.SetEnabled(true);
  clock.Advance(99);
  EXPECT_FALSE(timer.Tick());
  clock.Advance(1);
  EXPECT_TRUE(timer.Tick());
  EXPECT_FALSE(timer.Tick()) << "the count starts again from the firing";
  clock.Advance(350);
  EXPECT_TRUE(timer.Tick());
  EXPECT_FALSE(timer.Tick()) << "overdue intervals fire once";
  EXPECT_EQ(fired, 2);

  clock.Advance(60);
  timer.SetInterval(100);  // a running timer restarts its count
  clock.Advance(60);
  EXPECT_FALSE(timer.Tick());
  timer.SetEnabled(false);
  clock.Advance(1000);
  EXPECT_FALSE(timer.Tick());
}

TEST(Timer, CountsAcrossTheClockWrap) {
  platform::ManualClock clock(0xFFFFFFF0u);
  platform::Timer timer(50, &clock);
  timer.SetEnabled(true);
  clock.Advance(49);
  EXPECT_FALSE(timer.Tick());
  clock.Advance(1);
  EXPECT_TRUE(timer.Tick());
}

}  // namespace
