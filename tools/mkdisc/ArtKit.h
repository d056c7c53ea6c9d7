#pragma once

// Painting helpers shared by the disc's drawn art: fonts, bevelled panels, and the colour-key
// transparency the skin pictures use (the bottom-left pixel's colour marks see-through pixels).

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QRectF>
#include <QString>

namespace art {

// Magenta is never used by the art itself, so it can mark transparent pixels; it is also an
// exact entry of the shared palette.
inline constexpr QRgb kKey = 0xffff00ff;

// Registers the drawing fonts once (a free sans face installed with the system's fonts).
void LoadFonts();

// The drawing face at a pixel height.
QFont Face(double pixelHeight, bool bold = true);

// Rounds design values the way the navigator places controls (halves to even).
int Scaled(double designValue, double scale);

// A transparent ARGB canvas; ToKeyed flattens it onto the key colour with hard edges, so that
// no blended fringe of magenta shows when the picture is drawn transparently.
QImage NewCanvas(int width, int height);
QImage ToKeyed(const QImage& argb);

// Vertical two-colour gradient fill.
void FillGradient(QPainter& p, const QRectF& r, const QColor& top, const QColor& bottom,
                  double radius = 0);

// A recessed (sunken) or raised frame around r, width in design pixels.
void Bevel(QPainter& p, const QRectF& r, bool sunken, double width = 2, double radius = 0);

// Text with a one-pixel shadow, aligned in r.
void ShadowText(QPainter& p, const QRectF& r, const QString& text, const QColor& colour,
                int flags = Qt::AlignCenter, const QColor& shadow = QColor(0, 0, 0));

// Deterministic pseudo-random numbers for textures (fixed seed per use).
class Random {
 public:
  explicit Random(quint32 seed) : state_(seed * 2654435761u + 1u) {}
  quint32 Next() {
    state_ ^= state_ << 13;
    state_ ^= state_ >> 17;
    state_ ^= state_ << 5;
    return state_;
  }
  int Below(int n) { return n <= 0 ? 0 : int(Next() % quint32(n)); }
  double Unit() { return (Next() & 0xffffff) / double(0x1000000); }

 private:
  quint32 state_;
};

}  // namespace art
