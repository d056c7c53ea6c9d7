// The animation player's background thread: order by priority, dropping what has not started,
// waiting until it is idle, and ending while a task runs.

#include <gtest/gtest.h>

#include <atomic>
#include <future>
#include <vector>

#include "navigator/SerialWorker.h"

namespace {

TEST(SerialWorker, RunsTheHigherPriorityFirstAndDropsWhatHasNotStarted) {
  std::vector<int> ran;  // written by the worker only, read after WaitForDone
  std::promise<void> release;
  std::shared_future<void> gate = release.get_future().share();
  std::atomic<bool> holding{false};
  SerialWorker worker;
  // The first task holds the worker while the others queue up behind it.
  worker.Start([gate, &ran, &holding] {
    holding = true;
    gate.wait();
    ran.push_back(0);
  });
  while (!holding) std::this_thread::yield();
  worker.Start([&ran] { ran.push_back(1); }, 0);
  worker.Start([&ran] { ran.push_back(2); }, 1);
  worker.Start([&ran] { ran.push_back(3); }, 0);
  worker.Start([&ran] { ran.push_back(4); }, 1);
  release.set_value();
  worker.WaitForDone();
  // The first had started; then priority 1 in their order, then priority 0 in theirs.
  EXPECT_EQ(ran, (std::vector<int>{0, 2, 4, 1, 3}));

  std::promise<void> release2;
  std::shared_future<void> gate2 = release2.get_future().share();
  std::atomic<bool> started{false};
  worker.Start([gate2, &started] {
    started = true;
    gate2.wait();
  });
  while (!started) std::this_thread::yield();
  worker.Start([&ran] { ran.push_back(5); });
  worker.Clear();
  release2.set_value();
  worker.WaitForDone();
  EXPECT_EQ(ran.size(), 5u) << "a cleared task ran";
}

TEST(SerialWorker, EndsOnlyAfterTheRunningTask) {
  std::atomic<int> ran{0};
  std::promise<void> release;
  std::shared_future<void> gate = release.get_future().share();
  std::atomic<bool> started{false};
  std::thread opener;
  {
    SerialWorker worker;
    worker.Start([gate, &started, &ran] {
      started = true;
      gate.wait();
      ++ran;
    });
    worker.Start([&ran] { ran += 10; });
    while (!started) std::this_thread::yield();
    opener = std::thread([&release] { release.set_value(); });
  }  // waits for the running task; the queued one runs only if it came first
  opener.join();
  EXPECT_EQ(ran.load() % 10, 1);
}

}  // namespace
