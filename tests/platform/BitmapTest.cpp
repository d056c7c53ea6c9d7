#include <gtest/gtest.h>

#include <QBuffer>
#include <QImageWriter>

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
