// Bitmap container directories: both readers' table sizes, then a lookup of every stored name
// and of a few others, and the stored bitmaps read.

#include "formats/BMR.h"

#include <QBuffer>
#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::ReadOnly);
  for (int maxEntries : {BmrArchive::kMaxEntries, BmrReader::kMaxEntries}) {
    BmrDirectory directory;
    if (ParseBmrDirectory(buffer, bytes.size(), maxEntries, directory) != BmrDirectoryResult::Ok)
      continue;
    for (const QString& name : directory.Names) {
      const int index = directory.Find(name.toUpper());
      if (index < 0) __builtin_trap();  // the order was checked: every name must be found
      const BmrDirectoryEntry& e = directory.Entries[size_t(index)];
      (void)platform::Bitmap::FromBmp(bytes.mid(e.Offset, e.Size), 8);
    }
    (void)directory.Find(QStringLiteral("gtbClose"));
    (void)directory.Find(QString());
  }
  return 0;
}
