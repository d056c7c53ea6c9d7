#include <gtest/gtest.h>

#include <QSet>
#include <limits>
#include <stdexcept>
#include <vector>

#include "controls/BlockTransition.h"

using platform::Canvas;

namespace {

constexpr QRgb kUntouched = 0xFF123456;

// A picture whose pixels all differ, so a piece copied to the wrong place shows.
QImage Numbered(int w, int h) {
  QImage image(w, h, QImage::Format_RGB32);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) image.setPixel(x, y, qRgb(x * 5 % 256, y * 7 % 256, (x + y) % 256));
  return image;
}

// Runs a transition from sourceRect of a numbered picture to destPoint of a blank surface
// and says whether the destination region now equals the source region and nothing else
// changed.
::testing::AssertionResult CopiesExactly(int pattern, const QRect& sourceRect,
                                         const QPoint& destPoint, int block) {
  QImage sourceImage = Numbered(sourceRect.right() + 3, sourceRect.bottom() + 3);
  QImage destImage(destPoint.x() + sourceRect.width() + 4, destPoint.y() + sourceRect.height() + 4,
                   QImage::Format_RGB32);
  destImage.fill(kUntouched);
  {
    const Canvas source(sourceImage);
    Canvas dest(destImage);
    BlockTransition(pattern, source, dest, sourceRect, destPoint, block);
  }
  const QRect target(destPoint, sourceRect.size());
  for (int y = 0; y < destImage.height(); ++y)
    for (int x = 0; x < destImage.width(); ++x) {
      const QRgb got = destImage.pixel(x, y);
      const QRgb want = target.contains(x, y)
                            ? sourceImage.pixel(x - destPoint.x() + sourceRect.x(),
                                                y - destPoint.y() + sourceRect.y())
                            : kUntouched;
      if (got != want)
        return ::testing::AssertionFailure()
               << "pattern " << pattern << " block " << block << " size " << sourceRect.width()
               << "x" << sourceRect.height() << ": pixel (" << x << "," << y << ") differs";
    }
  return ::testing::AssertionSuccess();
}

std::vector<QRect> Pieces(int pattern, QSize size, int block) {
  std::vector<QRect> pieces;
  ForEachTransitionPiece(pattern, size, block, [&](const QRect& r) { pieces.push_back(r); });
  return pieces;
}

}  // namespace

// The grid pattern the windows use leaves the destination equal to the source, for their
// block sizes and for sides that are not multiples of the block, narrower than it included.
TEST(BlockTransitionTest, GridPatternCopiesEveryPixel) {
  for (int block : {1, 2, 3, 4, 6, 7}) {
    for (QSize size :
         {QSize(24, 12), QSize(37, 23), QSize(5, 41), QSize(1, 1), QSize(3, 2), QSize(2, 13)}) {
      EXPECT_TRUE(CopiesExactly(17, QRect(QPoint(3, 2), size), QPoint(1, 4), block));
    }
  }
}

TEST(BlockTransitionTest, GridPatternWithBlockOneIsOnePassOfLines) {
  const QSize size(9, 5);
  const auto pieces = Pieces(17, size, 1);
  QSet<int> columns, rows;
  for (const QRect& p : pieces) {
    if (p.width() == 1 && p.height() == size.height())
      columns.insert(p.x());
    else if (p.height() == 1 && p.width() == size.width())
      rows.insert(p.y());
    else
      ADD_FAILURE() << "not a full line";
  }
  EXPECT_EQ(columns.size(), 9);
  EXPECT_EQ(rows.size(), 5);
  // One pass: it ends as soon as both the last column and the last row are reached.
  EXPECT_EQ(pieces.size(), 2u * 9);
}

// The first pass of the grid draws lines Block pixels apart; each later pass shifts by one.
TEST(BlockTransitionTest, GridPatternPassesShiftByOnePixel) {
  const auto pieces = Pieces(17, QSize(20, 20), 4);
  std::vector<int> xs;
  for (size_t i = 0; i < pieces.size(); i += 2) xs.push_back(pieces[i].x());
  const std::vector<int> firstPass = {0, 4, 8, 12, 16, 19};
  ASSERT_GE(xs.size(), 7u);
  EXPECT_EQ(std::vector<int>(xs.begin(), xs.begin() + 6), firstPass);
  EXPECT_EQ(xs[6], 1);
}

TEST(BlockTransitionTest, NoBlockOrNoAreaCopiesNothing) {
  for (int pattern = 1; pattern < kBlockTransitionPatterns; ++pattern) {
    EXPECT_TRUE(Pieces(pattern, QSize(10, 10), 0).empty()) << pattern;
    EXPECT_TRUE(Pieces(pattern, QSize(10, 10), -3).empty()) << pattern;
    EXPECT_TRUE(Pieces(pattern, QSize(0, 10), 2).empty()) << pattern;
  }
}

// Every pattern copies the whole rectangle and never a pixel outside it.
TEST(BlockTransitionTest, EveryPatternCopiesTheWholeRectangle) {
  for (int pattern = 1; pattern < kBlockTransitionPatterns; ++pattern) {
    for (int block : {1, 3, 8}) {
      for (QSize size : {QSize(29, 17), QSize(16, 16), QSize(5, 2)}) {
        for (const QRect& piece : Pieces(pattern, size, block))
          ASSERT_TRUE(QRect(QPoint(0, 0), size).contains(piece) && !piece.isEmpty())
              << "pattern " << pattern;
        EXPECT_TRUE(CopiesExactly(pattern, QRect(QPoint(2, 1), size), QPoint(3, 3), block));
      }
    }
  }
  EXPECT_TRUE(CopiesExactly(99, QRect(0, 0, 7, 7), QPoint(0, 0), 2)) << "unknown pattern";
}

// A block larger than the rectangle, up to the largest int, is one block: every pattern still
// copies everything, in about as many pieces as the rectangle has lines.
TEST(BlockTransitionTest, HugeBlockIsOneBlockAndStaysCheap) {
  constexpr size_t kMostPieces = 1000;
  for (int pattern = 1; pattern < kBlockTransitionPatterns; ++pattern) {
    for (int block : {64, 1 << 20, std::numeric_limits<int>::max()}) {
      size_t pieces = 0;
      bool tooMany = false;
      // A runaway pattern is cut short rather than left to run for minutes.
      try {
        ForEachTransitionPiece(pattern, QSize(29, 17), block, [&](const QRect&) {
          if (++pieces > kMostPieces) throw std::runtime_error("too many pieces");
        });
      } catch (const std::runtime_error&) {
        tooMany = true;
      }
      EXPECT_FALSE(tooMany) << "pattern " << pattern << " block " << block;
      if (!tooMany) {
        EXPECT_TRUE(
            CopiesExactly(pattern, QRect(QPoint(2, 1), QSize(29, 17)), QPoint(3, 3), block));
      }
    }
  }
}

TEST(BlockTransitionTest, PatternZeroCopiesWholeCanvases) {
  QImage sourceImage = Numbered(12, 9);
  QImage destImage(12, 9, QImage::Format_RGB32);
  destImage.fill(kUntouched);
  const Canvas source(sourceImage);
  Canvas dest(destImage);
  BlockTransition(0, source, dest, QRect(5, 5, 1, 1), QPoint(7, 7), 0);
  EXPECT_EQ(dest.Image(), sourceImage);
}

TEST(BlockTransitionTest, RandomOrderCopiesEachBlockOnce) {
  const auto pieces = Pieces(35, QSize(23, 10), 4);
  EXPECT_EQ(pieces.size(), 6u * 3);
  QSet<QPair<int, int>> corners;
  for (const QRect& p : pieces) corners.insert({p.x(), p.y()});
  EXPECT_EQ(corners.size(), 18);
}

// The orders that give each pattern its look.
TEST(BlockTransitionTest, PatternsStartWhereTheirSweepStarts) {
  const QSize size(30, 20);  // 3 x 2 blocks of 10
  auto first = [&](int pattern) { return Pieces(pattern, size, 10).front(); };
  auto second = [&](int pattern) { return Pieces(pattern, size, 10)[1]; };
  EXPECT_EQ(first(1), QRect(0, 0, 10, 10));
  EXPECT_EQ(second(1), QRect(0, 10, 10, 10));
  EXPECT_EQ(first(2), QRect(20, 0, 10, 10));
  EXPECT_EQ(second(3), QRect(10, 0, 10, 10));
  EXPECT_EQ(first(4), QRect(0, 10, 10, 10));
  EXPECT_EQ(first(5), QRect(0, 0, 10, 20));
  EXPECT_EQ(second(5), QRect(20, 0, 10, 10));
  EXPECT_EQ(first(6), QRect(10, 0, 10, 20));
  EXPECT_EQ(first(18), QRect(0, 0, 10, 10));
  EXPECT_EQ(first(19), QRect(0, 10, 10, 10));
  EXPECT_EQ(first(20), QRect(20, 0, 10, 10));
  EXPECT_EQ(first(21), QRect(20, 10, 10, 10));
  EXPECT_EQ(second(22), QRect(20, 10, 10, 10));
  EXPECT_EQ(first(36), QRect(0, 0, 10, 10)) << "the chessboard's first colour has c + r even";
}
