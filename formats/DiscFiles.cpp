#include "formats/DiscFiles.h"

#include <QDir>
#include <QFileInfo>

// Until the drive map is available the paths are taken as host paths with backslashes.
namespace {

QString HostPath(const QString& winPath) {
  QString p = winPath;
  p.replace(QLatin1Char('\\'), QLatin1Char('/'));
  return p;
}

}  // namespace

std::unique_ptr<QFile> OpenDiscFile(const QString& winPath, bool unbuffered) {
  auto file = std::make_unique<QFile>(HostPath(winPath));
  QIODevice::OpenMode mode = QIODevice::ReadOnly;
  if (unbuffered) mode |= QIODevice::Unbuffered;
  if (!file->open(mode)) return nullptr;
  return file;
}

QStringList ListDiscFiles(const QString& pattern) {
  const QFileInfo info(HostPath(pattern));
  QDir dir(info.path());
  return dir.entryList({info.fileName()}, QDir::Files | QDir::Hidden | QDir::System,
                       QDir::Name | QDir::IgnoreCase);
}
