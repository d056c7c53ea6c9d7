#include "platform/Event.h"

#include <algorithm>

namespace platform {

void Event::Set() {
  std::lock_guard lock(mutex_);
  set_ = true;
  changed_.notify_all();
  // Lock order is always event, then waiter; a waiter never holds its own mutex while it
  // takes an event's.
  for (Waiter* waiter : waiters_) {
    std::lock_guard waiterLock(waiter->mutex);
    waiter->woken = true;
    waiter->wake.notify_one();
  }
}

void Event::Reset() {
  std::lock_guard lock(mutex_);
  set_ = false;
}

bool Event::IsSet() const {
  std::lock_guard lock(mutex_);
  return set_;
}

void Event::Wait() {
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [this] { return set_; });
}

void Event::AddWaiter(Waiter* waiter) {
  std::lock_guard lock(mutex_);
  waiters_.push_back(waiter);
}

void Event::RemoveWaiter(Waiter* waiter) {
  std::lock_guard lock(mutex_);
  waiters_.erase(std::remove(waiters_.begin(), waiters_.end(), waiter), waiters_.end());
}

int Event::WaitAny(std::span<const std::shared_ptr<Event>> events) {
  if (events.empty()) return -1;
  Waiter waiter;
  for (const auto& event : events) event->AddWaiter(&waiter);
  int found = -1;
  for (;;) {
    // Clear the wake flag before looking, so that a Set between the look and the wait is
    // never missed.
    {
      std::lock_guard lock(waiter.mutex);
      waiter.woken = false;
    }
    for (size_t i = 0; i < events.size(); ++i) {
      if (events[i]->IsSet()) {
        found = static_cast<int>(i);
        break;
      }
    }
    if (found >= 0) break;
    std::unique_lock lock(waiter.mutex);
    waiter.wake.wait(lock, [&] { return waiter.woken; });
  }
  for (const auto& event : events) event->RemoveWaiter(&waiter);
  return found;
}

}  // namespace platform
