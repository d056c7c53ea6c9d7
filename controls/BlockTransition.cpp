#include "controls/BlockTransition.h"

#include <QRandomGenerator>
#include <QThread>
#include <algorithm>
#include <cstdint>
#include <numeric>
#include <vector>

#include "platform/Clock.h"

namespace {

// The grid of one call and the pieces it can emit. Block coordinates are 1-based as in the
// pattern descriptions; out-of-range blocks are skipped so patterns need not guard.
class Grid {
 public:
  // A block larger than the rectangle is the same single block; clamped, the arithmetic below
  // cannot overflow and the line patterns make no more passes than the rectangle has lines.
  Grid(const QSize& size, int block, const std::function<void(const QRect&)>& sink)
      : W(size.width()),
        H(size.height()),
        B(std::min(block, std::max(W, H))),
        Cols((W - 1) / B + 1),
        Rows((H - 1) / B + 1),
        sink_(sink) {}

  const int W, H, B, Cols, Rows;

  void Block(int c, int r) const {
    if (c < 1 || c > Cols || r < 1 || r > Rows) return;
    const int x = (c - 1) * B;
    const int y = (r - 1) * B;
    sink_(QRect(x, y, std::min(c * B, W) - x, std::min(r * B, H) - y));
  }
  void Column(int c) const {
    if (c < 1 || c > Cols) return;
    const int x = (c - 1) * B;
    sink_(QRect(x, 0, std::min(c * B, W) - x, H));
  }
  void Row(int r) const {
    if (r < 1 || r > Rows) return;
    const int y = (r - 1) * B;
    sink_(QRect(0, y, W, std::min(r * B, H) - y));
  }
  void ColumnBlocks(int c, bool downwards) const {
    for (int i = 1; i <= Rows; ++i) Block(c, downwards ? i : Rows + 1 - i);
  }
  void RowBlocks(int r, bool rightwards) const {
    for (int i = 1; i <= Cols; ++i) Block(rightwards ? i : Cols + 1 - i, r);
  }
  void VerticalLine(int x) const { sink_(QRect(x, 0, 1, H)); }
  void HorizontalLine(int y) const { sink_(QRect(0, y, W, 1)); }

  // The diagonals of the four corner wipes, as lists of blocks; diagonal i of each wipe.
  int Diagonals() const { return Cols + Rows - 1; }
  // From the top-left corner: anti-diagonal c + r = i + 2, from its upper-right end down-left.
  void DiagonalTopLeft(int i) const {
    for (int c = std::min(i + 1, Cols); c >= 1; --c) Block(c, i + 2 - c);
  }
  // From the bottom-left corner: c - r = i + 1 - Rows, from its upper-left end down-right.
  void DiagonalBottomLeft(int i) const { DownRightFrom(i + 1 - Rows); }
  // From the top-right corner: c - r = Cols - 1 - i, from its upper-left end down-right.
  void DiagonalTopRight(int i) const { DownRightFrom(Cols - 1 - i); }
  // From the bottom-right corner: c + r = Cols + Rows - i, from its upper-right end down-left.
  void DiagonalBottomRight(int i) const {
    const int sum = Cols + Rows - i;
    for (int c = std::min(sum - 1, Cols); c >= 1; --c) Block(c, sum - c);
  }

 private:
  void DownRightFrom(int difference) const {
    int c = difference >= 0 ? difference + 1 : 1;
    int r = difference >= 0 ? 1 : 1 - difference;
    for (; c <= Cols && r <= Rows; ++c, ++r) Block(c, r);
  }

  const std::function<void(const QRect&)>& sink_;
};

// Pattern 17, as the windows use it: Block passes of one-pixel lines Block apart, each pass
// shifted by one pixel. A pass that would start beyond the last column or row starts on it.
void Grid17(const Grid& g) {
  for (int p = 0; p < g.B; ++p) {
    int x = std::min(p, g.W - 1);
    int y = std::min(p, g.H - 1);
    for (;;) {
      g.VerticalLine(x);
      g.HorizontalLine(y);
      if (x == g.W - 1 && y == g.H - 1) break;
      x = std::min(x + g.B, g.W - 1);
      y = std::min(y + g.B, g.H - 1);
    }
  }
}

// Two fronts meeting in the middle: whole lines from the start, blocks from the end.
void Converge(int count, const std::function<void(int)>& whole,
              const std::function<void(int)>& blocks) {
  for (int low = 1, high = count; low <= high; ++low, --high) {
    whole(low);
    if (high != low) blocks(high);
  }
}

void Spread(int count, const std::function<void(int)>& line) {
  const int mid = (count + 1) / 2;
  line(mid);
  for (int d = 1; mid - d >= 1 || mid + d <= count; ++d) {
    line(mid - d);
    line(mid + d);
  }
}

// Strips of about count / parts lines (at least one); the last strip takes the rest.
std::vector<std::pair<int, int>> Strips(int count, int parts) {
  const int width = std::max(1, (count + parts / 2) / parts);
  std::vector<std::pair<int, int>> strips;
  for (int s = 0, first = 1; s < parts && first <= count; ++s) {
    const int last = s == parts - 1 ? count : std::min(count, first + width - 1);
    strips.emplace_back(first, last);
    first = last + 1;
  }
  return strips;
}

// The quadrants' block ranges: [c0, c1] x [r0, r1], top-left, top-right, bottom-right,
// bottom-left (clockwise).
struct Quadrant {
  int c0, c1, r0, r1;
};
std::vector<Quadrant> Quadrants(const Grid& g) {
  const int cm = (g.Cols + 1) / 2;
  const int rm = (g.Rows + 1) / 2;
  return {{1, cm, 1, rm},
          {cm + 1, g.Cols, 1, rm},
          {cm + 1, g.Cols, rm + 1, g.Rows},
          {1, cm, rm + 1, g.Rows}};
}

void Spiral(const Grid& g, bool inwards) {
  std::vector<std::pair<int, int>> order;
  int left = 1, right = g.Cols, top = 1, bottom = g.Rows;
  while (left <= right && top <= bottom) {
    for (int c = left; c <= right; ++c) order.emplace_back(c, top);
    for (int r = top + 1; r <= bottom; ++r) order.emplace_back(right, r);
    if (top < bottom)
      for (int c = right - 1; c >= left; --c) order.emplace_back(c, bottom);
    if (left < right)
      for (int r = bottom - 1; r > top; --r) order.emplace_back(left, r);
    ++left, --right, ++top, --bottom;
  }
  if (!inwards) std::reverse(order.begin(), order.end());
  for (const auto& [c, r] : order) g.Block(c, r);
}

void RunPattern(int pattern, const Grid& g) {
  const int cols = g.Cols;
  const int rows = g.Rows;
  switch (pattern) {
    case 1:
    case 2:
      for (int i = 1; i <= cols; ++i) g.ColumnBlocks(pattern == 1 ? i : cols + 1 - i, true);
      return;
    case 3:
    case 4:
      for (int i = 1; i <= rows; ++i) g.RowBlocks(pattern == 3 ? i : rows + 1 - i, true);
      return;
    case 5:
      Converge(
          cols, [&](int c) { g.Column(c); }, [&](int c) { g.ColumnBlocks(c, true); });
      return;
    case 6:
      Spread(cols, [&](int c) { g.Column(c); });
      return;
    case 7:
      Converge(
          rows, [&](int r) { g.Row(r); }, [&](int r) { g.RowBlocks(r, true); });
      return;
    case 8:
      Spread(rows, [&](int r) { g.Row(r); });
      return;
    case 9:
      for (int k = 1; k <= cols; ++k)
        for (int r = 1; r <= rows; ++r) g.Block(r % 2 ? k : cols + 1 - k, r);
      return;
    case 10:
      for (int k = 1; k <= rows; ++k)
        for (int c = 1; c <= cols; ++c) g.Block(c, c % 2 ? k : rows + 1 - k);
      return;
    case 11:
    case 13:
      for (int c = 1; c <= cols; ++c)
        for (int r = 1; r <= rows; r += 2) g.Block(c, r);
      for (int c = 1; c <= cols; ++c)
        for (int r = 2; r <= rows; r += 2) g.Block(pattern == 11 ? c : cols + 1 - c, r);
      return;
    case 12:
    case 14:
      for (int r = 1; r <= rows; ++r)
        for (int c = 1; c <= cols; c += 2) g.Block(c, r);
      for (int r = 1; r <= rows; ++r)
        for (int c = 2; c <= cols; c += 2) g.Block(c, pattern == 12 ? r : rows + 1 - r);
      return;
    case 15:
      for (int p = 0; p < g.B; ++p)
        for (int y = p; y < g.H; y += g.B) g.HorizontalLine(y);
      return;
    case 16:
      for (int p = 0; p < g.B; ++p)
        for (int x = p; x < g.W; x += g.B) g.VerticalLine(x);
      return;
    case 17:
      Grid17(g);
      return;
    case 18:
    case 19:
    case 20:
    case 21:
    case 22:
    case 23:
    case 24:
    case 25:
    case 26:
      for (int i = 0; i < g.Diagonals(); ++i) {
        const bool topLeft = pattern == 18 || pattern == 22 || pattern == 24 || pattern == 25;
        const bool bottomLeft = pattern == 19 || pattern == 23 || pattern == 24 || pattern == 26;
        const bool topRight = pattern == 20 || pattern == 23 || pattern == 24 || pattern == 25;
        const bool bottomRight = pattern == 21 || pattern == 22 || pattern == 24 || pattern == 26;
        if (topLeft) g.DiagonalTopLeft(i);
        if (bottomRight) g.DiagonalBottomRight(i);
        if (topRight) g.DiagonalTopRight(i);
        if (bottomLeft) g.DiagonalBottomLeft(i);
      }
      return;
    case 27:
    case 29: {
      const auto strips = Strips(cols, pattern == 27 ? 4 : 2);
      for (int k = 1; k <= rows; ++k)
        for (size_t s = 0; s < strips.size(); ++s)
          for (int c = strips[s].first; c <= strips[s].second; ++c)
            g.Block(c, s % 2 == 0 ? k : rows + 1 - k);
      return;
    }
    case 28:
    case 30: {
      const auto strips = Strips(rows, pattern == 28 ? 4 : 2);
      for (int k = 1; k <= cols; ++k)
        for (size_t s = 0; s < strips.size(); ++s)
          for (int r = strips[s].first; r <= strips[s].second; ++r)
            g.Block(s % 2 == 0 ? k : cols + 1 - k, r);
      return;
    }
    case 31:  // the quadrants one after another, clockwise, each row by row
      for (const Quadrant& q : Quadrants(g))
        for (int r = q.r0; r <= q.r1; ++r)
          for (int c = q.c0; c <= q.c1; ++c) g.Block(c, r);
      return;
    case 32:    // the four quadrants at once, each from the centre outwards
    case 33: {  // the four quadrants at once, each from its outer corner inwards
      const auto quadrants = Quadrants(g);
      const int halfRows = (rows + 1) / 2;
      for (int k = 0; k < halfRows; ++k)
        for (size_t i = 0; i < quadrants.size(); ++i) {
          const Quadrant& q = quadrants[i];
          const bool top = i < 2;
          const bool fromCentre = pattern == 32;
          const int r = (top == fromCentre) ? q.r1 - k : q.r0 + k;
          if (r < q.r0 || r > q.r1) continue;
          for (int c = q.c0; c <= q.c1; ++c) g.Block(c, r);
        }
      return;
    }
    case 34:  // quadrant by quadrant, counter-clockwise, each column by column
      for (int i : {0, 3, 2, 1}) {
        const Quadrant q = Quadrants(g)[i];
        for (int c = q.c0; c <= q.c1; ++c)
          for (int r = q.r0; r <= q.r1; ++r) g.Block(c, r);
      }
      return;
    case 35: {
      std::vector<int> order(static_cast<size_t>(cols) * rows);
      std::iota(order.begin(), order.end(), 0);
      std::shuffle(order.begin(), order.end(), *QRandomGenerator::global());
      for (int index : order) g.Block(index % cols + 1, index / cols + 1);
      return;
    }
    case 36:
      for (int colour : {0, 1})
        for (int r = 1; r <= rows; ++r)
          for (int c = 1; c <= cols; ++c)
            if ((c + r) % 2 == colour) g.Block(c, r);
      return;
    case 41:  // the checkerboard the other way: the other colour first, column by column
      for (int colour : {1, 0})
        for (int c = 1; c <= cols; ++c)
          for (int r = 1; r <= rows; ++r)
            if ((c + r) % 2 == colour) g.Block(c, r);
      return;
    case 37:  // block columns alternately from the left and from the right edge
      Converge(
          cols, [&](int c) { g.ColumnBlocks(c, true); }, [&](int c) { g.ColumnBlocks(c, false); });
      return;
    case 38:  // block rows alternately from the top and from the bottom edge
      Converge(
          rows, [&](int r) { g.RowBlocks(r, true); }, [&](int r) { g.RowBlocks(r, false); });
      return;
    case 39:
    case 40:
      Spiral(g, pattern == 39);
      return;
    default:
      return;
  }
}

}  // namespace

void ForEachTransitionPiece(int pattern, const QSize& size, int block,
                            const std::function<void(const QRect&)>& piece) {
  if (size.width() <= 0 || size.height() <= 0) return;
  if (pattern <= 0 || pattern >= kBlockTransitionPatterns) {
    piece(QRect(QPoint(0, 0), size));
    return;
  }
  if (block < 1) return;
  RunPattern(pattern, Grid(size, block, piece));
}

void BlockTransition(int pattern, const platform::Canvas& source, platform::Canvas& dest,
                     const QRect& sourceRect, const QPoint& destPoint, int block) {
  if (pattern == 0) {
    dest.CopyRect(dest.ClipRect(), source, source.ClipRect());
    return;
  }
  const QPoint origin = sourceRect.topLeft();
  ForEachTransitionPiece(pattern, sourceRect.size(), block, [&](const QRect& piece) {
    dest.CopyRect(piece.translated(destPoint), source, piece.translated(origin));
  });
}

void ShowBlockTransition(int pattern, const platform::Canvas& source, platform::Canvas& dest,
                         const QRect& sourceRect, const QPoint& destPoint, int block,
                         const TransitionPacing& pacing) {
  auto present = [&] {
    if (pacing.Present) pacing.Present();
  };
  if (pattern == 0) {
    BlockTransition(pattern, source, dest, sourceRect, destPoint, block);
    present();
    return;
  }
  std::vector<QRect> pieces;
  ForEachTransitionPiece(pattern, sourceRect.size(), block,
                         [&pieces](const QRect& piece) { pieces.push_back(piece); });
  const platform::Clock& clock = pacing.Clock ? *pacing.Clock : platform::DefaultClock();
  const int64_t pieceMicros = std::max(1, pacing.PieceMicros);
  const uint32_t startMs = clock.NowMs();
  const QPoint origin = sourceRect.topLeft();
  size_t drawn = 0;
  while (drawn < pieces.size()) {
    // The pieces whose time has come, and at least one so that every frame moves on.
    const int64_t elapsedMs = int64_t(uint32_t(clock.NowMs() - startMs));
    size_t due = size_t(std::min<int64_t>(int64_t(pieces.size()), elapsedMs * 1000 / pieceMicros));
    due = std::max(due, drawn + 1);
    for (; drawn < due; ++drawn)
      dest.CopyRect(pieces[drawn].translated(destPoint), source,
                    pieces[drawn].translated(origin));
    present();
    if (drawn >= pieces.size()) break;
    // A frame's worth of pieces falls due while the thread sleeps.
    const int waitMs = std::max(1, pacing.FrameMs);
    if (pacing.Sleep)
      pacing.Sleep(waitMs);
    else
      QThread::msleep(waitMs);
  }
}
