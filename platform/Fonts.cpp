#include "platform/Fonts.h"

#include <QFileInfo>
#include <QFontDatabase>
#include <QMultiHash>

namespace platform {

namespace {

// The process's table of added files: canonical path -> font database ids, newest last.
QMultiHash<QString, int>& Added() {
  static QMultiHash<QString, int> added;
  return added;
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
  Added().insert(KeyOf(hostPath), id);
  return faces;
}

bool RemoveFontFile(const QString& hostPath) {
  auto& added = Added();
  const auto it = added.find(KeyOf(hostPath));  // the newest addition
  if (it == added.end()) return false;
  QFontDatabase::removeApplicationFont(it.value());
  added.erase(it);
  return true;
}

QStringList AddedFontFamilies(const QString& hostPath) {
  const auto it = Added().constFind(KeyOf(hostPath));
  if (it == Added().cend()) return {};
  return QFontDatabase::applicationFontFamilies(it.value());
}

}  // namespace platform
