#pragma once

// The music loader of the main window: reads and converts one music file for the mixer off the
// main thread, trying a second time when the first attempt fails. It calls nothing but the
// mixer's wave loading and is given a host path, so it never reaches the drive map or the
// audio system, which belong to the main thread. Its owner takes the wave once the thread has
// finished (QThread::finished, delivered on the owner's thread).

#include <QString>
#include <QThread>
#include <atomic>

class TWaveMix;
struct TMixWave;

class TLoadWaveThread final : public QThread {
 public:
  TLoadWaveThread(TWaveMix* mixer, QString hostFile, int track);
  // Waits for the thread; a wave it loaded stays with the mixer's session.
  ~TLoadWaveThread() override;

  // The loaded wave, or null when both attempts failed. Read after the thread has finished.
  TMixWave* Wave() const { return wave_.load(std::memory_order_acquire); }
  // The index in the music list of the track it loads.
  int Track() const { return track_; }

 protected:
  void run() override;

 private:
  TWaveMix* const mixer_;
  const QString file_;
  const int track_;
  // Atomic so that the hand-over is one ThreadSanitizer can check: QThread's own wait
  // synchronises in ways it cannot see.
  std::atomic<TMixWave*> wave_{nullptr};
};
