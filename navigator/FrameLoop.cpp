#include "navigator/FrameLoop.h"

FrameLoop::FrameLoop(Frame frame, platform::Clock& clock, QObject* parent)
    : QObject(parent), frame_(std::move(frame)), clock_(clock) {
  timer_.setSingleShot(true);
  timer_.setTimerType(Qt::PreciseTimer);
  connect(&timer_, &QTimer::timeout, this, &FrameLoop::RunOnce);
}

void FrameLoop::ResetTime() {
  currentMs_ = clock_.NowMs();
  previousMs_ = currentMs_;
}

void FrameLoop::SetRunning(bool running) {
  running_ = running;
  if (!running) {
    timer_.stop();
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
  if (timer_.isActive() && timer_.remainingTime() <= delayMs) return;
  timer_.start(delayMs);
}

void FrameLoop::RunOnce() {
  // A run driven from outside takes the place of the scheduled one.
  timer_.stop();
  ++runs_;
  const uint32_t elapsedMs = currentMs_ - previousMs_;  // exact across the clock's wrap
  const int nextMs = frame_ ? frame_(elapsedMs) : kIdle;
  previousMs_ = currentMs_;
  currentMs_ = clock_.NowMs();
  if (!running_) return;
  if (nextMs == kIdle) {
    if (!timer_.isActive()) sleeping_ = true;
    return;
  }
  // A step may have woken the loop meanwhile; the sooner time wins.
  Schedule(nextMs < 0 ? 0 : nextMs);
}
