#pragma once

// One background thread that runs tasks one at a time, the higher priority first (in the order
// given among equals). Everything handed over passes through a standard mutex, so the hand-over
// is one that ThreadSanitizer can check (Qt's own pools synchronise in ways it cannot see).

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

class SerialWorker {
 public:
  SerialWorker();
  // Drops the tasks not yet started, lets a running one finish, and ends the thread.
  ~SerialWorker();
  SerialWorker(const SerialWorker&) = delete;
  SerialWorker& operator=(const SerialWorker&) = delete;

  void Start(std::function<void()> task, int priority = 0);
  // Drops the tasks not yet started.
  void Clear();
  // Returns once no task is queued or running.
  void WaitForDone();

 private:
  struct Queued {
    int priority;
    std::function<void()> task;
  };
  void Run();

  std::mutex mutex_;
  std::condition_variable wake_;
  std::condition_variable idle_;
  std::deque<Queued> queue_;
  bool busy_ = false;
  bool stopping_ = false;
  std::thread thread_;  // last: starts once the rest exists
};
