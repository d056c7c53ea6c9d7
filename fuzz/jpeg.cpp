// JPEG decoding as the explorer does it: the header's size, then true colour or the 256-colour
// reduction, whole or reduced to a shown size.

#include <QByteArray>
#include <QSize>
#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "fuzz/FuzzQuiet.h"
#include "platform/Jpeg.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const bool quiet = (QuietQtMessages(), true);
  (void)quiet;
  const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
  // The last byte picks the display depth and whether the picture is shown reduced, so that
  // every path is reached.
  const uint8_t pick = size > 0 ? data[size - 1] : 0;
  const int depth = (pick & 1) ? 8 : 24;
  QSize shown;
  if (pick & 2) {
    if (const auto whole = platform::JpegSize(bytes))
      shown = QSize(std::max(1, whole->width() / (1 + (pick >> 4))),
                    std::max(1, whole->height() / (1 + (pick >> 4))));
  }
  (void)platform::DecodeJpeg(bytes, depth, nullptr, shown);
  return 0;
}
