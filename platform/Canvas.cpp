#include "platform/Canvas.h"

#include <algorithm>
#include <cmath>

namespace platform {

namespace {

QPainter::CompositionMode ModeOf(RasterOp op) {
  switch (op) {
    case RasterOp::Copy:
      return QPainter::CompositionMode_Source;
    case RasterOp::And:
      return QPainter::RasterOp_SourceAndDestination;
    case RasterOp::Or:
      return QPainter::RasterOp_SourceOrDestination;
    case RasterOp::Xor:
      return QPainter::RasterOp_SourceXorDestination;
    case RasterOp::InvertDest:
      return QPainter::RasterOp_NotDestination;
    case RasterOp::InvertedSource:
      return QPainter::RasterOp_NotSource;
  }
  return QPainter::CompositionMode_Source;
}

// A source in the one format the raster operations are exact on. Shares the pixels when
// they already are RGB32.
QImage AsRgb32(const QImage& image) {
  if (image.format() == QImage::Format_RGB32) return image;
  return image.convertToFormat(QImage::Format_RGB32);
}

QImage AsRgb32(const Bitmap& bitmap) {
  return AsRgb32(bitmap.Image());
}

constexpr int kDefaultPixelSize = 12;

}  // namespace

QFont MakeFont(const FontSpec& spec) {
  QFont font(spec.Face);
  font.setStyleStrategy(QFont::NoAntialias);
  font.setBold(spec.Bold);
  if (spec.Height < 0) {
    font.setPixelSize(-spec.Height);
  } else if (spec.Height == 0) {
    font.setPixelSize(kDefaultPixelSize);
  } else {
    // A cell height: find the em size whose ascent plus descent comes closest to it.
    font.setPixelSize(spec.Height);
    const int cell = QFontMetrics(font).height();
    if (cell > 0 && cell != spec.Height) {
      const int pixelSize =
          std::max(1, static_cast<int>(std::lround(double(spec.Height) * spec.Height / cell)));
      font.setPixelSize(pixelSize);
      if (QFontMetrics(font).height() > spec.Height && pixelSize > 1)
        font.setPixelSize(pixelSize - 1);
    }
  }
  return font;
}

QSize MeasureText(const FontSpec& spec, const QString& text) {
  const QFontMetrics metrics(MakeFont(spec));
  return QSize(metrics.horizontalAdvance(text), metrics.height());
}

Canvas::Canvas(QImage& image) : image_(&image) {
  if (image_->format() != QImage::Format_RGB32)
    *image_ = image_->convertToFormat(QImage::Format_RGB32);
  SetFont(font_);
}

Canvas::Canvas(Bitmap& bitmap) : image_(&bitmap.Image()) {
  if (image_->format() != QImage::Format_RGB32) *image_ = AsRgb32(bitmap);
  SetFont(font_);
}

Canvas::~Canvas() {
  End();
}

QPainter& Canvas::Painter() {
  if (!painter_) {
    painter_ = std::make_unique<QPainter>(image_);
    if (clip_.isValid()) painter_->setClipRect(clip_);
  }
  return *painter_;
}

void Canvas::End() const {
  painter_.reset();
}

const QImage& Canvas::Image() const {
  End();
  return *image_;
}

QRgb Canvas::Pixel(int x, int y) const {
  End();
  if (!image_->valid(x, y)) return 0;
  return image_->pixel(x, y) | 0xFF000000u;
}

QRect Canvas::ClipRect() const {
  const QRect whole = image_->rect();
  return clip_.isValid() ? (clip_ & whole) : whole;
}

void Canvas::SetClipRect(const QRect& rect) {
  clip_ = rect.isEmpty() ? QRect() : rect;
  if (painter_) {
    if (clip_.isValid())
      painter_->setClipRect(clip_);
    else
      painter_->setClipping(false);
  }
}

void Canvas::Blit(const QRect& destRect, const QImage& source, const QRect& sourceRect,
                  RasterOp op) {
  if (destRect.isEmpty()) return;
  QPainter& p = Painter();
  p.setCompositionMode(ModeOf(op));
  if (op == RasterOp::InvertDest) {
    p.fillRect(destRect, Qt::black);
  } else if (!sourceRect.isEmpty()) {
    p.drawImage(destRect, source, sourceRect);
  }
  p.setCompositionMode(QPainter::CompositionMode_SourceOver);
}

void Canvas::CopyRect(const QRect& destRect, const Canvas& source, const QRect& sourceRect) {
  if (&source == this || source.image_ == image_) {
    // Reading the surface being drawn on: take the piece out first.
    const QRect inside = sourceRect & image_->rect();
    if (inside.isEmpty()) return;
    End();
    const QImage piece = image_->copy(sourceRect);
    Blit(destRect, piece, piece.rect(), copyMode_);
    return;
  }
  source.End();
  Blit(destRect, *source.image_, sourceRect, copyMode_);
}

void Canvas::CopyRect(const QRect& destRect, const Bitmap& source, const QRect& sourceRect) {
  if (source.IsEmpty()) return;
  Blit(destRect, AsRgb32(source), sourceRect, copyMode_);
}

void Canvas::CopyRect(const QRect& destRect, const QImage& source, const QRect& sourceRect) {
  if (source.isNull()) return;
  Blit(destRect, AsRgb32(source), sourceRect, copyMode_);
}

void Canvas::BitBlt(const QPoint& destPos, const QSize& size, const Canvas& source,
                    const QPoint& sourcePos, RasterOp op) {
  const RasterOp saved = copyMode_;
  copyMode_ = op;
  CopyRect(QRect(destPos, size), source, QRect(sourcePos, size));
  copyMode_ = saved;
}

void Canvas::BitBlt(const QPoint& destPos, const QSize& size, const Bitmap& source,
                    const QPoint& sourcePos, RasterOp op) {
  if (source.IsEmpty()) return;
  Blit(QRect(destPos, size), AsRgb32(source), QRect(sourcePos, size), op);
}

void Canvas::BitBlt(const QPoint& destPos, const QSize& size, const QImage& source,
                    const QPoint& sourcePos, RasterOp op) {
  if (source.isNull()) return;
  Blit(QRect(destPos, size), AsRgb32(source), QRect(sourcePos, size), op);
}

void Canvas::InvertRect(const QRect& rect) {
  Blit(rect, QImage(), QRect(), RasterOp::InvertDest);
}

void Canvas::Draw(int x, int y, const Bitmap& picture) {
  if (picture.IsEmpty()) return;
  const QImage rgb = AsRgb32(picture);
  Blit(QRect(QPoint(x, y), rgb.size()), rgb, rgb.rect(), RasterOp::Copy);
}

void Canvas::Draw(int x, int y, const QImage& picture) {
  if (picture.isNull()) return;
  const QImage rgb = AsRgb32(picture);
  Blit(QRect(QPoint(x, y), rgb.size()), rgb, rgb.rect(), RasterOp::Copy);
}

void Canvas::DrawTransparent(int x, int y, const Bitmap& picture, QRgb transparentColour) {
  if (picture.IsEmpty()) return;
  DrawTransparent(x, y, AsRgb32(picture), transparentColour);
}

void Canvas::DrawTransparent(int x, int y, const QImage& picture, QRgb transparentColour) {
  if (picture.isNull()) return;
  const QImage src = AsRgb32(picture);
  const QRect area = QRect(QPoint(x, y), src.size()) & ClipRect();
  if (area.isEmpty()) return;
  End();  // direct pixel access below
  const QRgb key = transparentColour & 0xFFFFFFu;
  for (int row = area.top(); row <= area.bottom(); ++row) {
    const auto* in = reinterpret_cast<const QRgb*>(src.constScanLine(row - y));
    auto* out = reinterpret_cast<QRgb*>(image_->scanLine(row));
    for (int col = area.left(); col <= area.right(); ++col) {
      const QRgb pixel = in[col - x];
      if ((pixel & 0xFFFFFFu) != key) out[col] = pixel | 0xFF000000u;
    }
  }
}

void Canvas::Fill(const QRect& rect, const QColor& colour) {
  if (rect.isEmpty()) return;
  QPainter& p = Painter();
  p.setCompositionMode(QPainter::CompositionMode_Source);
  p.fillRect(rect, colour);
  p.setCompositionMode(QPainter::CompositionMode_SourceOver);
}

void Canvas::SetPen(const QColor& colour, int widthPx) {
  pen_ = QPen(colour, std::max(1, widthPx));
  pen_.setJoinStyle(Qt::MiterJoin);
}
void Canvas::SetNoPen() {
  pen_ = QPen(Qt::NoPen);
}
void Canvas::SetBrush(const QColor& colour) {
  brush_ = QBrush(colour);
}
void Canvas::SetNoBrush() {
  brush_ = QBrush(Qt::NoBrush);
}

void Canvas::RoundRect(const QRect& rect, int cornerWidth, int cornerHeight) {
  if (rect.isEmpty()) return;
  QPainter& p = Painter();
  p.setPen(pen_);
  p.setBrush(brush_);
  // With a pen Qt strokes one pixel beyond the rectangle's right and bottom edges.
  const QRect shape = pen_.style() == Qt::NoPen ? rect : rect.adjusted(0, 0, -1, -1);
  p.drawRoundedRect(shape, cornerWidth / 2.0, cornerHeight / 2.0, Qt::AbsoluteSize);
}

void Canvas::Ellipse(const QRect& rect) {
  if (rect.isEmpty()) return;
  QPainter& p = Painter();
  p.setPen(pen_);
  p.setBrush(brush_);
  const QRect shape = pen_.style() == Qt::NoPen ? rect : rect.adjusted(0, 0, -1, -1);
  p.drawEllipse(shape);
}

void Canvas::SetFont(const FontSpec& font) {
  font_ = font;
  qfont_ = MakeFont(font);
  metrics_.emplace(qfont_);
}

void Canvas::SetTextBackground(TextBackground mode, const QColor& colour) {
  textBackground_ = mode;
  textBackgroundColour_ = colour;
}

QSize Canvas::TextExtent(const QString& text) const {
  return QSize(metrics_->horizontalAdvance(text), metrics_->height());
}

void Canvas::DrawTextAt(int x, int y, const QString& text, const QRect* clip) {
  if (text.isEmpty()) return;
  QPainter& p = Painter();
  p.save();
  if (clip) p.setClipRect(*clip, clip_.isValid() ? Qt::IntersectClip : Qt::ReplaceClip);
  if (textBackground_ == TextBackground::Opaque)
    p.fillRect(QRect(QPoint(x, y), TextExtent(text)), textBackgroundColour_);
  p.setFont(qfont_);
  p.setPen(font_.Colour);
  p.drawText(x, y + metrics_->ascent(), text);
  p.restore();
}

void Canvas::TextOut(int x, int y, const QString& text) {
  DrawTextAt(x, y, text, nullptr);
}

void Canvas::TextRect(const QRect& rect, int x, int y, const QString& text) {
  if (rect.isEmpty()) return;
  DrawTextAt(x, y, text, &rect);
}

}  // namespace platform
