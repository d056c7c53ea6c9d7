#pragma once

// The toolkit's timer: calls OnTimer every Interval milliseconds while enabled, paced by a
// Clock. A real-time wake-up (a Qt timer on the UI thread) calls Tick when the interval is due;
// tests advance a ManualClock and call Tick themselves, so nothing in a test waits for time.

#include <QObject>
#include <cstdint>
#include <functional>
#include <memory>

#include "platform/Clock.h"

class QTimer;

namespace platform {

class Timer {
 public:
  // clock nullptr: the process's DefaultClock(), looked up at every reading.
  explicit Timer(uint32_t intervalMs = 1000, Clock* clock = nullptr);
  ~Timer();
  Timer(const Timer&) = delete;
  Timer& operator=(const Timer&) = delete;

  uint32_t Interval() const { return intervalMs_; }
  // Restarts the count when the timer runs (as changing a running timer's period does).
  void SetInterval(uint32_t intervalMs);
  bool Enabled() const { return enabled_; }
  // Enabling starts the count from now; disabling drops a pending tick.
  void SetEnabled(bool enabled);

  // Fires OnTimer once when at least Interval ms have passed on the clock since the timer
  // was started or last fired; returns whether it fired. Several overdue intervals still fire
  // once, as coalesced timer messages do.
  bool Tick();

  std::function<void()> OnTimer;

 private:
  Clock& TheClock() const { return clock_ ? *clock_ : DefaultClock(); }
  void Schedule();

  uint32_t intervalMs_;
  Clock* clock_;
  bool enabled_ = false;
  uint32_t startMs_ = 0;
  std::unique_ptr<QTimer> wake_;
};

}  // namespace platform
