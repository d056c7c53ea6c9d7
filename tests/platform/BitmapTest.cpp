#include <gtest/gtest.h>

#include <QBuffer>
#include <QImageWriter>
#include <QString>
#include <QtEndian>
#include <cstdint>
#include <cstring>

#include "platform/Bitmap.h"

using platform::Bitmap;

namespace {

QByteArray Bmp(const QImage& image) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  QImageWriter(&buffer, "BMP").write(image);
  return bytes;
}

// What FromBmp did before it had a reader of its own: Qt's reader and a conversion.
std::optional<QImage> QtReading(const QByteArray& bytes, int displayDepth) {
  QImage image = QImage::fromData(bytes, "BMP");
  if (image.isNull()) return std::nullopt;
  const bool indexed = image.format() == QImage::Format_Indexed8 ||
                       image.format() == QImage::Format_Mono ||
                       image.format() == QImage::Format_MonoLSB;
  if (indexed && displayDepth <= 8)
    image = image.convertToFormat(QImage::Format_Indexed8);
  else
    image = image.convertToFormat(QImage::Format_RGB32);
  if (image.isNull()) return std::nullopt;
  return image;
}

// Differences between two pictures down to the bytes of each row (padding included for 8-bit
// rows), or an empty string.
QString Difference(const QImage& got, const QImage& want) {
  if (got.format() != want.format())
    return QString("format %1, want %2").arg(got.format()).arg(want.format());
  if (got.size() != want.size()) return "size";
  if (got.colorTable() != want.colorTable())
    return QString("palette of %1, want %2").arg(got.colorCount()).arg(want.colorCount());
  if (got.dotsPerMeterX() != want.dotsPerMeterX() || got.dotsPerMeterY() != want.dotsPerMeterY())
    return "resolution";
  const qsizetype rowBytes =
      want.format() == QImage::Format_Indexed8 ? want.bytesPerLine() : want.width() * 4;
  for (int y = 0; y < want.height(); ++y)
    if (std::memcmp(got.constScanLine(y), want.constScanLine(y), size_t(rowBytes)) != 0)
      return QString("row %1").arg(y);
  return {};
}

// A bitmap file built field by field, so that tests can bend any of them.
struct BmpFile {
  int width = 1;
  int height = 1;  // negative: top-down
  int bitCount = 24;
  uint32_t compression = 0;
  int paletteSize = 0;       // entries written
  uint32_t coloursUsed = 0;  // as the header claims
  int gap = 0;               // bytes between palette and pixels
  int64_t offsetShift = 0;   // added to the pixel offset
  uint32_t seed = 1;

  QByteArray Build() const {
    const int rows = height < 0 ? -height : height;
    const int stride = (width * bitCount + 31) / 32 * 4;
    const int paletteBytes = paletteSize * 4;
    const int offset = 54 + paletteBytes + gap;
    QByteArray b(offset + stride * rows, '\0');
    auto put32 = [&](int at, uint32_t v) { qToLittleEndian(v, b.data() + at); };
    auto put16 = [&](int at, uint16_t v) { qToLittleEndian(v, b.data() + at); };
    b[0] = 'B';
    b[1] = 'M';
    put32(2, uint32_t(b.size()));
    put32(10, uint32_t(offset + offsetShift));
    put32(14, 40);
    put32(18, uint32_t(width));
    put32(22, uint32_t(height));
    put16(26, 1);
    put16(28, uint16_t(bitCount));
    put32(30, compression);
    put32(34, uint32_t(stride * rows));
    put32(38, 2835);
    put32(42, 3780);
    put32(46, coloursUsed);
    // Every other byte pseudo-random: colours, indices past a short palette, the fourth byte
    // of 32-bit pixels, row padding and the reserved byte of palette entries.
    uint32_t noise = seed;
    for (int i = 54; i < b.size(); ++i) {
      noise = noise * 1664525u + 1013904223u;
      b[i] = char(noise >> 24);
    }
    return b;
  }
};

// The direct reader must take the file, and FromBmp must give exactly what Qt gave.
// An 8-bit picture with a palette of `colours` entries, all of them used.
BmpFile EightBit(int width, int height, int colours) {
  BmpFile f;
  f.bitCount = 8;
  f.width = width;
  f.height = height;
  f.paletteSize = colours;
  f.coloursUsed = colours;
  return f;
}

void ExpectTakenAndSameAsQt(const QByteArray& bytes, const QString& what) {
  for (int depth : {8, 32}) {
    SCOPED_TRACE(QString("%1 at depth %2").arg(what).arg(depth).toStdString());
    const std::optional<QImage> want = QtReading(bytes, depth);
    ASSERT_TRUE(want);
    const std::optional<Bitmap> plain = Bitmap::FromPlainBmp(bytes, depth);
    ASSERT_TRUE(plain);
    EXPECT_EQ(Difference(plain->Image(), *want).toStdString(), "");
    const std::optional<Bitmap> got = Bitmap::FromBmp(bytes, depth);
    ASSERT_TRUE(got);
    EXPECT_EQ(Difference(got->Image(), *want).toStdString(), "");
  }
}

// The direct reader must leave the file alone, and FromBmp must still match Qt.
void ExpectLeftToQt(const QByteArray& bytes, const QString& what) {
  for (int depth : {8, 32}) {
    SCOPED_TRACE(QString("%1 at depth %2").arg(what).arg(depth).toStdString());
    EXPECT_FALSE(Bitmap::FromPlainBmp(bytes, depth));
    const std::optional<QImage> want = QtReading(bytes, depth);
    const std::optional<Bitmap> got = Bitmap::FromBmp(bytes, depth);
    ASSERT_EQ(bool(got), bool(want));
    // Qt leaves rows it could not read (and row padding it converts) uninitialised, so only
    // the shape of its result can be compared.
    if (got) {
      EXPECT_EQ(got->Image().format(), want->format());
      EXPECT_EQ(got->Image().size(), want->size());
      EXPECT_EQ(got->Image().colorTable(), want->colorTable());
    }
  }
}

}  // namespace

TEST(Bitmap, PaletteKeptOnlyAtPaletteDepths) {
  QImage indexed(3, 2, QImage::Format_Indexed8);
  indexed.setColorTable({qRgb(0, 0, 0), qRgb(10, 20, 30)});
  indexed.fill(1);
  const QByteArray bytes = Bmp(indexed);

  const auto kept = Bitmap::FromBmp(bytes, 8);
  ASSERT_TRUE(kept);
  EXPECT_TRUE(kept->HasPalette());
  EXPECT_EQ(kept->Pixel(2, 1), qRgb(10, 20, 30));
  EXPECT_EQ(kept->Pixel(3, 0), 0u);
  EXPECT_EQ(kept->ToRgb32().pixel(0, 0), qRgb(10, 20, 30));

  const auto deep = Bitmap::FromBmp(bytes, 24);
  ASSERT_TRUE(deep);
  EXPECT_FALSE(deep->HasPalette());
  EXPECT_EQ(deep->Image().format(), QImage::Format_RGB32);

  QImage mono(9, 3, QImage::Format_Mono);
  mono.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0)});
  mono.fill(1);
  const auto monoBitmap = Bitmap::FromBmp(Bmp(mono), 8);
  ASSERT_TRUE(monoBitmap);
  EXPECT_TRUE(monoBitmap->HasPalette());
  EXPECT_EQ(monoBitmap->Pixel(8, 2), qRgb(0, 0, 0));
}

TEST(Bitmap, MalformedFilesGiveNothing) {
  EXPECT_FALSE(Bitmap::FromBmp({}, 24));
  EXPECT_FALSE(Bitmap::FromBmp("BM not really", 24));
  QImage image(4, 4, QImage::Format_RGB32);
  image.fill(Qt::red);
  QByteArray bytes = Bmp(image);
  EXPECT_FALSE(Bitmap::FromBmp(bytes.left(30), 24));
  // A header claiming a picture of 2^30 x 2^30 pixels.
  bytes[18] = bytes[22] = 0;
  bytes[19] = bytes[23] = 0;
  bytes[20] = bytes[24] = 0;
  bytes[21] = bytes[25] = 0x40;
  EXPECT_FALSE(Bitmap::FromBmp(bytes, 24));
  EXPECT_TRUE(Bitmap::Blank(0, 5).IsEmpty());
  EXPECT_EQ(Bitmap::Blank(2, 3).Pixel(1, 2), qRgb(0, 0, 0));
}

TEST(Bitmap, TrueColourReadsAsQtDoes) {
  for (int bits : {24, 32})
    for (int width = 1; width <= 9; ++width)
      for (int height : {3, -3}) {
        BmpFile f;
        f.bitCount = bits;
        f.width = width;
        f.height = height;
        f.seed = uint32_t(bits * 100 + width * 10 + (height > 0));
        ExpectTakenAndSameAsQt(f.Build(), QString("%1-bit %2x%3").arg(bits).arg(width).arg(height));
      }
}

TEST(Bitmap, IndexedReadsAsQtDoes) {
  // Short palettes meet indices past their end; 0 colours used means a full palette.
  for (const auto& [entries, used] : {std::pair{2, 2u}, {16, 16u}, {256, 256u}, {256, 0u}})
    for (int width = 1; width <= 9; ++width)
      for (int height : {2, -2}) {
        BmpFile f = EightBit(width, height, entries);
        f.coloursUsed = used;
        f.seed = uint32_t(entries + width * 1000 + (height > 0));
        ExpectTakenAndSameAsQt(
            f.Build(),
            QString("%1 colours (%2) %3x%4").arg(entries).arg(used).arg(width).arg(height));
      }
}

TEST(Bitmap, PixelsAfterAGapReadAsQtDoes) {
  BmpFile f = EightBit(5, 4, 16);
  f.gap = 10;
  ExpectTakenAndSameAsQt(f.Build(), "8-bit with a gap");
  f.bitCount = 24;
  f.paletteSize = 0;
  f.coloursUsed = 0;
  ExpectTakenAndSameAsQt(f.Build(), "24-bit with a gap");
  // True-colour pictures may carry an optional palette that nobody reads.
  f.paletteSize = 4;
  f.coloursUsed = 4;
  f.gap = 0;
  ExpectTakenAndSameAsQt(f.Build(), "24-bit with a palette");
}

TEST(Bitmap, OddFilesAreLeftToQt) {
  const BmpFile plain = EightBit(6, 5, 16);

  ExpectLeftToQt(plain.Build().chopped(1), "pixels cut short");
  ExpectLeftToQt(plain.Build().left(54 + 30), "palette cut short");

  BmpFile shifted = plain;
  shifted.offsetShift = 8;
  ExpectLeftToQt(shifted.Build(), "pixels said to start past the data");
  shifted.offsetShift = -4;
  ExpectLeftToQt(shifted.Build(), "pixels said to start inside the palette");
  shifted.offsetShift = -60;
  ExpectLeftToQt(shifted.Build(), "pixels said to start inside the headers");
  shifted.offsetShift = int64_t(0x80000000u);
  ExpectLeftToQt(shifted.Build(), "negative pixel offset");

  BmpFile many = plain;
  many.coloursUsed = 300;
  ExpectLeftToQt(many.Build(), "more colours than 8 bits index");

  BmpFile rle = plain;
  rle.compression = 1;
  ExpectLeftToQt(rle.Build(), "run-length coded");

  BmpFile fields = plain;
  fields.bitCount = 32;
  fields.paletteSize = 3;  // the three masks
  fields.compression = 3;
  ExpectLeftToQt(fields.Build(), "bit fields");

  for (int bits : {1, 4, 16}) {
    BmpFile other = plain;
    other.bitCount = bits;
    other.paletteSize = bits == 16 ? 0 : 1 << bits;
    other.coloursUsed = 0;
    ExpectLeftToQt(other.Build(), QString("%1-bit").arg(bits));
  }

  BmpFile empty = plain;
  empty.width = 0;
  ExpectLeftToQt(empty.Build(), "no width");
  empty = plain;
  empty.height = 0;
  ExpectLeftToQt(empty.Build(), "no height");

  QByteArray lowestHeight = plain.Build();
  qToLittleEndian(uint32_t(0x80000000u), lowestHeight.data() + 22);
  ExpectLeftToQt(lowestHeight, "most negative height");

  QByteArray planes = plain.Build();
  planes[26] = 2;
  ExpectLeftToQt(planes, "two planes");

  QByteArray core = plain.Build();
  core[14] = 12;
  ExpectLeftToQt(core, "old-style header");
}
