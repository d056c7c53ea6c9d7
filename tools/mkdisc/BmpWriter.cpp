#include "tools/mkdisc/BmpWriter.h"

#include <QtEndian>

namespace bmp {
namespace {

constexpr int kFileHeaderBytes = 14;
constexpr int kInfoHeaderBytes = 40;
constexpr int kPixelsPerMetre = 2835;  // 72 dots per inch

void Put16(QByteArray& out, quint16 v) {
  char b[2];
  qToLittleEndian(v, b);
  out.append(b, 2);
}

void Put32(QByteArray& out, quint32 v) {
  char b[4];
  qToLittleEndian(v, b);
  out.append(b, 4);
}

int BitsOf(Encoding e) {
  switch (e) {
    case Encoding::Rgb24:
      return 24;
    case Encoding::Pal8:
    case Encoding::Rle8:
      return 8;
    case Encoding::Pal4:
    case Encoding::Rle4:
      return 4;
    case Encoding::Mono:
      return 1;
  }
  return 24;
}

quint32 CompressionOf(Encoding e) {
  if (e == Encoding::Rle8) return 1;
  if (e == Encoding::Rle4) return 2;
  return 0;
}

// Uncompressed rows, bottom-up, each padded to 4 bytes.
QByteArray PlainRows(const QImage& img, int bits) {
  const int stride = ((img.width() * bits + 31) / 32) * 4;
  QByteArray out;
  out.reserve(stride * img.height());
  for (int y = img.height() - 1; y >= 0; --y) {
    QByteArray row(stride, '\0');
    auto* dst = reinterpret_cast<uchar*>(row.data());
    if (bits == 24) {
      const auto* src = reinterpret_cast<const QRgb*>(img.constScanLine(y));
      for (int x = 0; x < img.width(); ++x) {
        dst[3 * x] = static_cast<uchar>(qBlue(src[x]));
        dst[3 * x + 1] = static_cast<uchar>(qGreen(src[x]));
        dst[3 * x + 2] = static_cast<uchar>(qRed(src[x]));
      }
    } else {
      const uchar* src = img.constScanLine(y);
      for (int x = 0; x < img.width(); ++x) {
        const int v = src[x];
        if (bits == 8) {
          dst[x] = static_cast<uchar>(v);
        } else if (bits == 4) {
          dst[x / 2] |= static_cast<uchar>((x % 2 == 0) ? (v & 15) << 4 : (v & 15));
        } else {
          if (v & 1) dst[x / 8] |= static_cast<uchar>(0x80 >> (x % 8));
        }
      }
    }
    out += row;
  }
  return out;
}

// RLE rows: encoded runs only, with an end-of-line after each row and end-of-bitmap at the end.
// A run of 4-bit pixels alternates two nibbles; we only emit runs of one colour.
QByteArray RleRows(const QImage& img, bool fourBit) {
  QByteArray out;
  for (int y = img.height() - 1; y >= 0; --y) {
    const uchar* src = img.constScanLine(y);
    int x = 0;
    while (x < img.width()) {
      int run = 1;
      while (x + run < img.width() && run < 255 && src[x + run] == src[x]) ++run;
      out.append(static_cast<char>(run));
      const uchar v = fourBit ? static_cast<uchar>(((src[x] & 15) << 4) | (src[x] & 15)) : src[x];
      out.append(static_cast<char>(v));
      x += run;
    }
    out.append('\0');
    out.append('\0');
  }
  out.append('\0');
  out.append('\1');
  return out;
}

}  // namespace

QByteArray Encode(const QImage& image) {
  return Encode(image,
                image.format() == QImage::Format_Indexed8 ? Encoding::Pal8 : Encoding::Rgb24);
}

QByteArray Encode(const QImage& image, Encoding encoding) {
  const int bits = BitsOf(encoding);
  QImage img = bits == 24 ? image.convertToFormat(QImage::Format_RGB32)
                          : image.convertToFormat(QImage::Format_Indexed8);
  QVector<QRgb> table = bits == 24 ? QVector<QRgb>() : img.colorTable();
  const int tableSize = bits == 24 ? 0 : (1 << bits);
  table.resize(tableSize);

  const bool rle = encoding == Encoding::Rle8 || encoding == Encoding::Rle4;
  const QByteArray pixels = rle ? RleRows(img, encoding == Encoding::Rle4) : PlainRows(img, bits);
  const quint32 offBits = kFileHeaderBytes + kInfoHeaderBytes + 4 * tableSize;

  QByteArray out;
  out.reserve(static_cast<int>(offBits) + pixels.size());
  out.append("BM", 2);
  Put32(out, offBits + static_cast<quint32>(pixels.size()));
  Put32(out, 0);
  Put32(out, offBits);
  Put32(out, kInfoHeaderBytes);
  Put32(out, static_cast<quint32>(img.width()));
  Put32(out, static_cast<quint32>(img.height()));
  Put16(out, 1);
  Put16(out, static_cast<quint16>(bits));
  Put32(out, CompressionOf(encoding));
  Put32(out, static_cast<quint32>(pixels.size()));
  Put32(out, kPixelsPerMetre);
  Put32(out, kPixelsPerMetre);
  Put32(out, static_cast<quint32>(tableSize));
  Put32(out, 0);
  for (QRgb c : table) {
    out.append(static_cast<char>(qBlue(c)));
    out.append(static_cast<char>(qGreen(c)));
    out.append(static_cast<char>(qRed(c)));
    out.append('\0');
  }
  out += pixels;
  return out;
}

}  // namespace bmp
