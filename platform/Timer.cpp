#include "platform/Timer.h"

#include <QTimer>
#include <algorithm>
#include <exception>

namespace platform {

Timer::Timer(uint32_t intervalMs, Clock* clock)
    : intervalMs_(intervalMs), clock_(clock), wake_(std::make_unique<QTimer>()) {
  wake_->setSingleShot(true);
  wake_->setTimerType(Qt::PreciseTimer);
  QObject::connect(wake_.get(), &QTimer::timeout, [this] {
    // The handler runs inside Qt's event dispatch, which no exception may cross.
    try {
      Tick();
    } catch (const std::exception& e) {
      qWarning("timer handler failed: %s", e.what());
    }
    Schedule();
  });
}

Timer::~Timer() = default;

void Timer::SetInterval(uint32_t intervalMs) {
  intervalMs_ = intervalMs;
  if (enabled_) {
    startMs_ = TheClock().NowMs();
    Schedule();
  }
}

void Timer::SetEnabled(bool enabled) {
  if (enabled == enabled_) return;
  enabled_ = enabled;
  if (enabled_) {
    startMs_ = TheClock().NowMs();
    Schedule();
  } else {
    wake_->stop();
  }
}

bool Timer::Tick() {
  if (!enabled_ || intervalMs_ == 0) return false;
  const uint32_t nowMs = TheClock().NowMs();
  if (nowMs - startMs_ < intervalMs_) return false;
  startMs_ = nowMs;
  if (OnTimer) OnTimer();
  return true;
}

void Timer::Schedule() {
  if (!enabled_ || intervalMs_ == 0) {
    wake_->stop();
    return;
  }
  const uint32_t elapsedMs = TheClock().NowMs() - startMs_;
  const uint32_t leftMs = elapsedMs >= intervalMs_ ? 1 : intervalMs_ - elapsedMs;
  wake_->start(static_cast<int>(std::min<uint32_t>(leftMs, 0x7fffffff)));
}

}  // namespace platform
