// Disc images: the directory of a hostile image read, every file unpacked into a cache folder,
// and nothing written outside it.

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QTemporaryDir>
#include <cstddef>
#include <cstdint>

#include "fuzz/FuzzQuiet.h"
#include "platform/DiscImage.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const bool quiet = (QuietQtMessages(), true);
  (void)quiet;
  QTemporaryDir work;
  const QString iso = work.filePath(QStringLiteral("in.iso"));
  QFile file(iso);
  if (!file.open(QIODevice::WriteOnly)) return 0;
  file.write(reinterpret_cast<const char*>(data), qint64(size));
  file.close();
  const QString cache = work.filePath(QStringLiteral("cache"));
  QString error;
  const auto image = platform::DiscImage::Open(iso, cache, &error);
  if (!image) {
    if (error.isEmpty()) __builtin_trap();  // a refusal always says why
    return 0;
  }
  (void)image->Prepare({});
  (void)image->PrepareTree({});
  // Everything the image put on disc lies in the cache folder.
  QDirIterator it(work.path(), QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden,
                  QDirIterator::Subdirectories);
  while (it.hasNext()) {
    const QString path = it.next();
    if (path != iso && !path.startsWith(image->CacheRoot()) && path != cache) __builtin_trap();
  }
  return 0;
}
