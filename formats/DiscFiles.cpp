#include "formats/DiscFiles.h"

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

QStringList ListDiscFiles(const QString& pattern) {
  QStringList names;
  for (const platform::FindEntry& e : platform::FindFiles(pattern, platform::faAnyFile))
    if (!(e.attributes & platform::faDirectory)) names << e.name;
  return names;
}
