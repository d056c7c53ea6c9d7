// The screens behind the navigator's controls, the panel animations between them and the
// advertisement movies.

#include <QLinearGradient>
#include <QPainterPath>
#include <QRadialGradient>
#include <cmath>

#include "tools/mkdisc/ArtKit.h"
#include "tools/mkdisc/SkinArt.h"

namespace skin {
namespace {

constexpr double kDesignWidth = 800;
constexpr double kDesignHeight = 600;
// The part of the window the mode animations repaint (left, top, right, bottom).
const QRectF kAnimationArea(0, 110, 655, 490);

// A sunken well where a button sits, a little larger than the button.
void Well(QPainter& p, const ControlSpec& c, double grow = 3) {
  const QRectF r(c.Left - grow, c.Top - grow, c.Width + 2 * grow, c.Height + 2 * grow);
  p.save();
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(4, 8, 18, 150));
  p.drawRoundedRect(r, 12, 12);
  p.restore();
  art::Bevel(p, r, true, 1.5, 12);
}

const ControlSpec& Control(const QString& name) {
  for (const ControlSpec& c : NavigatorControls())
    if (c.Name == name) return c;
  return NavigatorControls().front();
}

// A framed panel with a caption plate on its top edge.
void Panel(QPainter& p, const QRectF& r, const QString& caption, const QColor& fill) {
  p.save();
  p.setPen(Qt::NoPen);
  p.setBrush(fill);
  p.drawRoundedRect(r, 10, 10);
  p.restore();
  art::Bevel(p, r, true, 2.5, 10);
  if (caption.isEmpty()) return;
  const QFont f = art::Face(11);
  p.setFont(f);
  const double w = QFontMetricsF(f).horizontalAdvance(caption) + 20;
  const QRectF plate(r.left() + 14, r.top() - 9, w, 18);
  art::FillGradient(p, plate, QColor(70, 110, 160), QColor(24, 44, 80), 8);
  art::Bevel(p, plate, false, 1, 8);
  art::ShadowText(p, plate, caption, QColor(220, 235, 255));
}

void DrawChrome(QPainter& p) {
  // Deep blue field with a faint grid, then the title band and the right-hand column.
  art::FillGradient(p, QRectF(0, 0, kDesignWidth, kDesignHeight), QColor(16, 30, 62),
                    QColor(5, 9, 22));
  p.save();
  p.setPen(QPen(QColor(60, 100, 160, 28), 1));
  for (int x = 0; x <= 800; x += 20) p.drawLine(QPointF(x, 110), QPointF(x, 600));
  for (int y = 110; y <= 600; y += 20) p.drawLine(QPointF(0, y), QPointF(800, y));
  p.restore();

  QLinearGradient band(0, 0, 0, 110);
  band.setColorAt(0, QColor(60, 84, 128));
  band.setColorAt(0.5, QColor(30, 46, 82));
  band.setColorAt(1, QColor(14, 22, 44));
  p.fillRect(QRectF(0, 0, 800, 110), band);
  p.fillRect(QRectF(0, 106, 800, 2), QColor(120, 200, 255));
  p.fillRect(QRectF(0, 108, 800, 2), QColor(10, 40, 80));

  QLinearGradient column(660, 0, 800, 0);
  column.setColorAt(0, QColor(40, 56, 90));
  column.setColorAt(1, QColor(18, 26, 48));
  p.fillRect(QRectF(660, 110, 140, 490), column);
  p.fillRect(QRectF(657, 110, 3, 490), QColor(120, 200, 255));

  // The emblem (the credits open from it).
  const QRectF emblem(14, 10, 204, 91);
  QRadialGradient glow(emblem.center(), 110);
  glow.setColorAt(0, QColor(70, 110, 170));
  glow.setColorAt(1, QColor(20, 32, 60));
  p.save();
  p.setPen(Qt::NoPen);
  p.setBrush(glow);
  p.drawRoundedRect(emblem, 16, 16);
  p.restore();
  art::Bevel(p, emblem, false, 2.5, 16);
  QFont big = art::Face(44);
  big.setLetterSpacing(QFont::AbsoluteSpacing, 2);
  p.setFont(big);
  QLinearGradient gold(0, 18, 0, 66);
  gold.setColorAt(0, QColor(255, 240, 150));
  gold.setColorAt(1, QColor(230, 120, 20));
  QPainterPath word;
  word.addText(QPointF(0, 0), big, "QUARX");
  const QRectF wb = word.boundingRect();
  word.translate(emblem.center().x() - wb.center().x(), 60);
  p.save();
  p.setPen(QPen(QColor(60, 20, 0), 2));
  p.setBrush(gold);
  p.drawPath(word);
  p.restore();
  p.setFont(art::Face(16));
  art::ShadowText(p, QRectF(emblem.left(), 64, emblem.width(), 24), "CD-ROM  9",
                  QColor(200, 230, 255));

  // Wells of the buttons that every mode shows.
  for (const char* name :
       {"gtbjogos", "gtbApps", "gtbInter", "gtbSavers", "gtbUtils", "gtbMaga", "gtbClose", "gtbMin",
        "gtbdx", "gtbInst", "gtbBack", "gtbOpts", "gtbMaster", "gtbMusic", "gtbVolUp", "gtbVolDo"})
    Well(p, Control(name));

  // The volume read-out: a dark window left of the volume buttons.
  const QRectF volume(716, 398, 38, 48);
  p.fillRect(volume, QColor(150, 190, 140));
  art::Bevel(p, volume, true, 2);
  p.setFont(art::Face(10));
  art::ShadowText(p, QRectF(690, 378, 110, 14), "VOLUME", QColor(180, 210, 245));
  // Under the music button (left) and the sound switch (right), small enough to stay apart.
  p.setFont(art::Face(8));
  art::ShadowText(p, QRectF(697, 500, 50, 14), "MÚSICA", QColor(150, 180, 220));
  art::ShadowText(p, QRectF(740, 500, 40, 14), "SONS", QColor(150, 180, 220));
  p.setFont(art::Face(9, false));
  art::ShadowText(p, QRectF(662, 580, 136, 14), "Quarx CD-ROM 9 \u00b7 1998",
                  QColor(110, 140, 185));
}

void DrawList(QPainter& p) {
  Panel(p, QRectF(232, 168, 414, 292), "DEMONSTRAÇÕES", QColor(14, 28, 58, 235));
  Panel(p, QRectF(33, 202, 165, 201), "LOGOTIPO", QColor(6, 12, 28, 220));
  Panel(p, QRectF(142, 501, 400, 96), "", QColor(6, 10, 24, 230));
  p.setFont(art::Face(13));
  art::ShadowText(p, QRectF(20, 128, 620, 22),
                  "Escolha uma categoria acima e clique em um programa da lista.",
                  QColor(200, 225, 255), Qt::AlignLeft | Qt::AlignVCenter);
  p.setFont(art::Face(10, false));
  art::ShadowText(p, QRectF(36, 416, 170, 60),
                  "Passe o mouse sobre\num título para ver\no logotipo do programa.",
                  QColor(150, 180, 220), Qt::AlignLeft | Qt::AlignTop);
}

void DrawDescription(QPainter& p) {
  // Screenshot frame with the rounded cut that the screenshot mask gives.
  const QRectF shot(11, 124, 348, 261);
  p.save();
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(0, 0, 0));
  p.drawRoundedRect(shot.adjusted(-5, -5, 5, 5), 26, 26);
  p.restore();
  art::Bevel(p, shot.adjusted(-6, -6, 6, 6), true, 3, 28);
  for (const char* name : {"gtbNext", "gtbPrevious", "gtbFull", "gtbPapel", "gtbHowTo", "gtbAlign"})
    Well(p, Control(name), 2);

  // The tab stands above the instructions' region and the hint at its foot, so neither lies
  // under the instructions drawn over the region.
  Panel(p, QRectF(456, 127, 188, 224), "INSTRUÇÕES", QColor(8, 16, 36, 200));
  p.setFont(art::Face(11, false));
  art::ShadowText(p, QRectF(466, 290, 168, 54),
                  "Passe o mouse sobre\no botão \"?\" para ver\ncomo instalar.",
                  QColor(110, 140, 185));
  // Title plate, text panel and the logo frame.
  art::FillGradient(p, QRectF(404, 352, 252, 44), QColor(30, 60, 110), QColor(10, 22, 48), 10);
  art::Bevel(p, QRectF(404, 352, 252, 44), false, 1.5, 10);
  Panel(p, QRectF(0, 402, 404, 196), "", QColor(8, 16, 34, 235));
  Panel(p, QRectF(494, 400, 161, 196), "", QColor(6, 12, 28, 220));
  p.setFont(art::Face(9));
  art::ShadowText(p, QRectF(404, 522, 90, 14), "ALINHAMENTO", QColor(150, 180, 220));
}

QImage Canvas(double scale) {
  return QImage(art::Scaled(kDesignWidth, scale), art::Scaled(kDesignHeight, scale),
                QImage::Format_RGB32);
}

}  // namespace

SkinArt::SkinArt(double scale) : scale_(scale) {
  art::LoadFonts();
}

int SkinArt::Width() const {
  return art::Scaled(kDesignWidth, scale_);
}
int SkinArt::Height() const {
  return art::Scaled(kDesignHeight, scale_);
}

QImage SkinArt::Background(Screen screen) const {
  QImage img = Canvas(scale_);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  p.setRenderHint(QPainter::TextAntialiasing);
  p.scale(scale_, scale_);
  DrawChrome(p);
  if (screen == Screen::List) DrawList(p);
  if (screen == Screen::Description) DrawDescription(p);
  return img;
}

std::vector<QImage> SkinArt::Transition(const QImage& a, const QImage& b, int frameCount) const {
  // Shutters: the animation area is cut into bands that open onto the new screen, with a
  // bright edge running ahead.
  std::vector<QImage> frames;
  const double band = 28;
  for (int k = 1; k <= frameCount; ++k) {
    if (k == frameCount) {
      frames.push_back(b);
      break;
    }
    QImage frame = a;
    QPainter p(&frame);
    const double t = double(k) / frameCount;
    for (double y = kAnimationArea.top(); y < kAnimationArea.bottom(); y += band) {
      const QRectF open(kAnimationArea.left() * scale_, y * scale_, kAnimationArea.width() * scale_,
                        band * t * scale_);
      p.drawImage(open, b, open);
      p.fillRect(QRectF(open.left(), open.bottom(), open.width(), std::max(1.0, 2 * scale_)),
                 QColor(140, 220, 255));
    }
    p.end();
    frames.push_back(frame);
  }
  return frames;
}

std::vector<QImage> SkinArt::Advertisement(int index) const {
  // Two trailers' banners: a scrolling slogan over a moving backdrop, drawn at design size
  // (the panel stretches each frame onto itself).
  static const char* kSlogans[2][3] = {
      {"SOLDADOS DE PLÁSTICO", "A guerra no quintal!", "Clique e veja o trailer"},
      {"FÚRIA NO ASFALTO", "Velocidade sem limites", "Clique e veja o trailer"}};
  const QColor base = index == 0 ? QColor(40, 90, 30) : QColor(120, 20, 20);
  const QColor accent = index == 0 ? QColor(240, 230, 120) : QColor(255, 200, 60);
  std::vector<QImage> frames;
  constexpr int kFrames = 12;
  for (int k = 0; k < kFrames; ++k) {
    QImage img(384, 80, QImage::Format_RGB32);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    art::FillGradient(p, QRectF(0, 0, 384, 80), base.lighter(150), base.darker(200));
    p.setPen(QPen(QColor(255, 255, 255, 40), 10));
    for (int i = -2; i < 12; ++i) {
      const double x = i * 40 + k * 6;
      p.drawLine(QPointF(x, 0), QPointF(x - 40, 80));
    }
    p.setFont(art::Face(24));
    const double slide = std::min(1.0, k / 4.0);
    art::ShadowText(p, QRectF(-300 * (1 - slide), 6, 384, 34), kSlogans[index][0], accent);
    p.setFont(art::Face(14));
    art::ShadowText(p, QRectF(0, 42, 384, 18), kSlogans[index][k < 6 ? 1 : 2],
                    QColor(255, 255, 255));
    if (k % 2 == 0) {
      p.setPen(Qt::NoPen);
      p.setBrush(accent);
      p.drawEllipse(QPointF(360, 66), 6, 6);
    }
    p.end();
    frames.push_back(img);
  }
  return frames;
}

}  // namespace skin
