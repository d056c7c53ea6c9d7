#pragma once

// Plays the mode animations ("gbttin", "gbttout", "dettin", "dettout") frame by frame for the
// mode machine, paced by the elapsed times of the frame loop: each frame stays for the delay
// of the frame shown last, the remainder carries over, and at most one frame is drawn per
// step, so a slow machine plays more slowly but never skips a frame.
//
// Inflating a frame costs far more than showing it, so the window's thread never inflates
// while the four animations stay as they are on disc:
// - while a frame is on screen the next one is inflated on a worker (the movie belongs to the
//   worker while it reads);
// - each animation is held opened ahead by a second worker, its first frame inflated
//   (Preload); opening it
//   reads the file and, when the bytes are the ones preloaded, takes the preloaded movie. A
//   file changed since, another skin or another depth is opened and read here as before.
//
// Damaged files never hold the window: a frame that cannot be read is shown as a filled area
// and counts as played, so every movie ends after its frame count; a delay longer than
// kMaxDelayMs is shortened to it.

#include <QByteArray>
#include <QString>
#include <array>
#include <functional>
#include <future>
#include <memory>

#include "navigator/ModeMachine.h"
#include "platform/Bitmap.h"

class SerialWorker;
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

  // Opens the animations not yet held ahead on the worker, for the skin and depth of now.
  // OpenAnimation calls it too, so every animation after the first one opened is ready.
  void Preload();
  // Waits until the worker has nothing left to do (tests, benchmarks).
  void WaitForWorker();

  // Milliseconds until the next frame is due (0: now), or kNotPlaying.
  int MsUntilNextFrame() const;
  AnimationKind Kind() const { return kind_; }
  int FramesPlayed() const { return played_; }
  int FrameCount() const;
  // How many opens took a preloaded movie.
  int PreloadsTaken() const { return preloadsTaken_; }

 private:
  struct Frame {
    bool Read = false;
    platform::Bitmap Picture;
    int Index = 0;  // of the frame in the movie
  };
  // A movie opened and its first frame read on the worker, with the file's bytes it came from.
  struct Opened {
    QString Path;
    int Depth = 0;
    QByteArray Bytes;
    std::unique_ptr<TBPKMovie> Movie;
    Frame First;
  };
  int FrameDelayMs() const;
  // Reads the next frame (on the worker, or here when none was started).
  Frame TakeFrame();
  void PrefetchNext();
  // The preloaded movie of kind when it came from exactly these bytes at this depth.
  std::unique_ptr<Opened> TakePreloaded(AnimationKind kind, const QString& path, int depth,
                                        const QByteArray& bytes);
  // On the preload thread: path is the file's name over the drive map, hostPath where it is.
  static std::unique_ptr<Opened> OpenAhead(const QString& path, const QString& hostPath,
                                           int depth);

  std::function<QString()> skinDir_;
  std::function<int()> colourDepth_;
  Output out_;
  std::unique_ptr<TBPKMovie> movie_;
  std::future<Frame> next_;  // the frame being read ahead
  std::array<std::future<std::unique_ptr<Opened>>, 4> preloaded_;  // by AnimationKind - 1
  int delayMs_ = 0;          // of the frame shown last
  int requested_ = 0;        // frames read or being read
  AnimationKind kind_ = AnimationKind::None;
  int elapsedMs_ = 0;  // towards the next frame
  int framesDue_ = 0;
  int played_ = 0;
  int preloadsTaken_ = 0;
  // Two worker threads kept for the player's life, so that a frame never waits behind a
  // preload. Last, so that they finish their work before anything they write to goes.
  std::unique_ptr<SerialWorker> preloader_;
  std::unique_ptr<SerialWorker> worker_;  // the frames
};
