#pragma once

// The AVI player of both programs (what the toolkit's media player did over the video
// device): open a file and say whether it can be played, play it into a panel with a
// notification at its end, stop, close, the video's own rectangle, an error code and text.
//
// A worker thread demuxes and decodes (FFmpeg) ahead of time into a few finished frames and
// a sound queue; the UI thread only shows the frame that is due and sleeps until the next.
// Sound goes through the process's audio output, starting with the first frame. Pacing follows
// a Clock, so tests drive time themselves.

#include <QImage>
#include <QObject>
#include <QPointer>
#include <QRect>
#include <QString>
#include <functional>
#include <memory>

#include "platform/Clock.h"

class QWidget;

namespace platform {

// How a play request ended, as reported to OnNotify.
enum class VideoNotify { Successful, Superseded, Aborted, Failure };

class VideoPlayer : public QObject {
  Q_OBJECT

 public:
  // Error codes, with the video device's numbers.
  static constexpr int kNoError = 0;
  static constexpr int kErrorFileNotFound = 275;
  static constexpr int kErrorInvalidFile = 296;
  static constexpr int kErrorNotOpen = 263;
  static constexpr int kErrorHardware = 262;

  // clock nullptr: the process's default clock.
  explicit VideoPlayer(QObject* parent = nullptr, Clock* clock = nullptr);
  ~VideoPlayer() override;

  // Opens a host file and decodes its first frame. False (with ErrorCode/ErrorText) when the
  // file is missing or holds no video this player can decode.
  bool Open(const QString& hostPath);
  bool IsOpen() const;
  // Whether the open file can be played (it has a decodable video stream).
  bool CanPlay() const;
  // Stops and closes; a pending play notifies Aborted.
  void Close();

  // The video's own rectangle: (0, 0, width, height). Empty when nothing is open.
  QRect DisplayRect() const;
  // The panel the frames are drawn into, scaled to fill it (a child surface follows its size).
  void SetDisplay(QWidget* panel);

  // Plays from the current position (the start after Open or an end). OnNotify follows once
  // with Successful at the end, Aborted when stopped or closed first. False when not open.
  bool Play();
  // Stops where it is; OnNotify(Aborted) for a pending play.
  void Stop();
  bool Playing() const;

  int ErrorCode() const { return errorCode_; }
  QString ErrorText() const;

  std::function<void(VideoNotify)> OnNotify;

  // The frame on screen and its stamp in milliseconds from the start (-1 before any).
  const QImage& CurrentFrame() const;
  int64_t CurrentFrameMs() const;
  // Milliseconds played (by the clock) since the start of the file.
  int64_t PositionMs() const;
  // Frames the worker decoded too late to be shown.
  int DroppedFrames() const;

  // Shows whatever is due by the clock and schedules the next wake-up. The UI thread calls it
  // through its own timer; tests call it after advancing their clock.
  void Tick();
  // Tests: waits (without a time limit of its own beyond timeoutMs of real time) until the
  // worker has decoded everything up to ms or the end of the file.
  bool WaitDecodedUntil(int64_t ms, int timeoutMs = 5000);

 private:
  class Worker;
  class Surface;
  void Fail(int code, const QString& text);
  void Finish(VideoNotify how);
  Clock& TheClock() const { return clock_ ? *clock_ : DefaultClock(); }

  Clock* clock_;
  std::unique_ptr<Worker> worker_;
  QWidget* display_ = nullptr;
  QPointer<QWidget> surface_;  // a child of display_, which owns it
  int errorCode_ = kNoError;
  QString errorDetail_;
  struct State;
  std::unique_ptr<State> state_;
};

}  // namespace platform
