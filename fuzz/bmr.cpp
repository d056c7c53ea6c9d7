// Bitmap container directories: both readers' table sizes, then a lookup of every stored name
// and of a few others, and the stored bitmaps read.

#include "formats/BMR.h"

#include <QBuffer>
#include <cstddef>
#include <cstdint>

#include "fuzz/FuzzQuiet.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const bool quiet = (QuietQtMessages(), true);
  (void)quiet;
  QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::ReadOnly);
  for (int maxEntries : {BmrArchive::kMaxEntries, BmrReader::kMaxEntries}) {
    BmrDirectory directory;
    if (ParseBmrDirectory(buffer, bytes.size(), maxEntries, directory) != BmrDirectoryResult::Ok)
      continue;
    for (const QString& name : directory.Names) {
      // Repeated names were refused, so every name is found, also with its ASCII letters in the
      // other case.
      QString other = name;
      for (QChar& c : other)
        if (c.unicode() < 0x80) c = c.isUpper() ? c.toLower() : c.toUpper();
      const int index = directory.Find(other);
      if (index < 0) __builtin_trap();
      const BmrDirectoryEntry& e = directory.Entries[size_t(index)];
      (void)platform::Bitmap::FromBmp(bytes.mid(e.Offset, e.Size), 8);
    }
    (void)directory.Find(QStringLiteral("gtbClose"));
    (void)directory.Find(QString());
  }
  return 0;
}
