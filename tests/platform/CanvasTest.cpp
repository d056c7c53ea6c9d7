#include <gtest/gtest.h>

#include <QFile>
#include <QSet>
#include <QTemporaryDir>

#include "platform/Canvas.h"
#include "platform/Fonts.h"

using platform::Bitmap;
using platform::Canvas;
using platform::FontSpec;
using platform::RasterOp;

namespace {

QImage Solid(int w, int h, QRgb colour) {
  QImage image(w, h, QImage::Format_RGB32);
  image.fill(colour);
  return image;
}

QSet<QRgb> ColoursIn(const QImage& image, const QRect& rect) {
  QSet<QRgb> colours;
  for (int y = rect.top(); y <= rect.bottom(); ++y)
    for (int x = rect.left(); x <= rect.right(); ++x)
      colours.insert(image.pixel(x, y) | 0xFF000000u);
  return colours;
}

constexpr QRgb kDest = 0xFF5A3CC3;
constexpr QRgb kSource = 0xFF0F66F0;

}  // namespace

// Every raster operation gives the bitwise result GDI gives, on every channel, and the result
// stays an opaque pixel when it is copied on (an XOR of equal colours is black, not see-through).
TEST(CanvasTest, RasterOperationsAreBitwiseAndStayOpaque) {
  struct Case {
    RasterOp op;
    QRgb expected;
  };
  const Case cases[] = {
      {RasterOp::Copy, kSource},
      {RasterOp::And, (kDest & kSource) | 0xFF000000u},
      {RasterOp::Or, kDest | kSource},
      {RasterOp::Xor, (kDest ^ kSource) | 0xFF000000u},
      {RasterOp::InvertDest, (~kDest) | 0xFF000000u},
      {RasterOp::InvertedSource, (~kSource) | 0xFF000000u},
  };
  const QImage source = Solid(4, 4, kSource);
  for (const Case& c : cases) {
    QImage surface = Solid(8, 8, kDest);
    Canvas canvas(surface);
    canvas.BitBlt(QPoint(2, 2), QSize(4, 4), source, QPoint(0, 0), c.op);
    EXPECT_EQ(canvas.Pixel(3, 3), c.expected) << int(c.op);
    EXPECT_EQ(canvas.Pixel(1, 1), kDest) << "outside the rectangle, op " << int(c.op);
  }

  QImage xored = Solid(4, 4, kSource);
  {
    Canvas canvas(xored);
    canvas.BitBlt(QPoint(0, 0), QSize(4, 4), source, QPoint(0, 0), RasterOp::Xor);
  }
  QImage target = Solid(4, 4, 0xFFFFFFFF);
  Canvas onto(target);
  onto.Draw(0, 0, xored);
  EXPECT_EQ(onto.Pixel(2, 2), 0xFF000000u);
}

// The image/mask pair: AND the mask (white where the background shows), then OR the image
// (black where transparent).
TEST(CanvasTest, ImageMaskPairLeavesBackgroundWhereMaskIsWhite) {
  QImage background = Solid(6, 1, kDest);
  QImage mask = Solid(6, 1, 0xFFFFFFFF);
  QImage image = Solid(6, 1, 0xFF000000);
  for (int x = 2; x < 4; ++x) {
    mask.setPixel(x, 0, 0xFF000000);
    image.setPixel(x, 0, kSource);
  }
  Canvas canvas(background);
  canvas.BitBlt(QPoint(0, 0), QSize(6, 1), mask, QPoint(0, 0), RasterOp::And);
  canvas.BitBlt(QPoint(0, 0), QSize(6, 1), image, QPoint(0, 0), RasterOp::Or);
  EXPECT_EQ(canvas.Pixel(0, 0), kDest);
  EXPECT_EQ(canvas.Pixel(2, 0), kSource);
  EXPECT_EQ(canvas.Pixel(3, 0), kSource);
  EXPECT_EQ(canvas.Pixel(5, 0), kDest);
}

TEST(CanvasTest, StretchIsNearestNeighbourAndUsesCopyMode) {
  QImage source(2, 2, QImage::Format_RGB32);
  source.setPixel(0, 0, 0xFFFF0000);
  source.setPixel(1, 0, 0xFF00FF00);
  source.setPixel(0, 1, 0xFF0000FF);
  source.setPixel(1, 1, 0xFFFFFFFF);
  QImage surface = Solid(6, 6, 0xFF000000);
  Canvas canvas(surface);
  canvas.CopyRect(QRect(0, 0, 6, 6), source, source.rect());
  EXPECT_EQ(ColoursIn(canvas.Image(), QRect(0, 0, 6, 6)).size(), 4) << "no blended colours";
  EXPECT_EQ(canvas.Pixel(0, 0), 0xFFFF0000u);
  EXPECT_EQ(canvas.Pixel(2, 2), 0xFFFF0000u);
  EXPECT_EQ(canvas.Pixel(3, 2), 0xFF00FF00u);
  EXPECT_EQ(canvas.Pixel(5, 5), 0xFFFFFFFFu);

  canvas.SetCopyMode(RasterOp::InvertedSource);
  canvas.CopyRect(QRect(0, 0, 2, 2), source, source.rect());
  EXPECT_EQ(canvas.Pixel(0, 0), 0xFF00FFFFu);
}

// A copy inside one canvas reads the old pixels even where source and destination overlap.
TEST(CanvasTest, OverlappingCopyWithinOneCanvas) {
  QImage surface(5, 1, QImage::Format_RGB32);
  for (int x = 0; x < 5; ++x) surface.setPixel(x, 0, qRgb(x * 10, 0, 0));
  Canvas canvas(surface);
  canvas.Fill(QRect(0, 0, 0, 0), Qt::white);  // opens the painter: the copy must cope
  canvas.CopyRect(QRect(1, 0, 4, 1), canvas, QRect(0, 0, 4, 1));
  for (int x = 1; x < 5; ++x) EXPECT_EQ(qRed(canvas.Pixel(x, 0)), (x - 1) * 10);
}

TEST(CanvasTest, EightBitPictureGoesThroughItsPalette) {
  QImage indexed(2, 1, QImage::Format_Indexed8);
  indexed.setColorTable({qRgb(1, 2, 3), qRgb(200, 100, 50)});
  indexed.setPixel(0, 0, 1);
  indexed.setPixel(1, 0, 0);
  const Bitmap picture(indexed);
  QImage surface = Solid(3, 1, 0xFF000000);
  Canvas canvas(surface);
  canvas.Draw(1, 0, picture);
  EXPECT_EQ(canvas.Pixel(0, 0), 0xFF000000u);
  EXPECT_EQ(canvas.Pixel(1, 0), qRgb(200, 100, 50));
  EXPECT_EQ(canvas.Pixel(2, 0), qRgb(1, 2, 3));

  // Drawing on an 8-bit bitmap makes it true colour with the same look.
  Bitmap target(indexed);
  Canvas onBitmap(target);
  onBitmap.Fill(QRect(1, 0, 1, 1), QColor(9, 9, 9));
  EXPECT_EQ(target.Image().format(), QImage::Format_RGB32);
  EXPECT_EQ(onBitmap.Pixel(0, 0), qRgb(200, 100, 50));
  EXPECT_EQ(onBitmap.Pixel(1, 0), qRgb(9, 9, 9));
}

TEST(CanvasTest, TransparentDrawAndClipLeaveTheRestAlone) {
  QImage picture = Solid(3, 3, 0xFF00FF00);
  picture.setPixel(1, 1, kSource);
  QImage surface = Solid(5, 5, kDest);
  Canvas canvas(surface);
  canvas.SetClipRect(QRect(0, 0, 5, 2));
  canvas.DrawTransparent(0, 0, picture, 0xFF00FF00);
  canvas.Fill(QRect(0, 3, 5, 2), Qt::white);  // clipped away entirely
  EXPECT_EQ(canvas.Pixel(0, 0), kDest);
  EXPECT_EQ(canvas.Pixel(1, 1), kSource);
  EXPECT_EQ(canvas.Pixel(0, 4), kDest);
  canvas.SetClipRect(QRect());
  canvas.DrawTransparent(2, 2, picture, 0xFF00FF00);
  EXPECT_EQ(canvas.Pixel(3, 3), kSource);
  // Pictures hanging over the edge are cut, not wrapped or read out of bounds.
  canvas.DrawTransparent(4, 4, picture, 0xFF000000);
  canvas.DrawTransparent(-2, -2, picture, 0xFF000000);
  EXPECT_EQ(canvas.Pixel(4, 4), 0xFF00FF00u);
}

// Shapes stay inside the rectangle with its right and bottom edges excluded, outlined with
// the pen and filled with the brush.
TEST(CanvasTest, ShapesKeepInsideTheirRectangle) {
  for (int shape = 0; shape < 2; ++shape) {
    QImage surface = Solid(20, 20, 0xFF000000);
    Canvas canvas(surface);
    canvas.SetPen(Qt::red);
    canvas.SetBrush(Qt::blue);
    const QRect rect(2, 3, 12, 10);
    if (shape == 0)
      canvas.Ellipse(rect);
    else
      canvas.RoundRect(rect, 6, 6);
    const QImage& image = canvas.Image();
    QRect painted;
    for (int y = 0; y < 20; ++y)
      for (int x = 0; x < 20; ++x)
        if ((image.pixel(x, y) & 0xFFFFFF) != 0) painted |= QRect(x, y, 1, 1);
    EXPECT_EQ(painted, rect) << shape;
    EXPECT_EQ(canvas.Pixel(8, 8), qRgb(0, 0, 255));
    EXPECT_EQ(canvas.Pixel(2, 8), qRgb(255, 0, 0));
    EXPECT_EQ(canvas.Pixel(13, 8), qRgb(255, 0, 0));
  }
}

TEST(CanvasTest, TextHeightsBackgroundsAndMeasure) {
  FontSpec font;
  font.Face = QStringLiteral("DejaVu Sans");
  font.Height = -20;
  font.Colour = QColor(255, 255, 0);
  const QSize em = platform::MeasureText(font, QStringLiteral("ÀÇÔ"));
  EXPECT_GT(em.height(), 20) << "a character height leaves room for the internal leading";
  font.Height = 20;
  const QSize cell = platform::MeasureText(font, QStringLiteral("ÀÇÔ"));
  EXPECT_LE(cell.height(), 20);
  EXPECT_GE(cell.height(), 18);
  const int regularWidth = platform::MeasureText(font, QStringLiteral("WWWW")).width();
  font.Bold = true;
  EXPECT_GT(platform::MeasureText(font, QStringLiteral("WWWW")).width(), regularWidth);
  font.Bold = false;

  QImage surface = Solid(120, 40, 0xFF000000);
  Canvas canvas(surface);
  font.Height = -16;
  canvas.SetFont(font);
  canvas.SetTextBackground(platform::TextBackground::Opaque, Qt::blue);
  const QSize extent = canvas.TextExtent(QStringLiteral("Quarx"));
  canvas.TextOut(5, 5, QStringLiteral("Quarx"));
  const QSet<QRgb> inCell = ColoursIn(canvas.Image(), QRect(QPoint(5, 5), extent));
  EXPECT_EQ(inCell, (QSet<QRgb>{qRgb(0, 0, 255), qRgb(255, 255, 0)})) << "unantialiased";
  EXPECT_EQ(canvas.Pixel(4, 5), 0xFF000000u);
  EXPECT_EQ(canvas.Pixel(5 + extent.width(), 5), 0xFF000000u);

  QImage clear = Solid(120, 40, 0xFF000000);
  Canvas clearCanvas(clear);
  clearCanvas.SetFont(font);
  clearCanvas.SetTextBackground(platform::TextBackground::Clear);
  clearCanvas.TextRect(QRect(5, 5, 10, 40), 5, 5, QStringLiteral("Quarx"));
  EXPECT_EQ(ColoursIn(clearCanvas.Image(), QRect(0, 0, 120, 40)),
            (QSet<QRgb>{qRgb(0, 0, 0), qRgb(255, 255, 0)}));
  EXPECT_EQ(ColoursIn(clearCanvas.Image(), QRect(15, 0, 105, 40)), (QSet<QRgb>{qRgb(0, 0, 0)}));
}

TEST(FontsTest, AddAndRemoveAFontFileAtRunTime) {
  const QString path = QStringLiteral("/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf");
  if (!QFile::exists(path)) GTEST_SKIP() << "no DejaVu font installed";
  QTemporaryDir dir;
  const QString copy = dir.filePath(QStringLiteral("face.ttf"));
  ASSERT_TRUE(QFile::copy(path, copy));
  EXPECT_EQ(platform::AddFontFile(copy), 1);
  EXPECT_EQ(platform::AddedFontFamilies(copy), QStringList{QStringLiteral("DejaVu Sans Mono")});
  EXPECT_TRUE(platform::RemoveFontFile(copy));
  EXPECT_FALSE(platform::RemoveFontFile(copy));

  const QString junk = dir.filePath(QStringLiteral("junk.ttf"));
  QFile file(junk);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write("not a font at all");
  file.close();
  EXPECT_EQ(platform::AddFontFile(junk), 0);
  EXPECT_EQ(platform::AddFontFile(dir.filePath(QStringLiteral("missing.ttf"))), 0);
  EXPECT_FALSE(platform::RemoveFontFile(junk));
}
