// Picture decoding: a hostile (offset, size) pair followed by the file it points into, through
// the inflater and the bitmap reader; and the input itself as a bitmap file.

#include <QBuffer>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "formats/DemoFile.h"
#include "fuzz/FuzzQuiet.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const bool quiet = (QuietQtMessages(), true);
  (void)quiet;
  if (size < 8) return 0;
  ImageRef ref;
  std::memcpy(&ref.Offset, data, 4);
  std::memcpy(&ref.Size, data + 4, 4);
  // Keep most offsets inside the file so that the inflater is reached.
  if (size > 8) ref.Offset = int32_t(uint32_t(ref.Offset) % uint32_t(size));
  QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::ReadOnly);
  (void)DecodePicture(buffer, ref, 8);
  (void)DecodePicture(buffer, ref, 24);
  (void)platform::Bitmap::FromBmp(bytes.mid(8), 8);
  return 0;
}
