// Which pictures the skin container holds, and the small window bitmaps.

#include <QLinearGradient>
#include <QPainterPath>

#include "tools/mkdisc/ArtKit.h"
#include "tools/mkdisc/SkinArt.h"

namespace skin {
namespace {

constexpr int kSkinned = 2;
constexpr int kNoHoverNoDisabled = 8;
constexpr int kSecondUp = 16;

// Size of the position bar's pictures (design pixels).
constexpr double kBarWidth = 18;
constexpr double kArrowHeight = 18;
constexpr double kThumbHeight = 30;

}  // namespace

const std::vector<ControlSpec>& NavigatorControls() {
  // Places from the window's layout; sizes are what the art fills around them.
  static const std::vector<ControlSpec> kControls = {
      {"gtbPrevious", 2, 360, 227, 30, 32},    {"gtbNext", 2, 360, 191, 30, 32},
      {"gtbPapel", 2, 360, 306, 30, 32},       {"gtbFull", 2, 360, 270, 30, 32},
      {"gtbMin", 2, 731, 55, 56, 40},          {"gtbClose", 2, 731, 10, 56, 40},
      {"gtbMaga", 2, 643, 9, 80, 86},          {"gtbInst", 2, 678, 187, 110, 70},
      {"gtbBack", 2, 678, 269, 110, 70},       {"gtbOpts", 2, 678, 517, 110, 56},
      {"gtbVolUp", 2, 761, 396, 30, 26},       {"gtbVolDo", 2, 761, 424, 30, 26},
      {"gtbHowTo", 2, 389, 124, 60, 50},       {"gtbdx", 2, 685, 127, 100, 48},
      {"gtbAlign", 18, 425, 478, 44, 40},      {"gtbMaster", 18, 743, 462, 34, 34},
      {"gtbMusic", 18, 705, 462, 34, 34},      {"gtbjogos", 18, 247, 34, 118, 62},
      {"gtbApps", 18, 371, 12, 120, 40},       {"gtbInter", 18, 371, 55, 120, 40},
      {"gtbSavers", 18, 496, 12, 120, 40},     {"gtbUtils", 18, 496, 55, 120, 40},
      {"PosBar", 2, 0, 0, kBarWidth, 0, true},
  };
  return kControls;
}

QStringList RequiredNames() {
  QStringList names;
  for (const ControlSpec& c : NavigatorControls()) {
    if (!(c.Tag & kSkinned)) continue;
    if (c.IsPosBar) {
      for (const char* s : {"UpUp", "UpDo", "DoUp", "DoDo", "Sl"}) names << c.Name + s;
      continue;
    }
    names << c.Name + "u" << c.Name + "d";
    if (!(c.Tag & kNoHoverNoDisabled)) names << c.Name + "m" << c.Name + "e";
    if (c.Tag & kSecondUp) names << c.Name + "u2";
  }
  names << "GreenGrad"
        << "Indicator"
        << "advMask"
        << "gameMask";
  return names;
}

std::vector<NamedImage> SkinArt::ControlBitmaps() const {
  std::vector<NamedImage> out;
  for (const ControlSpec& c : NavigatorControls()) {
    if (c.IsPosBar) continue;
    for (const char* stateName : {"u", "d", "m", "e", "u2"}) {
      const QString state = QString::fromLatin1(stateName);
      if (state == "u2" && !(c.Tag & kSecondUp)) continue;
      out.emplace_back(c.Name + state, ButtonPicture(c, state));
    }
  }
  for (auto& item : PosBarPictures()) out.push_back(std::move(item));
  for (auto& item : WindowBitmaps()) out.push_back(std::move(item));
  return out;
}

std::vector<NamedImage> SkinArt::PosBarPictures() const {
  const int w = art::Scaled(kBarWidth, scale_);
  auto arrow = [&](bool up, bool pressed) {
    const int h = art::Scaled(kArrowHeight, scale_);
    QImage img(w, h, QImage::Format_RGB32);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(double(w) / kBarWidth, double(h) / kArrowHeight);
    const QRectF r(0, 0, kBarWidth, kArrowHeight);
    art::FillGradient(p, r, pressed ? QColor(20, 50, 30) : QColor(90, 170, 100),
                      pressed ? QColor(60, 130, 70) : QColor(20, 70, 30));
    art::Bevel(p, r, pressed, 1.5);
    const double dy = pressed ? 1 : 0;
    QPolygonF tri = up ? QPolygonF({{4, 12 + dy}, {9, 5 + dy}, {14, 12 + dy}})
                       : QPolygonF({{4, 6 + dy}, {9, 13 + dy}, {14, 6 + dy}});
    p.setPen(Qt::NoPen);
    p.setBrush(pressed ? QColor(200, 255, 120) : QColor(235, 255, 220));
    p.drawPolygon(tri);
    return img;
  };
  const int th = art::Scaled(kThumbHeight, scale_);
  QImage thumb(w, th, QImage::Format_RGB32);
  {
    QPainter p(&thumb);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(double(w) / kBarWidth, double(th) / kThumbHeight);
    const QRectF r(0, 0, kBarWidth, kThumbHeight);
    QLinearGradient g(0, 0, kBarWidth, 0);
    g.setColorAt(0, QColor(60, 150, 70));
    g.setColorAt(0.5, QColor(170, 240, 150));
    g.setColorAt(1, QColor(40, 110, 50));
    p.fillRect(r, g);
    art::Bevel(p, r, false, 1.5);
    p.setPen(QPen(QColor(20, 60, 25), 1));
    for (int i = 0; i < 3; ++i) p.drawLine(QPointF(5, 11 + 4 * i), QPointF(13, 11 + 4 * i));
  }
  return {{"PosBarUpUp", arrow(true, false)},
          {"PosBarUpDo", arrow(true, true)},
          {"PosBarDoUp", arrow(false, false)},
          {"PosBarDoDo", arrow(false, true)},
          {"PosBarSl", thumb}};
}

std::vector<NamedImage> SkinArt::WindowBitmaps() const {
  // The list's text texture: a green gradient, light at the top, wider and taller than a row.
  const int gw = art::Scaled(420, scale_), gh = art::Scaled(48, scale_);
  QImage grad(gw, gh, QImage::Format_RGB32);
  {
    QPainter p(&grad);
    QLinearGradient g(0, 0, 0, gh);
    g.setColorAt(0.0, QColor(230, 255, 200));
    g.setColorAt(0.35, QColor(120, 240, 90));
    g.setColorAt(0.65, QColor(40, 180, 50));
    g.setColorAt(1.0, QColor(10, 90, 30));
    p.fillRect(grad.rect(), g);
  }
  // The selected row's marker: image (black where clear) and mask (white where clear).
  const int is = art::Scaled(22, scale_);
  QImage indicator(2 * is, is, QImage::Format_RGB32);
  indicator.fill(Qt::black);
  {
    QImage shape = art::NewCanvas(is, is);
    QPainter sp(&shape);
    sp.setRenderHint(QPainter::Antialiasing);
    sp.scale(double(is) / 22, double(is) / 22);
    QLinearGradient g(0, 3, 0, 19);
    g.setColorAt(0, QColor(255, 250, 140));
    g.setColorAt(1, QColor(230, 140, 20));
    sp.setPen(QPen(QColor(90, 40, 0), 1.2));
    sp.setBrush(g);
    sp.drawPolygon(QPolygonF({{4, 3}, {19, 11}, {4, 19}, {8, 11}}));
    sp.end();
    for (int y = 0; y < is; ++y)
      for (int x = 0; x < is; ++x) {
        const QRgb c = shape.pixel(x, y);
        const bool opaque = qAlpha(c) >= 128;
        indicator.setPixel(x, y,
                           opaque ? (qRgb(qRed(c), qGreen(c), qBlue(c)) | 0xff000000) : 0xff000000);
        indicator.setPixel(is + x, y, opaque ? 0xff000000 : 0xffffffff);
      }
  }
  // Masks: white where the advertisement or the screenshot shows.
  auto mask = [&](double w, double h, double radius) {
    const int iw = art::Scaled(w, scale_), ih = art::Scaled(h, scale_);
    QImage m(iw, ih, QImage::Format_RGB32);
    m.fill(Qt::black);
    QPainter p(&m);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.scale(double(iw) / w, double(ih) / h);
    p.drawRoundedRect(QRectF(0, 0, w, h), radius, radius);
    return m;
  };
  return {{"GreenGrad", grad},
          {"Indicator", indicator},
          {"advMask", mask(384, 80, 16)},
          {"gameMask", mask(348, 261, 24)}};
}

std::vector<NamedImage> ExplorerBitmaps() {
  // The explorer's column picture and its four buttons (up, down, disabled).
  QImage market(180, 120, QImage::Format_RGB32);
  {
    QPainter p(&market);
    p.setRenderHint(QPainter::Antialiasing);
    art::FillGradient(p, market.rect(), QColor(40, 70, 120), QColor(10, 20, 45));
    art::Bevel(p, QRectF(market.rect()), false, 2);
    p.setFont(art::Face(26));
    art::ShadowText(p, QRectF(0, 14, 180, 40), "QUARX", QColor(255, 190, 60));
    p.setFont(art::Face(14));
    art::ShadowText(p, QRectF(0, 56, 180, 24), "Explorador MM", QColor(230, 240, 255));
    p.setFont(art::Face(11, false));
    art::ShadowText(p, QRectF(0, 84, 180, 20), "imagens \u00b7 sons \u00b7 vídeos",
                    QColor(170, 200, 235));
  }
  std::vector<NamedImage> out{{"imMarket", market}};
  struct Btn {
    const char* Name;
    const char* Glyph;
  };
  for (const Btn& b : {Btn{"btFull", "\u25a1"}, Btn{"btPlay", "\u25b6"}, Btn{"btStop", "\u25a0"},
                       Btn{"btClose", "\u2715"}}) {
    for (const char* state : {"u", "d", "e"}) {
      QImage canvas = art::NewCanvas(40, 30);
      QPainter p(&canvas);
      p.setRenderHint(QPainter::Antialiasing);
      const bool down = QString(state) == "d", off = QString(state) == "e";
      const QColor top = off    ? QColor(110, 110, 116)
                         : down ? QColor(30, 50, 90)
                                : QColor(90, 130, 190);
      const QColor bottom = off    ? QColor(60, 60, 66)
                            : down ? QColor(80, 120, 180)
                                   : QColor(25, 45, 90);
      art::FillGradient(p, QRectF(1, 1, 38, 28), top, bottom, 7);
      p.setFont(art::Face(15));
      art::ShadowText(p, QRectF(down ? 1 : 0, down ? 1 : 0, 40, 30), QString::fromUtf8(b.Glyph),
                      off ? QColor(150, 150, 150) : QColor(240, 245, 255));
      p.end();
      out.emplace_back(QString(b.Name) + state, art::ToKeyed(canvas));
    }
  }
  return out;
}

}  // namespace skin
