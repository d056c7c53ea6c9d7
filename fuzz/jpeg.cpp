// JPEG decoding as the explorer does it: true colour and the 256-colour reduction.

#include <QByteArray>
#include <cstddef>
#include <cstdint>

#include "fuzz/FuzzQuiet.h"
#include "platform/Jpeg.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const bool quiet = (QuietQtMessages(), true);
  (void)quiet;
  const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
  // The first byte picks the display depth so that both paths are reached.
  (void)platform::DecodeJpeg(bytes, size > 0 && (data[size - 1] & 1) ? 8 : 24);
  return 0;
}
