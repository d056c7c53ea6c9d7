#include "platform/Bitmap.h"

#include <QImageReader>
#include <QtEndian>
#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <limits>

namespace platform {

namespace {

// Layout of BITMAPFILEHEADER + BITMAPINFOHEADER (little-endian).
constexpr int64_t kFileHeaderSize = 14;
constexpr int64_t kInfoHeaderSize = 40;
constexpr int64_t kHeadersSize = kFileHeaderSize + kInfoHeaderSize;
constexpr uint32_t kUncompressed = 0;
// Larger pictures go to Qt, whose allocation limit then decides; ours stays well inside it.
constexpr int64_t kMaxSide = 16384;
constexpr int64_t kMaxPixelBytes = int64_t(64) << 20;

uint32_t U32(const uchar* p) {
  return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}
int32_t I32(const uchar* p) {
  const uint32_t u = U32(p);
  int32_t v;
  std::memcpy(&v, &u, sizeof v);
  return v;
}
uint16_t U16(const uchar* p) {
  return uint16_t(p[0] | p[1] << 8);
}

// What the headers say, once they have been found consistent with the file's size.
struct PlainHeader {
  int64_t width = 0;
  int64_t height = 0;
  bool topDown = false;
  int bitCount = 0;
  int64_t colours = 0;  // palette entries (8-bit only)
  int64_t pixelOffset = 0;
  int64_t stride = 0;
  int32_t xPelsPerMeter = 0;
  int32_t yPelsPerMeter = 0;
};

int64_t AllocationLimitBytes() {
  const int64_t limitMb = QImageReader::allocationLimit();
  if (limitMb <= 0) return kMaxPixelBytes;
  return std::min(kMaxPixelBytes, (limitMb << 20) / 2);
}

std::optional<PlainHeader> ReadPlainHeader(const QByteArray& bytes) {
  const int64_t size = bytes.size();
  if (size < kHeadersSize) return std::nullopt;
  const auto* p = reinterpret_cast<const uchar*>(bytes.constData());
  if (p[0] != 'B' || p[1] != 'M') return std::nullopt;
  if (U32(p + 14) != kInfoHeaderSize || U16(p + 26) != 1 || U32(p + 30) != kUncompressed)
    return std::nullopt;

  PlainHeader h;
  h.bitCount = U16(p + 28);
  if (h.bitCount != 8 && h.bitCount != 24 && h.bitCount != 32) return std::nullopt;
  h.width = I32(p + 18);
  const int64_t rawHeight = I32(p + 22);
  h.topDown = rawHeight < 0;
  h.height = h.topDown ? -rawHeight : rawHeight;
  if (h.width <= 0 || h.height <= 0 || h.width > kMaxSide || h.height > kMaxSide)
    return std::nullopt;
  if (h.width * h.height * 4 > AllocationLimitBytes()) return std::nullopt;

  int64_t paletteEnd = kHeadersSize;
  if (h.bitCount == 8) {
    const int64_t used = U32(p + 46);
    h.colours = used == 0 ? 256 : used;
    if (h.colours > 256) return std::nullopt;
    paletteEnd += h.colours * 4;
  }
  // Qt ignores offsets that point back into the headers or the palette, or that are negative
  // as signed numbers, and reads on from where it is: its own way, left to it.
  h.pixelOffset = U32(p + 10);
  if (h.pixelOffset < paletteEnd || h.pixelOffset > std::numeric_limits<int32_t>::max())
    return std::nullopt;
  h.stride = (h.width * h.bitCount + 31) / 32 * 4;
  if (h.pixelOffset + h.stride * h.height > size) return std::nullopt;
  h.xPelsPerMeter = I32(p + 38);
  h.yPelsPerMeter = I32(p + 42);
  return h;
}

// Start of picture row y (0 = top) in the file.
const uchar* FileRow(const uchar* pixels, const PlainHeader& h, int64_t y) {
  const int64_t fileRow = h.topDown ? y : h.height - 1 - y;
  return pixels + fileRow * h.stride;
}

QImage DecodeIndexed(const uchar* file, const PlainHeader& h, bool keepPalette) {
  const uchar* palette = file + kHeadersSize;
  QVector<QRgb> table(h.colours);
  for (int64_t i = 0; i < h.colours; ++i) {
    const uchar* e = palette + i * 4;
    table[i] = qRgb(e[2], e[1], e[0]);
  }
  const uchar* pixels = file + h.pixelOffset;
  const int width = int(h.width);
  const int height = int(h.height);

  if (keepPalette) {
    QImage image(width, height, QImage::Format_Indexed8);
    if (image.isNull()) return image;
    image.setColorTable(table);
    // Rows keep the file's padding bytes, as Qt's reader leaves them.
    const size_t rowBytes = size_t(std::min<int64_t>(h.stride, image.bytesPerLine()));
    uchar* out = image.bits();
    for (int y = 0; y < height; ++y)
      std::memcpy(out + y * image.bytesPerLine(), FileRow(pixels, h, y), rowBytes);
    return image;
  }

  // Qt paints indices past the end of a short palette opaque black.
  std::array<QRgb, 256> lookup;
  lookup.fill(qRgb(0, 0, 0));
  std::copy(table.cbegin(), table.cend(), lookup.begin());
  QImage image(width, height, QImage::Format_RGB32);
  if (image.isNull()) return image;
  uchar* out = image.bits();
  for (int y = 0; y < height; ++y) {
    const uchar* src = FileRow(pixels, h, y);
    auto* dst = reinterpret_cast<QRgb*>(out + y * image.bytesPerLine());
    // Four indices per load.
    int x = 0;
    for (; x + 4 <= width; x += 4) {
      const quint32 four = qFromLittleEndian<quint32>(src + x);
      dst[x] = lookup[four & 0xff];
      dst[x + 1] = lookup[(four >> 8) & 0xff];
      dst[x + 2] = lookup[(four >> 16) & 0xff];
      dst[x + 3] = lookup[four >> 24];
    }
    for (; x < width; ++x) dst[x] = lookup[src[x]];
  }
  return image;
}

// A fixed step lets the compiler unroll and vectorise the row loop.
template <int kStep>
void CopyTrueColourRows(const uchar* pixels, const PlainHeader& h, QImage& image) {
  uchar* out = image.bits();
  const qsizetype outStride = image.bytesPerLine();
  const int width = int(h.width);
  for (int64_t y = 0; y < h.height; ++y) {
    const uchar* src = FileRow(pixels, h, y);
    auto* dst = reinterpret_cast<QRgb*>(out + y * outStride);
    // One 4-byte load per pixel (blue, green, red, next); the last pixel of a 24-bit row may
    // end the file, so it is read byte by byte. The fourth byte of a 32-bit pixel is not alpha
    // without bit fields: Qt keeps the pixel opaque.
    const int wide = kStep == 4 ? width : width - 1;
    for (int x = 0; x < wide; ++x, src += kStep)
      dst[x] = 0xff000000u | (qFromLittleEndian<quint32>(src) & 0x00ffffffu);
    if (kStep == 3) dst[width - 1] = qRgb(src[2], src[1], src[0]);
  }
}

QImage DecodeTrueColour(const uchar* file, const PlainHeader& h) {
  QImage image(int(h.width), int(h.height), QImage::Format_RGB32);
  if (image.isNull()) return image;
  const uchar* pixels = file + h.pixelOffset;
  if (h.bitCount == 24)
    CopyTrueColourRows<3>(pixels, h, image);
  else
    CopyTrueColourRows<4>(pixels, h, image);
  return image;
}

}  // namespace

std::optional<Bitmap> Bitmap::FromPlainBmp(const QByteArray& bytes, int displayDepth) {
  const std::optional<PlainHeader> header = ReadPlainHeader(bytes);
  if (!header) return std::nullopt;
  const auto* file = reinterpret_cast<const uchar*>(bytes.constData());
  QImage image = header->bitCount == 8 ? DecodeIndexed(file, *header, displayDepth <= 8)
                                       : DecodeTrueColour(file, *header);
  if (image.isNull()) return std::nullopt;
  // Same setter as Qt's reader, so that zero and odd resolutions are treated alike.
  image.setDotsPerMeterX(header->xPelsPerMeter);
  image.setDotsPerMeterY(header->yPelsPerMeter);
  return Bitmap(std::move(image));
}

std::optional<Bitmap> Bitmap::FromBmp(const QByteArray& bytes, int displayDepth) {
  // Start-up reads hundreds of skin pictures and frames; the direct reader takes the common
  // kinds without Qt's stream reads and the conversion afterwards.
  if (std::optional<Bitmap> plain = FromPlainBmp(bytes, displayDepth)) return plain;
  // Qt's reader bounds its allocations, so a header claiming a huge picture fails cleanly.
  QImage image = QImage::fromData(bytes, "BMP");
  if (image.isNull()) return std::nullopt;
  const bool indexed = image.format() == QImage::Format_Indexed8 ||
                       image.format() == QImage::Format_Mono ||
                       image.format() == QImage::Format_MonoLSB;
  if (indexed && displayDepth <= 8) {
    if (image.format() != QImage::Format_Indexed8)
      image = image.convertToFormat(QImage::Format_Indexed8);
  } else if (image.format() != QImage::Format_RGB32) {
    image = image.convertToFormat(QImage::Format_RGB32);
  }
  if (image.isNull()) return std::nullopt;
  return Bitmap(std::move(image));
}

Bitmap Bitmap::Blank(int width, int height) {
  if (width <= 0 || height <= 0) return Bitmap();
  QImage image(width, height, QImage::Format_RGB32);
  image.fill(qRgb(0, 0, 0));
  return Bitmap(std::move(image));
}

QRgb Bitmap::Pixel(int x, int y) const {
  if (!image_.valid(x, y)) return 0;
  if (image_.format() == QImage::Format_Indexed8) {
    const int index = image_.pixelIndex(x, y);
    const QVector<QRgb> table = image_.colorTable();
    return index < table.size() ? table[index] : 0;
  }
  return image_.pixel(x, y);
}

QImage Bitmap::ToRgb32() const {
  if (image_.isNull() || image_.format() == QImage::Format_RGB32) return image_;
  return image_.convertToFormat(QImage::Format_RGB32);
}

}  // namespace platform
