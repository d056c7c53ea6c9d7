#include <gtest/gtest.h>

#include <QCoreApplication>
#include <vector>

#include "navigator/FrameLoop.h"

namespace {

struct Recorder {
  std::vector<uint32_t> elapsed;
  std::vector<int> answers;  // what the frame reports, in turn; kIdle once exhausted
  int operator()(uint32_t e) {
    elapsed.push_back(e);
    const size_t i = elapsed.size() - 1;
    return i < answers.size() ? answers[i] : FrameLoop::kIdle;
  }
};

TEST(FrameLoop, StepsSeeTimeBetweenTheTwoStampsAndSleepWhenNothingIsDue) {
  platform::ManualClock clock(1000);
  Recorder rec;
  rec.answers = {0, 0, 0};
  FrameLoop loop([&](uint32_t e) { return rec(e); }, clock);
  loop.SetRunning(true);
  EXPECT_TRUE(loop.Scheduled());

  loop.RunOnce();  // first run after waking: no time has passed for the animations
  clock.Advance(16);
  loop.RunOnce();
  clock.Advance(30);
  loop.RunOnce();
  clock.Advance(7);
  loop.RunOnce();  // reports idle
  EXPECT_EQ(rec.elapsed, (std::vector<uint32_t>{0, 0, 16, 30}));
  EXPECT_FALSE(loop.Scheduled());

  // A long sleep is not animation time: the first run after a wake sees 0.
  clock.Advance(10000);
  loop.Wake();
  EXPECT_TRUE(loop.Scheduled());
  loop.RunOnce();
  EXPECT_EQ(rec.elapsed.back(), 0u);
}

TEST(FrameLoop, ElapsedIsExactAcrossTheClockWrap) {
  platform::ManualClock clock(0xFFFFFFF0u);
  Recorder rec;
  rec.answers = {0, 0};
  FrameLoop loop([&](uint32_t e) { return rec(e); }, clock);
  loop.SetRunning(true);
  loop.RunOnce();
  clock.Advance(0x20);
  loop.RunOnce();
  loop.RunOnce();
  EXPECT_EQ(rec.elapsed.back(), 0x20u);
}

TEST(FrameLoop, RunsFromTheEventLoopOnlyWhileDueAndNotWhenStopped) {
  platform::ManualClock clock;
  int runs = 0;
  int dueRuns = 3;
  FrameLoop loop(
      [&](uint32_t) {
        ++runs;
        return --dueRuns > 0 ? 0 : FrameLoop::kIdle;
      },
      clock);
  loop.SetRunning(true);
  for (int i = 0; i < 20; ++i) QCoreApplication::processEvents();
  EXPECT_EQ(runs, 3);
  EXPECT_FALSE(loop.Scheduled());

  loop.SetRunning(false);
  loop.Wake();
  EXPECT_FALSE(loop.Scheduled());
  for (int i = 0; i < 5; ++i) QCoreApplication::processEvents();
  EXPECT_EQ(runs, 3);
}

}  // namespace
