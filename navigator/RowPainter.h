#pragma once

// Drawing of one row of the demo list and of one line of the description, each composed in a
// row picture over the background that lies under it and then copied to the list in one piece.

#include <QPoint>
#include <QRect>
#include <QString>

#include "platform/Bitmap.h"
#include "platform/Canvas.h"

// What a row is drawn from.
struct RowSkin {
  const platform::Bitmap* Background = nullptr;  // the design background
  const platform::Bitmap* Gradient = nullptr;    // fills the list titles
  const platform::Bitmap* Indicator = nullptr;   // left half image, right half mask
  QPoint ListOffset;                             // the list's place on the background
  int RowIndent = 8;
  double LayoutScale = 1.0;
  double ScreenScale = 1.0;
};

// Owner-draw state bits of a row.
constexpr int kRowSelected = 0x01;
constexpr int kRowFocused = 0x10;

platform::FontSpec ListRowFont(double screenScale);   // titles: bold, 20 pixels at scale 1
platform::FontSpec TextLineFont(double screenScale);  // description and title: bold, 14

// Writes text right-aligned in rect (indent pixels from its right edge, centred vertically)
// filled with the middle of gradient: the gradient shows only inside the glyphs, the target
// everywhere else.
void DrawGradientText(platform::Canvas& target, const platform::Bitmap& gradient, int indent,
                      const QString& text, const QRect& rect, const platform::FontSpec& font);

// A list row: background, red rounded focus frame, selection indicator, the title
// right-aligned with a black shadow and the gradient fill.
void PaintListRow(platform::Canvas& list, const QRect& rowRect, int state, const QString& title,
                  const RowSkin& skin);

// How a description line is laid out.
struct TextLineLayout {
  bool Justified = true;      // the alignment button shows justified text
  bool EndsParagraph = true;  // the last line of its paragraph: never stretched
  int Gaps = 0;               // blank-separated gaps
};

// A description line: background, focus frame, the line in white with a black shadow, from
// RowIndent, stretched to end at row width - 2 x RowIndent when justified.
void PaintTextRow(platform::Canvas& list, const QRect& rowRect, int state, const QString& line,
                  const TextLineLayout& layout, const RowSkin& skin);
