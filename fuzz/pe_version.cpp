// Windows program images: the version resource of a hostile image, read from memory and
// through the file reader's bounds.

#include <cstddef>
#include <cstdint>

#include "fuzz/FuzzQuiet.h"
#include "platform/PeVersion.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const bool quiet = (QuietQtMessages(), true);
  (void)quiet;
  const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data),
                                                   qsizetype(size));
  (void)platform::ReadPeVersion(bytes);
  return 0;
}
