#include "formats/DiscFiles.h"

#include <QDirIterator>

#include "platform/Drives.h"

std::unique_ptr<QFile> OpenDiscFile(const QString& winPath, bool unbuffered) {
  const std::optional<QString> host = platform::Drives().ToHost(winPath);
  if (!host) return nullptr;
  auto file = std::make_unique<QFile>(*host);
  QIODevice::OpenMode mode = QIODevice::ReadOnly;
  if (unbuffered) mode |= QIODevice::Unbuffered;
  if (!file->open(mode)) return nullptr;
  return file;
}

DiscListing ListDiscFolder(const QString& winFolder, const QString& pattern) {
  DiscListing listing;
  listing.WinFolder = winFolder;
  const std::optional<QString> host = platform::Drives().ToHost(winFolder);
  if (!host) return listing;
  listing.HostFolder = *host;
  // The entry types come with the folder listing itself: no file is examined one by one.
  QDirIterator it(*host, {pattern},
                  QDir::Files | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
  while (it.hasNext()) {
    it.next();
    const QFileInfo info = it.fileInfo();
    listing.Names << info.fileName();
    if (info.isSymLink()) listing.Links << info.fileName();
  }
  return listing;
}

std::unique_ptr<QFile> DiscListing::Open(const QString& name) const {
  if (HostFolder.isEmpty()) return nullptr;
  if (Links.contains(name)) return OpenDiscFile(WinFolder + name, true);
  auto file = std::make_unique<QFile>(HostFolder + QLatin1Char('/') + name);
  if (!file->open(QIODevice::ReadOnly | QIODevice::Unbuffered)) return nullptr;
  return file;
}
