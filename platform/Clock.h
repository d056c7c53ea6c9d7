#pragma once

#include <cstdint>

namespace platform {

// Milliseconds on a monotonic clock, wrapping at 2^32 like the multimedia timer it stands for.
// Differences of two readings are exact across the wrap when taken as uint32_t.
uint32_t TimeGetTime();

// A source of milliseconds that windows and controls pace themselves by, so that tests can
// drive time instead of sleeping.
class Clock {
 public:
  virtual ~Clock() = default;
  virtual uint32_t NowMs() const = 0;
};

// The monotonic clock.
class SteadyClock final : public Clock {
 public:
  uint32_t NowMs() const override { return TimeGetTime(); }
};

// A clock that moves only when told to.
class ManualClock final : public Clock {
 public:
  explicit ManualClock(uint32_t startMs = 0) : nowMs_(startMs) {}
  uint32_t NowMs() const override { return nowMs_; }
  void Advance(uint32_t deltaMs) { nowMs_ += deltaMs; }
  void Set(uint32_t nowMs) { nowMs_ = nowMs; }

 private:
  uint32_t nowMs_;
};

// The clock used where none is given: the steady clock unless a test installed another.
Clock& DefaultClock();
// Installs clock as the default (nullptr restores the steady clock). For tests.
void SetDefaultClock(Clock* clock);

}  // namespace platform
