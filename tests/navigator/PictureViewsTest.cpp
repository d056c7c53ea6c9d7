#include <gtest/gtest.h>

#include "navigator/PictureViews.h"
#include "platform/Canvas.h"

namespace {

const QRgb kAqua = qRgb(0, 255, 255);

platform::Bitmap Solid(int w, int h, QRgb colour) {
  QImage image(w, h, QImage::Format_RGB32);
  image.fill(colour);
  return platform::Bitmap(image);
}

int Count(const QImage& image, QRgb colour, const QRect& within = {}) {
  const QRect r = within.isNull() ? image.rect() : within;
  int n = 0;
  for (int y = r.top(); y <= r.bottom(); ++y)
    for (int x = r.left(); x <= r.right(); ++x)
      if (image.pixel(x, y) == colour) ++n;
  return n;
}

// A logo picture: left half filled with colour (opaque everywhere), right half black mask.
platform::Bitmap Logo(int halfWidth, int h, QRgb colour) {
  QImage image(2 * halfWidth, h, QImage::Format_RGB32);
  image.fill(Qt::black);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < halfWidth; ++x) image.setPixel(x, y, colour);
  return platform::Bitmap(image);
}

TEST(PictureViewsTest, LogoFitKeepsSmallPicturesAndScalesOthersByTheLongerSide) {
  // Smaller both ways: own size, centred.
  EXPECT_EQ(FitLogo(100, 50, 149, 185), QRect(24, 67, 100, 50));
  // Tall area (W <= H): a wide picture fills the width ...
  EXPECT_EQ(FitLogo(298, 100, 149, 185), QRect(0, 67, 149, 50));
  // ... a tall one the height, unless it would then overflow the width.
  EXPECT_EQ(FitLogo(100, 370, 149, 185), QRect(49, 0, 50, 185));
  EXPECT_EQ(FitLogo(149, 200, 149, 185), QRect(6, 0, 137, 185));
  // Wide area (W > H): a tall picture fills the height, a wide one the width unless too high.
  EXPECT_EQ(FitLogo(100, 200, 200, 100), QRect(75, 0, 50, 100));
  EXPECT_EQ(FitLogo(400, 100, 200, 100), QRect(0, 25, 200, 50));
  EXPECT_EQ(FitLogo(250, 200, 200, 100), QRect(37, 0, 125, 100));
  // Degenerate pictures are not drawn.
  EXPECT_TRUE(FitLogo(0, 10, 100, 100).isEmpty());
}

TEST(PictureViewsTest, LogoIsFittedCentredAndMaskedOverTheBackground) {
  const platform::Bitmap background = Solid(800, 600, qRgb(0, 0, 90));
  const BackgroundPart under{&background, QRect(41, 210, 149, 185)};
  const QImage logo = ComposeLogo(Logo(298, 100, qRgb(200, 10, 10)), under, 11);
  ASSERT_EQ(logo.size(), QSize(149, 185));
  EXPECT_EQ(Count(logo, qRgb(200, 10, 10)), 149 * 50);
  EXPECT_EQ(logo.pixel(0, 67), qRgb(200, 10, 10));
  EXPECT_EQ(logo.pixel(0, 66), qRgb(0, 0, 90));
  EXPECT_EQ(logo.pixel(148, 116), qRgb(200, 10, 10));
  EXPECT_EQ(logo.pixel(148, 117), qRgb(0, 0, 90));

  // A transparent part of the logo (white mask, black image) shows the background.
  QImage holey = Logo(20, 20, qRgb(200, 10, 10)).Image();
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 10; ++x) {
      holey.setPixel(x, y, qRgb(0, 0, 0));
      holey.setPixel(20 + x, y, qRgb(255, 255, 255));
    }
  const QImage small = ComposeLogo(platform::Bitmap(holey), under, 11);
  EXPECT_EQ(Count(small, qRgb(200, 10, 10)), 10 * 20);
  EXPECT_EQ(small.pixel(64 + 2, 82 + 2), qRgb(0, 0, 90));
  EXPECT_EQ(small.pixel(64 + 12, 82 + 2), qRgb(200, 10, 10));
}

TEST(PictureViewsTest, BrokenPicturesShowTheirSubstituteTextInAqua) {
  const platform::Bitmap background = Solid(800, 600, qRgb(0, 0, 90));
  const QImage logo = ComposeLogo(std::nullopt, {&background, QRect(500, 405, 149, 185)}, 11);
  // "Sem logotipo" in aqua near the top left, over the background (the substitute's mask is
  // black only under the text).
  EXPECT_GT(Count(logo, kAqua, QRect(0, 0, 149, 40)), 20);
  EXPECT_EQ(Count(logo, kAqua, QRect(0, 60, 149, 125)), 0);
  EXPECT_EQ(logo.pixel(140, 180), qRgb(0, 0, 90));

  const platform::Bitmap mask = Solid(348, 261, qRgb(255, 255, 255));
  const ComposedScreenshot shot =
      ComposeScreenshot(std::nullopt, {&background, QRect(11, 124, 348, 261)}, mask);
  EXPECT_FALSE(shot.Decoded);
  EXPECT_EQ(shot.Screenshot.Width(), 348);
  EXPECT_GT(Count(shot.Screenshot.Image(), kAqua, QRect(10, 10, 200, 20)), 20);
  EXPECT_EQ(Count(shot.Screenshot.Image(), kAqua, QRect(0, 40, 348, 200)), 0);
  EXPECT_GT(Count(shot.Scaled, kAqua), 20);
}

TEST(PictureViewsTest, ScreenshotIsStretchedAndCutToTheSkinsShape) {
  const platform::Bitmap background = Solid(800, 600, qRgb(0, 0, 90));
  // Mask: white (screenshot) on the left half, black (background) on the right.
  QImage mask(348, 261, QImage::Format_RGB32);
  mask.fill(Qt::black);
  for (int y = 0; y < 261; ++y)
    for (int x = 0; x < 174; ++x) mask.setPixel(x, y, qRgb(255, 255, 255));
  const ComposedScreenshot shot = ComposeScreenshot(
      Solid(640, 480, qRgb(10, 200, 30)), {&background, QRect(11, 124, 348, 261)},
      platform::Bitmap(mask));
  EXPECT_TRUE(shot.Decoded);
  EXPECT_EQ(shot.Screenshot.Width(), 640);  // kept at its own size for the viewer
  ASSERT_EQ(shot.Scaled.size(), QSize(348, 261));
  EXPECT_EQ(Count(shot.Scaled, qRgb(10, 200, 30)), 174 * 261);
  EXPECT_EQ(Count(shot.Scaled, qRgb(0, 0, 90)), 174 * 261);
  EXPECT_EQ(shot.Scaled.pixel(173, 0), qRgb(10, 200, 30));
  EXPECT_EQ(shot.Scaled.pixel(174, 0), qRgb(0, 0, 90));
}

TEST(PictureViewsTest, HowToPanelIndentsThePathLines) {
  const platform::Bitmap background = Solid(800, 600, qRgb(0, 0, 0));
  const QImage panel = BuildHowToPanel("//exC:\\Jogos\\Demo\\", {&background, QRect(460, 147, 180, 200)},
                                       1.0, 1.0);
  ASSERT_EQ(panel.size(), QSize(180, 200));
  const QRgb yellow = qRgb(255, 255, 0);
  // Header lines start at x 0, the path lines at the indent of 10: the leftmost yellow of the
  // bottom lines lies right of the header's.
  auto leftmost = [&](int top, int bottom) {
    for (int x = 0; x < 180; ++x)
      for (int y = top; y < bottom; ++y)
        if (panel.pixel(x, y) == yellow) return x;
    return -1;
  };
  const int lineHeight = platform::MeasureText({"vkScr_01", 14, false, Qt::black}, "Àç").height();
  const int header = leftmost(0, lineHeight);
  const int path = leftmost(lineHeight * 4, lineHeight * 7);
  ASSERT_GE(header, 0);
  ASSERT_GE(path, 0);
  EXPECT_GE(path - header, 8);
  EXPECT_EQ(Count(panel, yellow, QRect(0, lineHeight * 8, 180, 200 - lineHeight * 8)), 0);
}

}  // namespace
