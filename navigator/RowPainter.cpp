#include "navigator/RowPainter.h"

#include "navigator/Rounding.h"

using platform::Canvas;
using platform::FontSpec;
using platform::RasterOp;

namespace {

const QString kFace = QStringLiteral("vkScr_01");

// A picture of the row's size holding the background under it.
QImage RowPicture(const QRect& rowRect, const RowSkin& skin) {
  QImage row(rowRect.size(), QImage::Format_RGB32);
  row.fill(Qt::black);
  if (skin.Background && !skin.Background->IsEmpty()) {
    Canvas c(row);
    c.BitBlt(QPoint(0, 0), rowRect.size(), *skin.Background, rowRect.topLeft() + skin.ListOffset);
  }
  return row;
}

void FocusFrame(Canvas& c, const QSize& size, int cornerWidth, int cornerHeight) {
  c.SetPen(Qt::red, 1);
  c.SetNoBrush();
  c.RoundRect(QRect(QPoint(0, 0), size), cornerWidth, cornerHeight);
}

// Text written twice: a black shadow one pixel down and right, then the text itself.
void ShadowedText(Canvas& c, FontSpec font, const QColor& colour, int x, int y,
                  const QString& text) {
  font.Colour = Qt::black;
  c.SetFont(font);
  c.TextOut(x + 1, y + 1, text);
  font.Colour = colour;
  c.SetFont(font);
  c.TextOut(x, y, text);
}

}  // namespace

FontSpec ListRowFont(double screenScale) {
  return FontSpec{kFace, RoundHalfEven(-20 / screenScale), true, Qt::black};
}

FontSpec TextLineFont(double screenScale) {
  return FontSpec{kFace, RoundHalfEven(-14 / screenScale), true, Qt::black};
}

void DrawGradientText(Canvas& target, const platform::Bitmap& gradient, int indent,
                      const QString& text, const QRect& rect, const FontSpec& font) {
  const int w = rect.width();
  const int h = rect.height();
  if (w <= 0 || h <= 0) return;
  const QSize extent = platform::MeasureText(font, text);
  const QPoint at(w - extent.width() - indent, (h - extent.height()) / 2);

  // White glyphs on black pick the gradient's pixels out of the texture.
  QImage mask(w, h, QImage::Format_RGB32);
  mask.fill(Qt::black);
  {
    Canvas m(mask);
    m.SetTextBackground(platform::TextBackground::Clear);
    FontSpec white = font;
    white.Colour = Qt::white;
    m.SetFont(white);
    m.TextOut(at.x(), at.y(), text);
  }
  QImage texture(w, h, QImage::Format_RGB32);
  texture.fill(Qt::black);
  {
    Canvas t(texture);
    if (!gradient.IsEmpty()) {
      const QPoint from((gradient.Width() - w) / 2, (gradient.Height() - h) / 2);
      // Only the part of the gradient that exists; a small gradient leaves black around it.
      const QRect src = QRect(from, QSize(w, h)) & QRect(0, 0, gradient.Width(), gradient.Height());
      if (!src.isEmpty()) t.BitBlt(src.topLeft() - from, src.size(), gradient, src.topLeft());
    }
    t.BitBlt(QPoint(0, 0), QSize(w, h), mask, QPoint(0, 0), RasterOp::And);
  }
  // Black glyphs on white keep the target outside the glyphs.
  mask.fill(Qt::white);
  {
    Canvas m(mask);
    m.SetTextBackground(platform::TextBackground::Clear);
    FontSpec black = font;
    black.Colour = Qt::black;
    m.SetFont(black);
    m.TextOut(at.x(), at.y(), text);
  }
  target.BitBlt(rect.topLeft(), rect.size(), mask, QPoint(0, 0), RasterOp::And);
  target.BitBlt(rect.topLeft(), rect.size(), texture, QPoint(0, 0), RasterOp::Or);
}

void PaintListRow(Canvas& list, const QRect& rowRect, int state, const QString& title,
                  const RowSkin& skin) {
  QImage row = RowPicture(rowRect, skin);
  {
    Canvas c(row);
    const QSize size = rowRect.size();
    if (state & kRowFocused)
      FocusFrame(c, size, RoundHalfEven(15 * skin.LayoutScale), RoundHalfEven(55 * skin.LayoutScale));
    if ((state & kRowSelected) && skin.Indicator && !skin.Indicator->IsEmpty()) {
      const int half = skin.Indicator->Width() / 2;
      const int ih = skin.Indicator->Height();
      const QPoint at(skin.RowIndent, (size.height() - ih) / 2);
      c.BitBlt(at, QSize(half, ih), *skin.Indicator, QPoint(half, 0), RasterOp::And);
      c.BitBlt(at, QSize(half, ih), *skin.Indicator, QPoint(0, 0), RasterOp::Or);
    }
    const FontSpec font = ListRowFont(skin.ScreenScale);
    c.SetTextBackground(platform::TextBackground::Clear);
    const QSize extent = platform::MeasureText(font, title);
    const int x = size.width() - extent.width() - skin.RowIndent;
    const int y = (size.height() - extent.height()) / 2;
    c.SetFont(font);
    c.TextOut(x + 1, y + 1, title);
    if (skin.Gradient)
      DrawGradientText(c, *skin.Gradient, skin.RowIndent, title, QRect(QPoint(0, 0), size), font);
  }
  list.BitBlt(rowRect.topLeft(), rowRect.size(), row, QPoint(0, 0));
}

void PaintTextRow(Canvas& list, const QRect& rowRect, int state, const QString& line,
                  const TextLineLayout& layout, const RowSkin& skin) {
  QImage row = RowPicture(rowRect, skin);
  {
    Canvas c(row);
    const QSize size = rowRect.size();
    if (state & kRowFocused) {
      const int corner = RoundHalfEven(15 * skin.LayoutScale);
      FocusFrame(c, size, corner, corner);
    }
    const FontSpec font = TextLineFont(skin.ScreenScale);
    c.SetTextBackground(platform::TextBackground::Clear);
    c.SetFont(font);
    QString text = line;
    if (text.endsWith(QLatin1Char(' '))) text.chop(1);
    const int tw = c.TextWidth(text);
    const int y = (size.height() - c.TextHeight(text)) / 2;
    const int indent = skin.RowIndent;
    auto write = [&](int x, const QString& piece) { ShadowedText(c, font, Qt::white, x, y, piece); };

    if (layout.Justified && !layout.EndsParagraph && layout.Gaps != 0 &&
        size.width() > tw + 3 * indent) {
      const int extra = size.width() - tw - 3 * indent;
      const int step = std::max(1, (extra + layout.Gaps - 1) / layout.Gaps);
      int x = indent;
      int used = 0;
      // Cuts the next word with its blank from the front of the text (empty when no blank
      // is left; the rest then stays in the text).
      auto nextWord = [&text](bool withLeadingBlanks) {
        qsizetype at = 0;
        if (withLeadingBlanks)
          while (at < text.size() && text[at] == QLatin1Char(' ')) ++at;
        const qsizetype blank = text.indexOf(QLatin1Char(' '), at);
        if (blank < 0) return QString();
        QString word = text.left(blank + 1);
        text.remove(0, blank + 1);
        return word;
      };
      QString word = nextWord(true);
      while (used <= extra && !word.isEmpty()) {
        write(x, word);
        used += step;
        x += c.TextWidth(word) + step;
        word = nextWord(false);
      }
      if (!text.isEmpty() || !word.isEmpty()) {
        if (used > extra) {
          x -= used - extra;
          text = word + text;
        }
        write(x, text);
      }
    } else {
      write(indent, text);
    }
  }
  list.BitBlt(rowRect.topLeft(), rowRect.size(), row, QPoint(0, 0));
}
