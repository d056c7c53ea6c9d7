#pragma once

// Plays the mode animations ("gbttin", "gbttout", "dettin", "dettout") frame by frame for the
// mode machine, paced by the elapsed times of the frame loop: each frame stays for the delay
// of the frame shown last, the remainder carries over, and at most one frame is drawn per
// step, so a slow machine plays more slowly but never skips a frame.
//
// While a frame is on screen the next one is inflated on a worker thread, so a step on the
// window's thread costs little more than copying the frame (the movie belongs to the worker
// while it reads).
//
// Damaged files never hold the window: a frame that cannot be read is shown as a filled area
// and counts as played, so every movie ends after its frame count; a delay longer than
// kMaxDelayMs is shortened to it.

#include <QString>
#include <functional>
#include <future>
#include <memory>

#include "navigator/ModeMachine.h"
#include "platform/Bitmap.h"

class TBPKMovie;

class ModeAnimation final : public ModeAnimator {
 public:
  static constexpr int kMaxDelayMs = 1000;
  static constexpr int kNotPlaying = -1;

  // What the player does to the window.
  struct Output {
    std::function<void(const platform::Bitmap& frame)> DrawFrame;
    std::function<void()> DrawUnreadableFrame;  // fill the animation area with the brush
    std::function<void(int effect, int channel)> PlayEffect;
    // The movie's last frame, at its end: the design background from now on.
    std::function<void(platform::Bitmap frame)> TakeBackground;
    // The file is no animation (message 20 with its path).
    std::function<void(const QString& path)> ReportUnusable;
  };

  // skinDir: the folder of the files, ending with a backslash; colourDepth: the display's.
  ModeAnimation(std::function<QString()> skinDir, std::function<int()> colourDepth, Output out);
  ~ModeAnimation();

  bool OpenAnimation(AnimationKind kind) override;
  bool AnimationOpen() const override;
  bool StepAnimation(int elapsedMs) override;
  void CloseAnimation() override;

  // Milliseconds until the next frame is due (0: now), or kNotPlaying.
  int MsUntilNextFrame() const;
  AnimationKind Kind() const { return kind_; }
  int FramesPlayed() const { return played_; }
  int FrameCount() const;

 private:
  struct Frame {
    bool Read = false;
    platform::Bitmap Picture;
    int Index = 0;  // of the frame in the movie
  };
  int FrameDelayMs() const;
  // Reads the next frame (on the worker, or here when none was started).
  Frame TakeFrame();
  void PrefetchNext();

  std::function<QString()> skinDir_;
  std::function<int()> colourDepth_;
  Output out_;
  std::unique_ptr<TBPKMovie> movie_;
  std::future<Frame> next_;  // the frame being read ahead
  int delayMs_ = 0;          // of the frame shown last
  int requested_ = 0;        // frames read or being read
  AnimationKind kind_ = AnimationKind::None;
  int elapsedMs_ = 0;  // towards the next frame
  int framesDue_ = 0;
  int played_ = 0;
};
