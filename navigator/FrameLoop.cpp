#include "navigator/FrameLoop.h"

#include <algorithm>

FrameLoop::FrameLoop(Frame frame, platform::Clock& clock, QObject* parent)
    : QObject(parent), frame_(std::move(frame)), clock_(clock) {
  timer_.setSingleShot(true);
  timer_.setTimerType(Qt::PreciseTimer);
  connect(&timer_, &QTimer::timeout, this, &FrameLoop::Tick);
}

void FrameLoop::ResetTime() {
  currentMs_ = clock_.NowMs();
  previousMs_ = currentMs_;
}

void FrameLoop::SetRunning(bool running) {
  running_ = running;
  if (!running) {
    Unschedule();
    sleeping_ = true;
  } else {
    Wake();
  }
}

void FrameLoop::Wake() {
  if (!running_) return;
  if (sleeping_) {
    // The time asleep is not animation time.
    ResetTime();
    sleeping_ = false;
  }
  Schedule(0);
}

void FrameLoop::Schedule(int delayMs) {
  const uint32_t nowMs = clock_.NowMs();
  // A run already due sooner stays (differences are exact across the clock's wrap).
  if (scheduled_ && int32_t(dueAtMs_ - nowMs) <= delayMs) return;
  scheduled_ = true;
  dueAtMs_ = nowMs + uint32_t(delayMs);
  timer_.start(delayMs);
}

void FrameLoop::Unschedule() {
  scheduled_ = false;
  timer_.stop();
}

bool FrameLoop::Tick() {
  if (!scheduled_) return false;
  const int32_t leftMs = int32_t(dueAtMs_ - clock_.NowMs());
  if (leftMs > 0) {
    // Woken early (the timer's granularity, or a clock that is not the timer's): wait on.
    timer_.start(leftMs);
    return false;
  }
  RunOnce();
  return true;
}

void FrameLoop::RunOnce() {
  // A run driven from outside takes the place of the scheduled one.
  Unschedule();
  ++runs_;
  // Stamped as the run starts: a step due in N ms sees those N ms in the run that wakes for
  // it. (Stamping at the end of a run would hand every wake the time of the run before, and a
  // step due in N ms would reach its goal only one sleep later, after 2N.)
  previousMs_ = currentMs_;
  currentMs_ = clock_.NowMs();
  const uint32_t elapsedMs = currentMs_ - previousMs_;  // exact across the clock's wrap
  const int nextMs = frame_ ? frame_(elapsedMs) : kIdle;
  if (!running_) return;
  if (nextMs == kIdle) {
    if (!scheduled_) sleeping_ = true;
    return;
  }
  // A step may have woken the loop meanwhile; the sooner time wins.
  Schedule(std::max(nextMs, 0));
}
