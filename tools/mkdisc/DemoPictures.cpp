// Pictures of the demos (logos and screenshots) and the assembly of their description files.

#include <QLinearGradient>
#include <QPainterPath>
#include <QRadialGradient>
#include <cmath>

#include "tools/discwriter/DemWriter.h"
#include "tools/mkdisc/ArtKit.h"
#include "tools/mkdisc/BmpWriter.h"
#include "tools/mkdisc/Demos.h"
#include "tools/mkdisc/Palette.h"

namespace demos {
namespace {

QColor Hue(int seed, int saturation, int value) {
  return QColor::fromHsv((seed * 47) % 360, saturation, value);
}

// A game-like scene: sky, hills, a few sprites and a status line naming the demo.
QImage Screenshot(const Demo& demo, int index, int number) {
  const int w = demo.ShotWidth, h = demo.ShotHeight;
  QImage img(w, h, QImage::Format_RGB32);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  art::Random rnd(quint32(index * 131 + number * 7 + 1));
  const int seed = index * 5 + number;
  const double sx = w / 320.0, sy = h / 240.0;
  p.scale(sx, sy);

  if (demo.Category == 0) {
    art::FillGradient(p, QRectF(0, 0, 320, 240), Hue(seed, 160, 120), Hue(seed + 3, 200, 240));
    for (int layer = 0; layer < 3; ++layer) {
      QPainterPath hills;
      hills.moveTo(0, 240);
      const double base = 150 + layer * 28;
      for (int x = 0; x <= 320; x += 16)
        hills.lineTo(x, base - 30 * std::sin((x + rnd.Below(40)) / (40.0 + layer * 12) + seed));
      hills.lineTo(320, 240);
      p.setPen(Qt::NoPen);
      p.setBrush(Hue(seed + 5 + layer * 2, 150, 150 - layer * 35));
      p.drawPath(hills);
    }
    for (int i = 0; i < 6; ++i) {
      const QPointF c(20 + rnd.Below(280), 30 + rnd.Below(120));
      p.setBrush(Hue(seed + i * 3, 220, 255));
      p.setPen(QPen(Qt::black, 1));
      if (i % 2 == 0)
        p.drawEllipse(c, 8 + rnd.Below(8), 8 + rnd.Below(8));
      else
        p.drawPolygon(QPolygonF({c + QPointF(0, -10), c + QPointF(9, 8), c + QPointF(-9, 8)}));
    }
  } else {
    // A desktop program: a window with a toolbar and a document.
    p.fillRect(QRectF(0, 0, 320, 240), QColor(0, 128, 128));
    const QRectF win(12, 10, 296, 220);
    p.fillRect(win, QColor(192, 192, 192));
    art::FillGradient(p, QRectF(win.left() + 2, win.top() + 2, win.width() - 4, 16),
                      QColor(0, 0, 128), QColor(16, 132, 208));
    p.setFont(art::Face(10));
    p.setPen(Qt::white);
    p.drawText(QRectF(win.left() + 6, win.top() + 2, 260, 16), Qt::AlignVCenter, demo.Title);
    for (int i = 0; i < 8; ++i) {
      const QRectF b(win.left() + 6 + i * 20, win.top() + 22, 17, 17);
      p.fillRect(b, QColor(212, 208, 200));
      p.fillRect(b.adjusted(4, 4, -4, -4), Hue(seed + i * 5, 200, 220));
    }
    const QRectF doc(win.left() + 6, win.top() + 44, win.width() - 12, win.height() - 50);
    p.fillRect(doc, Qt::white);
    p.setPen(QPen(QColor(60, 60, 60), 1));
    for (int line = 0; line < 12; ++line) {
      const double len = 80 + rnd.Below(170);
      p.drawLine(QPointF(doc.left() + 8, doc.top() + 10 + line * 12),
                 QPointF(doc.left() + 8 + len, doc.top() + 10 + line * 12));
    }
    p.setBrush(Hue(seed, 180, 230));
    p.drawPie(QRectF(doc.right() - 90, doc.top() + 20, 70, 70), 16 * 30 * number, 16 * 250);
  }
  p.resetTransform();
  p.fillRect(QRectF(0, h - 18, w, 18), QColor(0, 0, 0));
  p.setFont(art::Face(11));
  p.setPen(QColor(255, 255, 120));
  p.drawText(QRectF(6, h - 18, w - 12, 18), Qt::AlignVCenter | Qt::AlignLeft, demo.Title);
  p.drawText(QRectF(6, h - 18, w - 12, 18), Qt::AlignVCenter | Qt::AlignRight,
             QString("tela %1").arg(number));
  return img;
}

// A logo: the left half is the picture (black where clear), the right half its mask (white
// where clear, black where opaque).
QImage Logo(const Demo& demo, int index) {
  const int w = index % 3 == 0 ? 260 : 140, h = index % 3 == 0 ? 150 : 110;
  QImage shape = art::NewCanvas(w, h);
  {
    QPainter p(&shape);
    p.setRenderHint(QPainter::Antialiasing);
    QRadialGradient g(QPointF(w * 0.4, h * 0.35), w * 0.7);
    g.setColorAt(0, Hue(index * 3, 120, 255));
    g.setColorAt(1, Hue(index * 3 + 2, 230, 130));
    p.setPen(QPen(QColor(255, 255, 255), 3));
    p.setBrush(g);
    p.drawEllipse(QRectF(4, 4, w - 8, h - 8));
    QString initials;
    for (const QString& word : demo.Title.split(' ', Qt::SkipEmptyParts))
      if (word.size() > 2 && initials.size() < 3) initials += word[0].toUpper();
    p.setFont(art::Face(h * 0.42));
    art::ShadowText(p, QRectF(0, 0, w, h * 0.72), initials, QColor(255, 255, 255));
    p.setFont(art::Face(std::max(9.0, h * 0.1)));
    art::ShadowText(p, QRectF(w * 0.12, h * 0.62, w * 0.76, h * 0.2), demo.Title.left(22),
                    QColor(255, 250, 200));
  }
  QImage out(2 * w, h, QImage::Format_RGB32);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const QRgb c = shape.pixel(x, y);
      const bool opaque = qAlpha(c) >= 128;
      QRgb v = opaque ? qRgb(qRed(c), qGreen(c), qBlue(c)) : qRgb(0, 0, 0);
      if (opaque && v == qRgb(0, 0, 0)) v = qRgb(1, 1, 1);  // black means "clear" here
      out.setPixel(x, y, v);
      out.setPixel(w + x, y, opaque ? qRgb(0, 0, 0) : qRgb(255, 255, 255));
    }
  return out;
}

// An 8-bit copy with a palette of its own; black and white kept exact for masks and text.
QImage OwnPalette(const QImage& img) {
  QVector<QRgb> table = palette::Popular(img, 254);
  table.append(qRgb(0, 0, 0));
  table.append(qRgb(255, 255, 255));
  return palette::ToTable(img, table);
}

}  // namespace

QByteArray DescriptionFile(const Demo& demo, int index) {
  discwriter::DemWriter w;
  w.Category = demo.Category;
  w.Title = demo.Title;
  w.Subtitle = demo.Subtitle;
  w.Description = demo.Description;
  w.RunsFromCD = static_cast<uint8_t>(demo.RunsFromCD);
  w.MainCommand = demo.MainCommand;
  w.Folder = demo.Folder;
  w.RootRelative = static_cast<uint8_t>(demo.RootRelative);
  w.DirectCommand = demo.DirectCommand;
  w.MustClose = static_cast<uint8_t>(demo.MustClose);
  w.HowTo = demo.HowTo;
  w.HasLogo = demo.HasLogo ? 1 : 0;
  // The reserved blocks carry something, so that readers must really skip them.
  w.Reserved1 = QByteArray("Quarx CD-ROM 9");
  w.Trailing = QByteArray(3, '\0');
  w.Reserved2 = QByteArray(6, '\x20');

  const int paletteShots = demo.PaletteShots >= 0 ? demo.PaletteShots : demo.Screenshots;
  const bool pictures = demo.Screenshots > 0 || paletteShots > 0 || demo.HasLogo;
  const bool logo = demo.HasLogo && (demo.Screenshots > 0 || demo.PaletteShots != 0);
  if (pictures && logo) {
    const QImage l = Logo(demo, index);
    w.TrueColourSet.append({bmp::Encode(l), {}, {}});
    w.PaletteSet.append({bmp::Encode(OwnPalette(l)), {}, {}});
  }
  for (int k = 1; k <= std::max(demo.Screenshots, paletteShots); ++k) {
    const QImage shot = Screenshot(demo, index, k);
    if (k <= demo.Screenshots) w.TrueColourSet.append({bmp::Encode(shot), {}, {}});
    if (k <= paletteShots) w.PaletteSet.append({bmp::Encode(OwnPalette(shot)), {}, {}});
  }
  return w.Build();
}

}  // namespace demos
