#include <gtest/gtest.h>

#include "navigator/RowPainter.h"

namespace {

const QRgb kBack = qRgb(0, 0, 128);
const QRgb kGreen = qRgb(0, 200, 0);
const QRgb kWhite = qRgb(255, 255, 255);

platform::Bitmap Solid(int w, int h, QRgb colour) {
  QImage image(w, h, QImage::Format_RGB32);
  image.fill(colour);
  return platform::Bitmap(image);
}

struct RowFixture {
  platform::Bitmap background = Solid(800, 600, kBack);
  platform::Bitmap gradient = Solid(400, 60, kGreen);
  platform::Bitmap indicator;
  QImage surface = QImage(400, 40, QImage::Format_RGB32);
  RowSkin skin;

  RowFixture() {
    // Left half a red square, right half its mask (black where the image shows).
    QImage ind(20, 10, QImage::Format_RGB32);
    ind.fill(Qt::white);
    for (int y = 0; y < 10; ++y)
      for (int x = 0; x < 10; ++x) {
        ind.setPixel(x, y, qRgb(250, 0, 0));
        ind.setPixel(10 + x, y, qRgb(0, 0, 0));
      }
    indicator = platform::Bitmap(ind);
    surface.fill(Qt::black);
    skin.Background = &background;
    skin.Gradient = &gradient;
    skin.Indicator = &indicator;
    skin.RowIndent = 8;
  }
  // Rightmost column holding colour in rows [top, top + h).
  int Rightmost(QRgb colour, int top, int h) const {
    int right = -1;
    for (int y = top; y < top + h; ++y)
      for (int x = 0; x < surface.width(); ++x)
        if (surface.pixel(x, y) == colour) right = std::max(right, x);
    return right;
  }
};

TEST(RowPainterTest, GradientShowsOnlyInsideTheGlyphsOfARightAlignedTitle) {
  RowFixture f;
  const QRect row(0, 0, 400, 30);
  platform::Canvas canvas(f.surface);
  PaintListRow(canvas, row, 0, "WAVE Mania", f.skin);
  const QImage& img = canvas.Image();
  int green = 0;
  int strange = 0;
  int greenLeft = 400;
  int greenRight = -1;
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 400; ++x) {
      const QRgb p = img.pixel(x, y);
      if (p == kGreen) {
        ++green;
        greenLeft = std::min(greenLeft, x);
        greenRight = std::max(greenRight, x);
      } else if (p != kBack && p != qRgb(0, 0, 0)) {
        ++strange;
      }
    }
  EXPECT_GT(green, 30);
  EXPECT_EQ(strange, 0);  // nothing but background, shadow and gradient
  // Right-aligned at the indent; the left part of the row keeps the background.
  const QSize extent = platform::MeasureText(ListRowFont(1.0), "WAVE Mania");
  EXPECT_LE(greenRight, 400 - 8);
  EXPECT_GE(greenLeft, 400 - 8 - extent.width());
  for (int x = 0; x < 400 - 8 - extent.width(); ++x) EXPECT_EQ(img.pixel(x, 15), kBack);
  // The gradient never shows where the glyphs are not: the middle of the row's left part and
  // the gaps inside the text box keep the background or the shadow.
  int gapBack = 0;
  for (int x = greenLeft; x <= greenRight; ++x)
    if (img.pixel(x, 15) == kBack) ++gapBack;
  EXPECT_GT(gapBack, 0);
}

TEST(RowPainterTest, SelectedAndFocusedRowsShowIndicatorAndRedFrame) {
  RowFixture f;
  platform::Canvas canvas(f.surface);
  PaintListRow(canvas, QRect(0, 10, 400, 30), kRowSelected | kRowFocused, "X", f.skin);
  const QImage& img = canvas.Image();
  // The indicator's image half at (RowIndent, (30 - 10) / 2) inside the row.
  EXPECT_EQ(img.pixel(8, 10 + 10), qRgb(250, 0, 0));
  EXPECT_EQ(img.pixel(17, 10 + 19), qRgb(250, 0, 0));
  EXPECT_EQ(img.pixel(18 + 1, 10 + 15), kBack);
  // The frame's straight edges.
  EXPECT_EQ(img.pixel(0, 10 + 15), qRgb(255, 0, 0));
  EXPECT_EQ(img.pixel(200, 10), qRgb(255, 0, 0));
  // Rows outside the rectangle are untouched.
  EXPECT_EQ(img.pixel(200, 5), qRgb(0, 0, 0));

  platform::Canvas plain(f.surface);
  PaintListRow(plain, QRect(0, 10, 400, 30), 0, "X", f.skin);
  EXPECT_EQ(plain.Image().pixel(8, 20), kBack);
  EXPECT_EQ(plain.Image().pixel(0, 25), kBack);
}

TEST(RowPainterTest, JustifiedLinesEndAtTheRightIndentAndOthersStayRagged) {
  const int w = 400;
  const int indent = 8;
  const QString line = "um dois tres quatro cinco ";
  auto paint = [&](TextLineLayout layout, const QString& text) {
    RowFixture f;
    platform::Canvas canvas(f.surface);
    PaintTextRow(canvas, QRect(0, 0, w, 20), 0, text, layout, f.skin);
    (void)canvas.Image();
    return f.Rightmost(kWhite, 0, 20);
  };
  const int raggedRight = paint({false, false, 4}, line);
  const int justifiedRight = paint({true, false, 4}, line);
  // The last glyph ends at most its right bearing short of row width - 2 x RowIndent.
  EXPECT_LE(justifiedRight, w - 2 * indent - 1);
  EXPECT_GE(justifiedRight, w - 2 * indent - 3);
  EXPECT_LT(raggedRight, justifiedRight - 100);
  // A paragraph's last line and a line without gaps are never stretched.
  EXPECT_EQ(paint({true, true, 4}, line), raggedRight);
  EXPECT_EQ(paint({true, false, 0}, "palavra"), paint({false, false, 0}, "palavra"));
  // Nor a line that nearly fills the row.
  const QString longLine = QString("ab ").repeated(60);
  EXPECT_EQ(paint({true, false, 59}, longLine), paint({false, false, 59}, longLine));

  // Left-aligned writing starts at the indent (the shadow one pixel to the right).
  RowFixture f;
  platform::Canvas canvas(f.surface);
  PaintTextRow(canvas, QRect(0, 0, w, 20), 0, "Il", {false, true, 0}, f.skin);
  int left = w;
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < w; ++x)
      if (canvas.Image().pixel(x, y) == kWhite) left = std::min(left, x);
  EXPECT_GE(left, indent);
  EXPECT_LE(left, indent + 3);
}

TEST(RowPainterTest, JustificationSpreadsTheSlackOverEveryGap) {
  // With one step per gap rounded up, the last word is pulled back so the line still ends at
  // the indent: a long line of many gaps and a short one of few end at the same column.
  auto right = [](const QString& text, int gaps) {
    RowFixture f;
    platform::Canvas canvas(f.surface);
    PaintTextRow(canvas, QRect(0, 0, 400, 20), 0, text, {true, false, gaps}, f.skin);
    (void)canvas.Image();
    return f.Rightmost(kWhite, 0, 20);
  };
  EXPECT_NEAR(right("a b c d e f g h i j k l m n o p q r s t u v w x y z ", 25),
              right("ab cd ", 1), 2);
}

}  // namespace
