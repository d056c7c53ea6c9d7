#include "HostileCorpus.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace hostile {

namespace {

QString Root() { return QStringLiteral(QX_TEST_DATA "/hostile/"); }

QStringList FilesIn(const QString& folder, const QStringList& patterns) {
  QStringList paths;
  const QDir dir(folder);
  for (const QString& name : dir.entryList(patterns, QDir::Files, QDir::Name))
    paths << dir.filePath(name);
  return paths;
}

}  // namespace

QStringList Files(const QString& reader) { return FilesIn(Root() + reader, {}); }

QStringList CrashInputs(const QStringList& targets) {
  QStringList paths;
  for (const QString& target : targets)
    paths << FilesIn(QStringLiteral(QX_TEST_DATA "/../../fuzz/corpus/") + target,
                     // The animation with a negative frame count came before the naming rule.
                     {QStringLiteral("crash-*"), QStringLiteral("negative-count.*")});
  return paths;
}

bool Survives(const QString& path) {
  // Found by running every reader over the corpus; each is a bit flip inside pixel or sample
  // data, which a reader cannot tell from a picture or a sound that looks like that.
  static const QStringList kept = {
      // The resource section's size is larger than the file; the version data lies within it
      // and is read from what the file holds.
      "pe/oversized-section.exe",
  };
  return kept.contains(QFileInfo(path).dir().dirName() + '/' + QFileInfo(path).fileName());
}

bool MakeFifo(const QString& path) { return ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0; }

PipeWatchdog::PipeWatchdog(QStringList pipes, std::chrono::seconds limit)
    : pipes_(std::move(pipes)), thread_([this, limit] {
        std::unique_lock lock(mutex_);
        if (wake_.wait_for(lock, limit, [this] { return done_; })) return;
        fired_ = true;
        while (!done_) {
          for (const QString& pipe : pipes_) {
            const int fd = ::open(QFile::encodeName(pipe).constData(), O_WRONLY | O_NONBLOCK);
            if (fd >= 0) ::close(fd);
          }
          wake_.wait_for(lock, std::chrono::milliseconds(50), [this] { return done_; });
        }
      }) {}

PipeWatchdog::~PipeWatchdog() {
  {
    std::lock_guard lock(mutex_);
    done_ = true;
  }
  wake_.notify_all();
  thread_.join();
}

}  // namespace hostile
