#pragma once

// Piece-by-piece copies of a rectangle from one canvas to another, in one of 42 patterns
// (0..41), so that a new picture builds up on screen. Nothing waits between pieces: the
// effect comes from the time the pieces take, and the call returns when the whole rectangle
// has been copied. The windows use pattern 17 (a grid of lines that closes up).
//
// Within a call, W and H are the source rectangle's width and height, Block the block size,
// Cols = ceil(W / Block), Rows = ceil(H / Block); block (c, r) with c in 1..Cols, r in 1..Rows
// spans x from (c - 1) * Block to min(c * Block, W), y likewise with H. A Block below 1 copies
// nothing (pattern 0 excepted, which works on whole canvases); so does an empty rectangle. A
// Block above both W and H counts as max(W, H): the same single block.

#include <QPoint>
#include <QRect>
#include <QSize>
#include <functional>

#include "platform/Canvas.h"

inline constexpr int kBlockTransitionPatterns = 42;

// Copies sourceRect of source to dest at destPoint in the given pattern, every piece a plain
// rectangle copy with dest's copy mode. Pattern 0 copies source's whole clipping rectangle
// onto dest's (rectangle and point ignored); a number outside 0..41 copies the rectangle in
// one piece.
void BlockTransition(int pattern, const platform::Canvas& source, platform::Canvas& dest,
                     const QRect& sourceRect, const QPoint& destPoint, int block);

// The pieces of a pattern for a rectangle of the given size, in drawing order, relative to the
// rectangle's top-left corner. Pattern 0 and unknown patterns give the whole rectangle.
void ForEachTransitionPiece(int pattern, const QSize& size, int block,
                            const std::function<void(const QRect&)>& piece);

namespace platform {
class Clock;
}

// How a transition reaches the screen while it runs: the pieces are drawn at a steady pace
// (PieceMicros each, on Clock) and the destination is put on screen every FrameMs, the
// thread sleeping in between instead of spinning.
struct TransitionPacing {
  platform::Clock* Clock = nullptr;      // the default clock when null
  std::function<void()> Present;         // shows what has been drawn so far, now
  std::function<void(int ms)> Sleep;     // waits off the CPU; a thread sleep when empty
  int PieceMicros = 250;
  int FrameMs = 15;
};

// BlockTransition, seen: the same pieces in the same order, with the partial result put on
// screen between them. Returns when the whole rectangle has been copied and shown.
void ShowBlockTransition(int pattern, const platform::Canvas& source, platform::Canvas& dest,
                         const QRect& sourceRect, const QPoint& destPoint, int block,
                         const TransitionPacing& pacing);
