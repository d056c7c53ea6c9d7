#include <gtest/gtest.h>

#include "controls/BlockTransition.h"
#include "platform/Clock.h"

namespace {

using platform::Canvas;

int CountColour(const QImage& image, QRgb colour) {
  int n = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) n += image.pixel(x, y) == colour;
  return n;
}

TEST(ShownTransitionTest, PartialResultsReachTheScreenAtAPaceAndTheEndMatchesTheSource) {
  QImage sourceImage(200, 100, QImage::Format_RGB32);
  sourceImage.fill(qRgb(10, 20, 30));
  QImage destImage(300, 200, QImage::Format_RGB32);
  destImage.fill(Qt::white);
  const Canvas source(sourceImage);
  Canvas dest(destImage);
  platform::ManualClock clock(7);
  std::vector<int> shown;  // copied pixels at each presentation
  int sleeps = 0;
  TransitionPacing pacing;
  pacing.Clock = &clock;
  pacing.Present = [&] { shown.push_back(CountColour(dest.Image(), qRgb(10, 20, 30))); };
  pacing.Sleep = [&](int ms) {
    ++sleeps;
    clock.Advance(uint32_t(ms));
  };
  pacing.PieceMicros = 1000;  // one line a millisecond
  pacing.FrameMs = 10;
  ShowBlockTransition(17, source, dest, QRect(0, 0, 200, 100), QPoint(50, 50), 4, pacing);

  // The same pieces as the plain call, ten to a frame of 10 ms.
  int pieces = 0;
  ForEachTransitionPiece(17, QSize(200, 100), 4, [&](const QRect&) { ++pieces; });
  EXPECT_NEAR(int(shown.size()), pieces / 10, 2);
  EXPECT_EQ(sleeps, int(shown.size()) - 1);  // asleep between frames, never after the last
  EXPECT_TRUE(std::is_sorted(shown.begin(), shown.end()));
  EXPECT_GT(shown.front(), 0);
  EXPECT_LT(shown[shown.size() / 2], 200 * 100);
  EXPECT_EQ(shown.back(), 200 * 100);
  EXPECT_EQ(dest.Pixel(49, 50), qRgb(255, 255, 255));
  EXPECT_EQ(dest.Pixel(249, 149), qRgb(10, 20, 30));
}

TEST(ShownTransitionTest, SlowDrawingCatchesUpInsteadOfFallingBehind) {
  QImage sourceImage(100, 100, QImage::Format_RGB32);
  sourceImage.fill(Qt::black);
  QImage destImage(100, 100, QImage::Format_RGB32);
  destImage.fill(Qt::white);
  const Canvas source(sourceImage);
  Canvas dest(destImage);
  platform::ManualClock clock(0);
  int frames = 0;
  TransitionPacing pacing;
  pacing.Clock = &clock;
  // Every presentation takes 50 ms: the pieces due by then are drawn at the next frame.
  pacing.Present = [&] {
    ++frames;
    clock.Advance(50);
  };
  pacing.Sleep = [&](int ms) { clock.Advance(uint32_t(ms)); };
  pacing.PieceMicros = 1000;
  pacing.FrameMs = 10;
  ShowBlockTransition(17, source, dest, QRect(0, 0, 100, 100), QPoint(0, 0), 2, pacing);
  EXPECT_LE(frames, 5);
  EXPECT_EQ(CountColour(dest.Image(), qRgb(0, 0, 0)), 100 * 100);
}

}  // namespace
