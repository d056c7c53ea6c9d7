// Bitmap files: whenever the direct reader takes an input, its picture must be the one Qt's
// reader and the old conversion give, down to each byte of every row; anything else aborts.

#include "platform/Bitmap.h"

#include <QImage>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "fuzz/FuzzQuiet.h"

namespace {

QImage QtReading(const QByteArray& bytes, int displayDepth) {
  QImage image = QImage::fromData(bytes, "BMP");
  if (image.isNull()) return image;
  const bool indexed = image.format() == QImage::Format_Indexed8 ||
                       image.format() == QImage::Format_Mono ||
                       image.format() == QImage::Format_MonoLSB;
  return image.convertToFormat(indexed && displayDepth <= 8 ? QImage::Format_Indexed8
                                                            : QImage::Format_RGB32);
}

bool Same(const QImage& got, const QImage& want) {
  if (got.format() != want.format() || got.size() != want.size() ||
      got.colorTable() != want.colorTable() || got.dotsPerMeterX() != want.dotsPerMeterX() ||
      got.dotsPerMeterY() != want.dotsPerMeterY())
    return false;
  const qsizetype rowBytes =
      want.format() == QImage::Format_Indexed8 ? want.bytesPerLine() : qsizetype(want.width()) * 4;
  for (int y = 0; y < want.height(); ++y)
    if (std::memcmp(got.constScanLine(y), want.constScanLine(y), size_t(rowBytes)) != 0)
      return false;
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const bool quiet = (QuietQtMessages(), true);
  (void)quiet;
  const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
  for (int depth : {8, 32}) {
    const std::optional<platform::Bitmap> plain = platform::Bitmap::FromPlainBmp(bytes, depth);
    if (!plain) continue;
    const QImage want = QtReading(bytes, depth);
    if (want.isNull() || !Same(plain->Image(), want)) {
      std::fprintf(stderr, "direct reader differs from Qt at depth %d\n", depth);
      std::abort();
    }
  }
  (void)platform::Bitmap::FromBmp(bytes, 8);
  return 0;
}
