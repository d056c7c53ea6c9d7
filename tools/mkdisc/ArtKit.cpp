#include "tools/mkdisc/ArtKit.h"

#include <QFontDatabase>
#include <QLinearGradient>
#include <QPainterPath>
#include <cmath>

namespace art {
namespace {

// The family of the drawing face, registered on first use.
const QString& Family() {
  static const QString family = [] {
    QString name;
    for (const char* file : {"/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf",
                             "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf"}) {
      const int id = QFontDatabase::addApplicationFont(QString::fromLatin1(file));
      const QStringList families =
          id >= 0 ? QFontDatabase::applicationFontFamilies(id) : QStringList();
      if (name.isEmpty() && !families.isEmpty()) name = families.first();
    }
    return name.isEmpty() ? QStringLiteral("Sans Serif") : name;
  }();
  return family;
}

}  // namespace

void LoadFonts() {
  Family();
}

QFont Face(double pixelHeight, bool bold) {
  QFont f(Family());
  f.setPixelSize(std::max(1, int(std::lround(pixelHeight))));
  f.setBold(bold);
  f.setHintingPreference(QFont::PreferFullHinting);
  return f;
}

int Scaled(double designValue, double scale) {
  return int(std::nearbyint(designValue * scale));
}

QImage NewCanvas(int width, int height) {
  QImage img(width, height, QImage::Format_ARGB32_Premultiplied);
  img.fill(Qt::transparent);
  return img;
}

QImage ToKeyed(const QImage& argb) {
  const QImage src = argb.convertToFormat(QImage::Format_ARGB32);
  QImage out(src.size(), QImage::Format_RGB32);
  for (int y = 0; y < src.height(); ++y) {
    const auto* in = reinterpret_cast<const QRgb*>(src.constScanLine(y));
    auto* dst = reinterpret_cast<QRgb*>(out.scanLine(y));
    for (int x = 0; x < src.width(); ++x) {
      const QRgb c = in[x];
      const int a = qAlpha(c);
      if (a < 128) {
        dst[x] = kKey;
      } else {
        // Edge pixels are blended onto a dark rim colour, never onto the key.
        const int r = (qRed(c) * a + 16 * (255 - a)) / 255;
        const int g = (qGreen(c) * a + 20 * (255 - a)) / 255;
        const int b = (qBlue(c) * a + 32 * (255 - a)) / 255;
        QRgb v = qRgb(r, g, b);
        if (v == kKey) v = qRgb(254, 0, 254);
        dst[x] = v;
      }
    }
  }
  return out;
}

void FillGradient(QPainter& p, const QRectF& r, const QColor& top, const QColor& bottom,
                  double radius) {
  QLinearGradient g(r.topLeft(), r.bottomLeft());
  g.setColorAt(0, top);
  g.setColorAt(1, bottom);
  p.save();
  p.setPen(Qt::NoPen);
  p.setBrush(g);
  if (radius > 0)
    p.drawRoundedRect(r, radius, radius);
  else
    p.drawRect(r);
  p.restore();
}

void Bevel(QPainter& p, const QRectF& r, bool sunken, double width, double radius) {
  const QColor light(190, 210, 235, 200), dark(0, 0, 10, 220);
  p.save();
  p.setBrush(Qt::NoBrush);
  const double h = width / 2;
  QPainterPath outer;
  outer.addRoundedRect(r.adjusted(h, h, -h, -h), radius, radius);
  // Light from the top left: the top-left edge is light when raised, dark when sunken.
  QLinearGradient g(r.topLeft(), r.bottomRight());
  g.setColorAt(0, sunken ? dark : light);
  g.setColorAt(0.5, QColor(70, 90, 120, 200));
  g.setColorAt(1, sunken ? light : dark);
  p.setPen(QPen(QBrush(g), width));
  p.drawPath(outer);
  p.restore();
}

void ShadowText(QPainter& p, const QRectF& r, const QString& text, const QColor& colour, int flags,
                const QColor& shadow) {
  p.save();
  p.setPen(shadow);
  p.drawText(r.translated(1, 1), flags, text);
  p.setPen(colour);
  p.drawText(r, flags, text);
  p.restore();
}

}  // namespace art
