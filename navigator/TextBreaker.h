#pragma once

// The line breaker of the description and the title: it wraps text as a multi-line text box
// of a given width and font does. A line breaks at blanks (the blanks stay at the end of the
// broken line, so the next line starts right after them) and at CR LF (which belongs to no
// line); a word wider than the line is broken inside the word.

#include <QString>
#include <QStringList>
#include <functional>

#include "navigator/ViewState.h"
#include "platform/Canvas.h"

// Width of a text in pixels.
using TextWidthFn = std::function<int(const QString&)>;
TextWidthFn WidthInFont(const platform::FontSpec& font);

// The wrapped lines of text in a box of width pixels; at most maxLines lines (the rest of the
// text is cut off).
QStringList BreakLines(const QString& text, int width, const TextWidthFn& measure,
                       int maxLines = WrappedText::kMaxLines);

// The description's lines with LineEndsParagraph and LineGaps: a line that ends a paragraph
// (and always the last line) gets no gaps; any other line counts the blanks left after one
// trailing blank and the leading blanks are removed.
WrappedText FormatDescription(const QString& description, int width, const TextWidthFn& measure);
