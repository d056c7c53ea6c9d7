#include <gtest/gtest.h>

#include <QCoreApplication>
#include <deque>
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

TEST(FrameLoop, StepsSeeTheTimeSinceThePreviousRunAndSleepWhenNothingIsDue) {
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
  EXPECT_EQ(rec.elapsed, (std::vector<uint32_t>{0, 16, 30, 7}));
  EXPECT_FALSE(loop.Scheduled());

  // A long sleep is not animation time: the first run after a wake sees 0.
  clock.Advance(10000);
  loop.Wake();
  EXPECT_TRUE(loop.Scheduled());
  loop.RunOnce();
  EXPECT_EQ(rec.elapsed.back(), 0u);
}

// Driven as the timer drives it: the clock moves a millisecond at a time and the loop runs
// when its run falls due. A step that asks to run again in N ms must run N ms later and see
// those N ms, also for the first period after a wake.
TEST(FrameLoop, AStepDueInNMsRunsNMsLaterAndSeesThoseMs) {
  platform::ManualClock clock(7000);
  std::vector<uint32_t> elapsed;
  std::vector<uint32_t> runAt;
  std::deque<int> due = {100, 40, 40, 250};
  FrameLoop loop(
      [&](uint32_t e) {
        elapsed.push_back(e);
        runAt.push_back(clock.NowMs() - 7000);
        if (due.empty()) return FrameLoop::kIdle;
        const int next = due.front();
        due.pop_front();
        return next;
      },
      clock);
  loop.SetRunning(true);
  for (int ms = 0; ms < 1000; ++ms) {
    loop.Tick();
    clock.Advance(1);
  }
  EXPECT_EQ(runAt, (std::vector<uint32_t>{0, 100, 140, 180, 430}));
  EXPECT_EQ(elapsed, (std::vector<uint32_t>{0, 100, 40, 40, 250}));
  EXPECT_FALSE(loop.Scheduled());

  // Asleep for a while, then woken: the sleep is not animation time, the next period is.
  clock.Advance(5000);
  elapsed.clear();
  runAt.clear();
  due = {100};
  loop.Wake();
  for (int ms = 0; ms < 200; ++ms) {
    loop.Tick();
    clock.Advance(1);
  }
  EXPECT_EQ(runAt, (std::vector<uint32_t>{6000, 6100}));
  EXPECT_EQ(elapsed, (std::vector<uint32_t>{0, 100}));
}

TEST(FrameLoop, AWakeBringsALaterRunForwardButNeverDelaysASoonerOne) {
  platform::ManualClock clock(0);
  int runs = 0;
  FrameLoop loop([&](uint32_t) { return ++runs == 1 ? 500 : FrameLoop::kIdle; }, clock);
  loop.SetRunning(true);
  loop.Tick();
  ASSERT_EQ(runs, 1);
  EXPECT_EQ(loop.DueAtMs(), 500u);
  clock.Advance(10);
  loop.Wake();  // due now rather than in 490 ms
  EXPECT_EQ(loop.DueAtMs(), 10u);
  EXPECT_TRUE(loop.Tick());
  EXPECT_EQ(runs, 2);
  EXPECT_FALSE(loop.Tick()) << "nothing was due any more";
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
