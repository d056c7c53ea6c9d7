#include "platform/Fonts.h"

#include <QFileInfo>
#include <QFontDatabase>
#include <QMultiHash>
#include <QMutex>

namespace platform {

namespace {

// The process's table of added files: canonical path -> font database ids, newest last.
QMultiHash<QString, int>& Added() {
  static QMultiHash<QString, int> added;
  return added;
}

// The table may be used from a worker thread (the navigator adds its font there while its
// window starts); the font database itself is thread-safe.
QMutex& AddedLock() {
  static QMutex lock;
  return lock;
}

QString KeyOf(const QString& hostPath) {
  const QString canonical = QFileInfo(hostPath).canonicalFilePath();
  return canonical.isEmpty() ? QFileInfo(hostPath).absoluteFilePath() : canonical;
}

}  // namespace

int AddFontFile(const QString& hostPath) {
  const int id = QFontDatabase::addApplicationFont(hostPath);
  if (id < 0) return 0;
  const int faces = static_cast<int>(QFontDatabase::applicationFontFamilies(id).size());
  if (faces == 0) {
    QFontDatabase::removeApplicationFont(id);
    return 0;
  }
  const QString key = KeyOf(hostPath);
  const QMutexLocker locker(&AddedLock());
  Added().insert(key, id);
  return faces;
}

bool RemoveFontFile(const QString& hostPath) {
  const QString key = KeyOf(hostPath);
  const QMutexLocker locker(&AddedLock());
  auto& added = Added();
  const auto it = added.find(key);  // the newest addition
  if (it == added.end()) return false;
  QFontDatabase::removeApplicationFont(it.value());
  added.erase(it);
  return true;
}

QStringList AddedFontFamilies(const QString& hostPath) {
  const QString key = KeyOf(hostPath);
  int id = -1;
  {
    const QMutexLocker locker(&AddedLock());
    const auto it = Added().constFind(key);
    if (it == Added().cend()) return {};
    id = it.value();
  }
  return QFontDatabase::applicationFontFamilies(id);
}

void PrepareFontDatabase() {
  (void)QFontDatabase::families();
}

}  // namespace platform
