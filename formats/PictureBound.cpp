#include "formats/PictureBound.h"

#include <QtEndian>
#include <algorithm>
#include <cstdlib>
#include <limits>

namespace {

// Room for writers that pad the pixel data or leave a gap before it.
constexpr qint64 kSlackBytes = 4096;
constexpr qint64 kMaxInfoHeaderBytes = 124;  // the largest header version
constexpr qint64 kHuge = std::numeric_limits<qint64>::max() / 4;

uint32_t U32(const QByteArray& b, int at) {
  return qFromLittleEndian<uint32_t>(b.constData() + at);
}
uint16_t U16(const QByteArray& b, int at) {
  return qFromLittleEndian<uint16_t>(b.constData() + at);
}

}  // namespace

qint64 BitmapFileBound(const QByteArray& head) {
  if (head.size() < 26 || head[0] != 'B' || head[1] != 'M') return -1;
  const qint64 infoSize = U32(head, 14);
  qint64 width = 0;
  qint64 height = 0;
  int bits = 0;
  uint32_t compression = 0;
  qint64 colours = 0;
  qint64 paletteEntry = 4;
  if (infoSize == 12) {
    width = U16(head, 18);
    height = U16(head, 20);
    bits = U16(head, 24);
    paletteEntry = 3;
  } else if (infoSize >= 40 && infoSize <= kMaxInfoHeaderBytes && head.size() >= 54) {
    width = qint32(U32(head, 18));
    height = std::llabs(qint64(qint32(U32(head, 22))));
    bits = U16(head, 28);
    compression = U32(head, 30);
    colours = U32(head, 46);
  } else {
    return -1;
  }
  if (width <= 0 || height <= 0) return -1;
  if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32) return -1;
  if (colours == 0 && bits <= 8) colours = qint64(1) << bits;
  colours = std::min<qint64>(colours, 256);
  const qint64 masks = (compression == 3 || compression == 6) ? 16 : 0;
  const qint64 base = 14 + infoSize + colours * paletteEntry + masks;

  const qint64 stride = (width * bits + 31) / 32 * 4;
  if (stride > kHuge / height) return kHuge;
  qint64 pixels = stride * height;
  // Run-length data can take up to two bytes per pixel byte plus the line and end markers.
  if (compression == 1 || compression == 2) pixels = pixels * 2 + height * 2 + 2;
  const qint64 offset = U32(head, 10);
  const qint64 start = std::max(base, std::min(offset, base + kSlackBytes));
  return start + pixels + kSlackBytes;
}

bool PlausiblePictureSize(const QByteArray& head, qint64 claimedSize) {
  if (claimedSize <= kBitmapHeadBytes) return true;
  if (claimedSize > kMaxPictureFileBytes) return false;
  const qint64 bound = BitmapFileBound(head);
  return bound >= 0 && claimedSize <= bound;
}
