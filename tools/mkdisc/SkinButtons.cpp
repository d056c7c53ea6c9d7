// The navigator's buttons: one picture per state, drawn at the design scale.

#include <QPainterPath>
#include <QPolygonF>
#include <cmath>
#include <functional>

#include "tools/mkdisc/ArtKit.h"
#include "tools/mkdisc/SkinArt.h"

namespace skin {
namespace {

enum class Look { Category, Side, Small, Close, Magazine };

struct ButtonArt {
  Look Kind;
  QString Label;   // text drawn on the button (may be empty when an icon says it)
  QString Label2;  // the alternate picture's text, when it differs
};

ButtonArt ArtOf(const QString& name) {
  static const std::vector<std::pair<QString, ButtonArt>> kArt = {
      {"gtbjogos", {Look::Category, "JOGOS", {}}},
      {"gtbApps", {Look::Category, "APLICATIVOS", {}}},
      {"gtbInter", {Look::Category, "INTERNET", {}}},
      {"gtbSavers", {Look::Category, "PROTETORES", {}}},
      {"gtbUtils", {Look::Category, "UTILITÁRIOS", {}}},
      {"gtbMaga", {Look::Magazine, "REVISTA", {}}},
      {"gtbClose", {Look::Close, "SAIR", {}}},
      {"gtbMin", {Look::Side, "MIN", {}}},
      {"gtbdx", {Look::Side, "DirectX 6", {}}},
      {"gtbInst", {Look::Side, "INSTALAR", "EXECUTAR"}},
      {"gtbBack", {Look::Side, "VOLTAR", {}}},
      {"gtbOpts", {Look::Side, "OPÇÕES", {}}},
      {"gtbMaster", {Look::Small, {}, {}}},
      {"gtbMusic", {Look::Small, {}, {}}},
      {"gtbVolUp", {Look::Small, "+", {}}},
      {"gtbVolDo", {Look::Small, "\u2013", {}}},
      {"gtbNext", {Look::Small, {}, {}}},
      {"gtbPrevious", {Look::Small, {}, {}}},
      {"gtbFull", {Look::Small, {}, {}}},
      {"gtbPapel", {Look::Small, {}, {}}},
      {"gtbHowTo", {Look::Side, "?", {}}},
      {"gtbAlign", {Look::Small, {}, {}}},
  };
  for (const auto& [n, a] : kArt)
    if (n == name) return a;
  return {Look::Small, name, {}};
}

struct Palette {
  QColor Top, Bottom, Text, Rim;
};

Palette ColoursOf(Look look, const QString& state) {
  Palette c;
  switch (look) {
    case Look::Category:
      c = {QColor(64, 120, 170), QColor(18, 46, 86), QColor(235, 245, 255), QColor(120, 190, 240)};
      break;
    case Look::Close:
      c = {QColor(190, 70, 50), QColor(100, 20, 16), QColor(255, 240, 230), QColor(240, 140, 110)};
      break;
    case Look::Magazine:
      c = {QColor(220, 150, 40), QColor(120, 60, 10), QColor(255, 250, 235), QColor(250, 210, 120)};
      break;
    case Look::Side:
      c = {QColor(86, 104, 136), QColor(34, 44, 68), QColor(240, 244, 250), QColor(150, 170, 205)};
      break;
    case Look::Small:
      c = {QColor(78, 96, 124), QColor(28, 36, 56), QColor(240, 244, 250), QColor(140, 160, 195)};
      break;
  }
  if (state == "m") {  // hover: lit, yellow text
    c.Top = c.Top.lighter(135);
    c.Bottom = c.Bottom.lighter(135);
    c.Text = QColor(255, 236, 90);
    c.Rim = QColor(255, 220, 80);
  } else if (state == "d") {  // pressed: darker, light from below
    std::swap(c.Top, c.Bottom);
    c.Top = c.Top.darker(120);
    c.Text = c.Text.darker(115);
  } else if (state == "e") {  // disabled: grey
    c = {QColor(96, 100, 108), QColor(52, 54, 60), QColor(140, 142, 148), QColor(110, 112, 118)};
  } else if (state == "u2") {  // the alternate up picture: an active green look
    c.Top = QColor(60, 150, 70);
    c.Bottom = QColor(14, 60, 24);
    c.Text = QColor(210, 255, 150);
    c.Rim = QColor(150, 240, 120);
  }
  return c;
}

// Icons are drawn in a unit box (0..1) scaled onto the button's face.
using Icon = std::function<void(QPainter&, const QRectF&, const QColor&, bool alternate)>;

void SpeakerIcon(QPainter& p, const QRectF& r, const QColor& c, bool off) {
  const double x = r.left(), y = r.top(), w = r.width(), h = r.height();
  QPolygonF body({{x + 0.12 * w, y + 0.38 * h},
                  {x + 0.32 * w, y + 0.38 * h},
                  {x + 0.55 * w, y + 0.15 * h},
                  {x + 0.55 * w, y + 0.85 * h},
                  {x + 0.32 * w, y + 0.62 * h},
                  {x + 0.12 * w, y + 0.62 * h}});
  p.setPen(Qt::NoPen);
  p.setBrush(c);
  p.drawPolygon(body);
  p.setBrush(Qt::NoBrush);
  if (off) {
    p.setPen(QPen(QColor(255, 80, 60), std::max(1.5, w * 0.09)));
    p.drawLine(QPointF(x + 0.65 * w, y + 0.3 * h), QPointF(x + 0.95 * w, y + 0.7 * h));
    p.drawLine(QPointF(x + 0.95 * w, y + 0.3 * h), QPointF(x + 0.65 * w, y + 0.7 * h));
  } else {
    p.setPen(QPen(c, std::max(1.2, w * 0.06)));
    p.drawArc(QRectF(x + 0.45 * w, y + 0.3 * h, 0.3 * w, 0.4 * h), -60 * 16, 120 * 16);
    p.drawArc(QRectF(x + 0.42 * w, y + 0.15 * h, 0.5 * w, 0.7 * h), -60 * 16, 120 * 16);
  }
}

void NoteIcon(QPainter& p, const QRectF& r, const QColor& c, bool off) {
  const double x = r.left(), y = r.top(), w = r.width(), h = r.height();
  p.setPen(Qt::NoPen);
  p.setBrush(c);
  p.drawEllipse(QRectF(x + 0.15 * w, y + 0.62 * h, 0.3 * w, 0.24 * h));
  p.drawEllipse(QRectF(x + 0.55 * w, y + 0.52 * h, 0.3 * w, 0.24 * h));
  p.setPen(QPen(c, std::max(1.2, w * 0.07)));
  p.drawLine(QPointF(x + 0.43 * w, y + 0.74 * h), QPointF(x + 0.43 * w, y + 0.2 * h));
  p.drawLine(QPointF(x + 0.83 * w, y + 0.64 * h), QPointF(x + 0.83 * w, y + 0.12 * h));
  p.drawLine(QPointF(x + 0.43 * w, y + 0.2 * h), QPointF(x + 0.83 * w, y + 0.12 * h));
  if (off) {
    p.setPen(QPen(QColor(255, 80, 60), std::max(1.5, w * 0.09)));
    p.drawLine(QPointF(x + 0.1 * w, y + 0.9 * h), QPointF(x + 0.9 * w, y + 0.1 * h));
  }
}

void ArrowIcon(QPainter& p, const QRectF& r, const QColor& c, bool right) {
  const double x = r.left(), y = r.top(), w = r.width(), h = r.height();
  QPolygonF tri = right ? QPolygonF({{x + 0.3 * w, y + 0.2 * h},
                                     {x + 0.78 * w, y + 0.5 * h},
                                     {x + 0.3 * w, y + 0.8 * h}})
                        : QPolygonF({{x + 0.7 * w, y + 0.2 * h},
                                     {x + 0.22 * w, y + 0.5 * h},
                                     {x + 0.7 * w, y + 0.8 * h}});
  p.setPen(Qt::NoPen);
  p.setBrush(c);
  p.drawPolygon(tri);
}

void FullIcon(QPainter& p, const QRectF& r, const QColor& c, bool) {
  const double x = r.left(), y = r.top(), w = r.width(), h = r.height();
  p.setPen(QPen(c, std::max(1.5, w * 0.09), Qt::SolidLine, Qt::SquareCap));
  const double a = 0.2, b = 0.8, l = 0.22;
  for (auto [cx, cy, dx, dy] :
       {std::array<double, 4>{a, a, 1, 1}, {b, a, -1, 1}, {a, b, 1, -1}, {b, b, -1, -1}}) {
    const QPointF corner(x + cx * w, y + cy * h);
    p.drawLine(corner, corner + QPointF(dx * l * w, 0));
    p.drawLine(corner, corner + QPointF(0, dy * l * h));
  }
}

void WallpaperIcon(QPainter& p, const QRectF& r, const QColor& c, bool) {
  const double x = r.left(), y = r.top(), w = r.width(), h = r.height();
  const QRectF frame(x + 0.15 * w, y + 0.22 * h, 0.7 * w, 0.56 * h);
  p.setPen(QPen(c, std::max(1.2, w * 0.06)));
  p.setBrush(Qt::NoBrush);
  p.drawRect(frame);
  p.setPen(Qt::NoPen);
  p.setBrush(c);
  p.drawPolygon(QPolygonF({{frame.left() + 0.1 * w, frame.bottom() - 0.05 * h},
                           {frame.left() + 0.3 * w, frame.top() + 0.2 * h},
                           {frame.left() + 0.45 * w, frame.bottom() - 0.15 * h},
                           {frame.right() - 0.08 * w, frame.bottom() - 0.05 * h}}));
  p.drawEllipse(QPointF(frame.right() - 0.15 * w, frame.top() + 0.14 * h), 0.06 * w, 0.06 * w);
}

void AlignIcon(QPainter& p, const QRectF& r, const QColor& c, bool ragged) {
  const double x = r.left(), y = r.top(), w = r.width(), h = r.height();
  p.setPen(QPen(c, std::max(1.5, h * 0.08), Qt::SolidLine, Qt::FlatCap));
  static constexpr double kRagged[5] = {0.9, 0.65, 0.8, 0.55, 0.75};
  for (int i = 0; i < 5; ++i) {
    const double ly = y + (0.2 + i * 0.15) * h;
    const double right = ragged ? kRagged[i] : (i == 4 ? 0.55 : 0.9);
    p.drawLine(QPointF(x + 0.12 * w, ly), QPointF(x + right * w, ly));
  }
}

Icon IconOf(const QString& name) {
  if (name == "gtbMaster") return SpeakerIcon;
  if (name == "gtbMusic") return NoteIcon;
  if (name == "gtbNext")
    return [](QPainter& p, const QRectF& r, const QColor& c, bool) { ArrowIcon(p, r, c, true); };
  if (name == "gtbPrevious")
    return [](QPainter& p, const QRectF& r, const QColor& c, bool) { ArrowIcon(p, r, c, false); };
  if (name == "gtbFull") return FullIcon;
  if (name == "gtbPapel") return WallpaperIcon;
  if (name == "gtbAlign") return AlignIcon;
  return {};
}

}  // namespace

QImage SkinArt::ButtonPicture(const ControlSpec& spec, const QString& state) const {
  const int w = art::Scaled(spec.Width, scale_);
  const int h = art::Scaled(spec.Height, scale_);
  QImage canvas = art::NewCanvas(w, h);
  QPainter p(&canvas);
  p.setRenderHint(QPainter::Antialiasing);
  p.setRenderHint(QPainter::TextAntialiasing);
  p.scale(double(w) / spec.Width, double(h) / spec.Height);

  const ButtonArt look = ArtOf(spec.Name);
  const Palette c = ColoursOf(look.Kind, state);
  const bool pressed = state == "d";
  const double radius = look.Kind == Look::Small ? 7 : 11;
  const QRectF body(1, 1, spec.Width - 2, spec.Height - 2);

  // Rim, body and a glossy upper half.
  p.setPen(QPen(c.Rim, 1.6));
  p.setBrush(Qt::NoBrush);
  art::FillGradient(p, body, c.Top, c.Bottom, radius);
  p.setBrush(Qt::NoBrush);
  p.drawRoundedRect(body.adjusted(0.8, 0.8, -0.8, -0.8), radius, radius);
  if (!pressed && state != "e") {
    QRectF gloss = body.adjusted(3, 3, -3, -spec.Height / 2);
    art::FillGradient(p, gloss, QColor(255, 255, 255, 70), QColor(255, 255, 255, 8), radius - 3);
  }

  const QPointF shift = pressed ? QPointF(1, 1) : QPointF(0, 0);
  const QRectF face = body.adjusted(4, 4, -4, -4).translated(shift);
  const bool alternate = state == "u2";
  if (Icon icon = IconOf(spec.Name)) {
    const double side = std::min(face.width(), face.height());
    const QRectF box(face.center().x() - side / 2, face.center().y() - side / 2, side, side);
    icon(p, box.translated(1, 1), QColor(0, 0, 0, 160), alternate);
    icon(p, box, c.Text, alternate);
  } else {
    const QString text = alternate && !look.Label2.isEmpty() ? look.Label2 : look.Label;
    double px = std::min(spec.Height * 0.42, 15.0);
    if (look.Kind == Look::Category && spec.Height > 50) px = 19;
    if (text.size() <= 2) px = spec.Height * 0.7;
    QFont f = art::Face(px);
    QFontMetricsF fm(f);
    while (px > 7 && fm.horizontalAdvance(text) > face.width()) {
      px -= 0.5;
      f = art::Face(px);
      fm = QFontMetricsF(f);
    }
    p.setFont(f);
    if (look.Kind == Look::Magazine) {
      // A small magazine cover above the word.
      const QRectF cover(face.center().x() - 14, face.top() + 2, 28, 36);
      p.setPen(QPen(QColor(40, 20, 0), 1));
      p.setBrush(state == "e" ? QColor(170, 170, 170) : QColor(250, 246, 230));
      p.drawRect(cover);
      p.setBrush(state == "e" ? QColor(120, 120, 120) : QColor(200, 40, 30));
      p.drawRect(QRectF(cover.left() + 3, cover.top() + 3, cover.width() - 6, 8));
      p.setPen(QPen(QColor(90, 90, 90), 1));
      for (int i = 0; i < 4; ++i)
        p.drawLine(QPointF(cover.left() + 4, cover.top() + 16 + i * 5),
                   QPointF(cover.right() - 4, cover.top() + 16 + i * 5));
      art::ShadowText(p, QRectF(face.left(), cover.bottom() + 2, face.width(), 24), text, c.Text);
    } else {
      art::ShadowText(p, face, text, c.Text);
    }
  }
  p.end();
  return art::ToKeyed(canvas);
}

}  // namespace skin
