#pragma once

// The hostile-disc corpus (tests/data/hostile, written by make.py there, and every input a fuzz
// target once crashed on, in fuzz/corpus) and a watchdog for the pipes a test puts on a disc.

#include <QString>
#include <QStringList>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace hostile {

// Every corpus file of one reader's folder ("dem", "bmr", "bpk", "bmp", "wave", "jpeg", "wmf",
// "avi", "pe"), host paths in name order.
QStringList Files(const QString& reader);
// The inputs that once crashed a fuzz target, for the fuzz targets named (folder names under
// fuzz/corpus), host paths.
QStringList CrashInputs(const QStringList& targets);

// True for the files a reader accepts although they were damaged: a bit flip that left a
// well-formed file (its pixels or samples changed, nothing that governs the reading).
bool Survives(const QString& path);

// Makes a named pipe; false when the file system has none.
bool MakeFifo(const QString& path);

// Watches a test that may block on a pipe: when it has not ended after limit, the pipes are
// opened for writing again and again, so that a reader stuck in open() or read() comes back
// and the test can fail instead of hanging.
class PipeWatchdog {
 public:
  PipeWatchdog(QStringList pipes, std::chrono::seconds limit);
  ~PipeWatchdog();
  PipeWatchdog(const PipeWatchdog&) = delete;
  PipeWatchdog& operator=(const PipeWatchdog&) = delete;
  // True when the work overran the limit and the pipes had to be opened.
  bool Fired() const { return fired_; }

 private:
  QStringList pipes_;
  std::mutex mutex_;
  std::condition_variable wake_;
  bool done_ = false;
  std::atomic<bool> fired_{false};
  std::thread thread_;
};

}  // namespace hostile
