#pragma once

// The navigator's frame loop. Every animation is paced by the milliseconds elapsed since the
// previous run of the loop, read from the loop's clock as a run starts. The loop runs only while a step is due and
// sleeps otherwise: a step reports how long it may wait, and anything that makes a step due
// (a mode change, a pressed volume button, a scheduled logo) wakes the loop at once.

#include <QObject>
#include <QTimer>
#include <cstdint>
#include <functional>

#include "platform/Clock.h"

class FrameLoop : public QObject {
  Q_OBJECT

 public:
  static constexpr int kIdle = -1;  // nothing is due: the loop sleeps until woken

  // Runs the due steps with the elapsed milliseconds; returns when the next run is due, in
  // milliseconds (0: as soon as the pending events are handled), or kIdle.
  using Frame = std::function<int(uint32_t elapsedMs)>;

  explicit FrameLoop(Frame frame, platform::Clock& clock = platform::DefaultClock(),
                     QObject* parent = nullptr);

  // Stamps both frame times with the current time (start-up and after a long sleep, so that
  // the first step after a wake never sees the idle time as elapsed).
  void ResetTime();
  // Something became due: run at once (after the pending events) unless already scheduled
  // sooner. Does nothing while the loop is stopped.
  void Wake();
  // Installs (true) or removes (false) the loop.
  void SetRunning(bool running);
  bool Running() const { return running_; }
  // True while a run is scheduled; false while the loop sleeps.
  bool Scheduled() const { return scheduled_; }
  // The clock time at which the scheduled run is due (meaningful while Scheduled()).
  uint32_t DueAtMs() const { return dueAtMs_; }
  // What the wake-up timer does: runs the frame when the scheduled run is due on the clock,
  // else waits on for the rest. Returns whether it ran. Tests that advance a clock call it in
  // place of the timer.
  bool Tick();
  // Runs one frame now, due or not.
  void RunOnce();

  uint32_t PreviousMs() const { return previousMs_; }
  uint32_t CurrentMs() const { return currentMs_; }
  uint64_t Runs() const { return runs_; }

 private:
  void Schedule(int delayMs);
  void Unschedule();

  Frame frame_;
  platform::Clock& clock_;
  QTimer timer_;
  bool running_ = false;
  bool sleeping_ = true;
  bool scheduled_ = false;
  uint32_t dueAtMs_ = 0;
  uint32_t previousMs_ = 0;
  uint32_t currentMs_ = 0;
  uint64_t runs_ = 0;
};
