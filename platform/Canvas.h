#pragma once

// Drawing onto a true-colour surface the way GDI draws onto a device context: rectangle copies
// with raster operations, nearest-neighbour stretching, fills, outlined shapes and text in a
// named face at a pixel height. The surface is a Bitmap or a window's back buffer (a QImage
// of Format_RGB32); an 8-bit source picture is drawn through its own palette.
//
// Rectangles are QRect (left, top, width, height). A Canvas holds a painter open on its surface
// between calls; it closes it on its own when the surface is read (Image(), Pixel(), being the
// source of a copy) and in its destructor, so callers never see a half-drawn surface.

#include <QBrush>
#include <QColor>
#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QPen>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <memory>
#include <optional>

#include "platform/Bitmap.h"

namespace platform {

// The raster operations the programs use, with their GDI names.
enum class RasterOp {
  Copy,            // SRCCOPY: destination = source
  And,             // SRCAND: destination &= source
  Or,              // SRCPAINT: destination |= source
  Xor,             // SRCINVERT: destination ^= source
  InvertDest,      // DSTINVERT: destination = ~destination (the source is not read)
  InvertedSource,  // NOTSRCCOPY: destination = ~source
};

// Background mode of text output.
enum class TextBackground { Clear, Opaque };

// A font as the programs ask for one: a face name, a height in pixels (negative: the height of
// the characters, i.e. the em size; positive: the height of the character cell, ascent plus
// descent), bold or not, and a colour.
struct FontSpec {
  QString Face = QStringLiteral("DejaVu Sans");
  int Height = -12;
  bool Bold = false;
  QColor Colour = Qt::black;
};

// The QFont that FontSpec stands for, text not antialiased (as text was on the programs'
// displays, and so that text drawn into masks stays two-coloured).
QFont MakeFont(const FontSpec& spec);

// Width and height of text in a font: the advance width and the cell height (ascent plus
// descent), as GDI's text extent reports them.
QSize MeasureText(const FontSpec& spec, const QString& text);

class Canvas {
 public:
  // Draws on image, which must outlive the Canvas. An image of another format is converted to
  // RGB32 first (an 8-bit picture that is drawn on becomes true colour).
  explicit Canvas(QImage& image);
  // Draws on bitmap's pixels (converted to RGB32 first when they are indexed).
  explicit Canvas(Bitmap& bitmap);
  ~Canvas();
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;

  int Width() const { return image_->width(); }
  int Height() const { return image_->height(); }
  // The surface, with every pending drawing finished.
  const QImage& Image() const;
  // Colour of a pixel (0xAARRGGBB, alpha 0xFF); 0 outside the surface.
  QRgb Pixel(int x, int y) const;
  // The rectangle drawing is limited to: the whole surface unless SetClipRect narrowed it.
  QRect ClipRect() const;
  // Limits every later drawing to rect (an empty rect restores the whole surface).
  void SetClipRect(const QRect& rect);

  // The raster operation of CopyRect (the "copy mode" of the canvas); Copy by default.
  RasterOp CopyMode() const { return copyMode_; }
  void SetCopyMode(RasterOp op) { copyMode_ = op; }

  // Copies sourceRect of source onto destRect with CopyMode, stretched (nearest neighbour)
  // when the sizes differ. Source and destination may be the same canvas.
  void CopyRect(const QRect& destRect, const Canvas& source, const QRect& sourceRect);
  void CopyRect(const QRect& destRect, const Bitmap& source, const QRect& sourceRect);
  void CopyRect(const QRect& destRect, const QImage& source, const QRect& sourceRect);

  // Copies a width x height block of source at sourcePos to destPos with op (no stretching).
  void BitBlt(const QPoint& destPos, const QSize& size, const Canvas& source,
              const QPoint& sourcePos, RasterOp op = RasterOp::Copy);
  void BitBlt(const QPoint& destPos, const QSize& size, const Bitmap& source,
              const QPoint& sourcePos, RasterOp op = RasterOp::Copy);
  void BitBlt(const QPoint& destPos, const QSize& size, const QImage& source,
              const QPoint& sourcePos, RasterOp op = RasterOp::Copy);
  // Inverts the destination rectangle (DSTINVERT; needs no source).
  void InvertRect(const QRect& rect);

  // Copies a whole picture to (x, y); an 8-bit picture goes through its palette.
  void Draw(int x, int y, const Bitmap& picture);
  void Draw(int x, int y, const QImage& picture);
  // Draws a picture leaving out every pixel of the colour transparentColour (compared on RGB).
  void DrawTransparent(int x, int y, const Bitmap& picture, QRgb transparentColour);
  void DrawTransparent(int x, int y, const QImage& picture, QRgb transparentColour);

  // Fills rect with a colour.
  void Fill(const QRect& rect, const QColor& colour);

  // Pen (outline; Qt::NoPen for none) and brush (fill; Qt::NoBrush for none) of the shapes.
  void SetPen(const QColor& colour, int widthPx = 1);
  void SetNoPen();
  void SetBrush(const QColor& colour);
  void SetNoBrush();
  // The shape inside rect, right and bottom edges excluded as in GDI, corners rounded by
  // ellipses of cornerWidth x cornerHeight.
  void RoundRect(const QRect& rect, int cornerWidth, int cornerHeight);
  void Ellipse(const QRect& rect);

  // Text. The font (face, height, bold, colour) and background mode of later TextOut calls.
  const FontSpec& Font() const { return font_; }
  void SetFont(const FontSpec& font);
  void SetTextBackground(TextBackground mode, const QColor& colour = Qt::white);
  // Writes text with its cell's top-left corner at (x, y); an opaque background fills the
  // cell first.
  void TextOut(int x, int y, const QString& text);
  // Writes text clipped to rect, its cell's top-left at (x, y).
  void TextRect(const QRect& rect, int x, int y, const QString& text);
  QSize TextExtent(const QString& text) const;
  int TextWidth(const QString& text) const { return TextExtent(text).width(); }
  int TextHeight(const QString& text) const { return TextExtent(text).height(); }

 private:
  QPainter& Painter();
  void End() const;
  void Blit(const QRect& destRect, const QImage& source, const QRect& sourceRect, RasterOp op);
  void DrawTextAt(int x, int y, const QString& text, const QRect* clip);

  QImage* image_;
  mutable std::unique_ptr<QPainter> painter_;
  QRect clip_;
  RasterOp copyMode_ = RasterOp::Copy;
  QPen pen_{Qt::black};
  QBrush brush_{Qt::white};
  FontSpec font_;
  QFont qfont_;
  std::optional<QFontMetrics> metrics_;
  TextBackground textBackground_ = TextBackground::Opaque;
  QColor textBackgroundColour_ = Qt::white;
};

}  // namespace platform
