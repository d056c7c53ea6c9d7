#pragma once

// A small waitable event, as the position notifications of the buffer device signal them and
// the notification threads of the player wait on them. Manual-reset: once set it stays set
// until Reset. Any thread may set, reset or wait.

#include <condition_variable>
#include <memory>
#include <mutex>
#include <span>
#include <vector>

namespace platform {

class Event {
 public:
  explicit Event(bool initiallySet = false) : set_(initiallySet) {}
  Event(const Event&) = delete;
  Event& operator=(const Event&) = delete;

  // Safe on the audio thread: no allocation, only a short lock and a wake-up.
  void Set();
  void Reset();
  bool IsSet() const;
  // Blocks until the event is set (does not reset it).
  void Wait();

  // Blocks until one of events is set; returns the lowest index that is set. An empty list
  // returns -1 at once.
  static int WaitAny(std::span<const std::shared_ptr<Event>> events);

 private:
  // A thread waiting on several events at once.
  struct Waiter {
    std::mutex mutex;
    std::condition_variable wake;
    bool woken = false;
  };
  void AddWaiter(Waiter* waiter);
  void RemoveWaiter(Waiter* waiter);

  mutable std::mutex mutex_;
  std::condition_variable changed_;
  bool set_;
  std::vector<Waiter*> waiters_;  // guarded by mutex_
};

}  // namespace platform
