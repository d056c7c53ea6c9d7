#include "formats/DiscFiles.h"

#include <QDirIterator>

#include "platform/Drives.h"
#include "platform/RegularFile.h"

std::unique_ptr<QFile> OpenDiscFile(const QString& winPath, bool unbuffered) {
  const std::optional<QString> host = platform::Drives().ToHost(winPath);
  if (!host) return nullptr;
  return platform::OpenRegularFile(*host, unbuffered);
}

DiscListing ListDiscFolder(const QString& winFolder, const QString& pattern) {
  DiscListing listing;
  listing.WinFolder = winFolder;
  const std::optional<QString> host = platform::Drives().ToHost(winFolder);
  if (!host) return listing;
  listing.HostFolder = *host;
  // The entry types come with the folder listing itself: no file is examined one by one.
  // Pipes, sockets and devices are left out; the opens check again, as the folder may change.
  QDirIterator it(*host, {pattern}, QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
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
  return platform::OpenRegularFile(HostFolder + QLatin1Char('/') + name, true);
}
