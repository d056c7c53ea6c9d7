#include "navigator/PictureViews.h"

#include "formats/DemoFile.h"
#include "navigator/Rounding.h"
#include "navigator/TextBreaker.h"
#include "platform/Canvas.h"

using platform::Canvas;
using platform::FontSpec;
using platform::RasterOp;

namespace {

const QColor kAqua(0, 255, 255);

void WriteText(Canvas& c, int x, int y, const QString& text, const QColor& colour,
               FontSpec font = {}) {
  font.Colour = colour;
  c.SetFont(font);
  c.SetTextBackground(platform::TextBackground::Clear);
  c.TextOut(x, y, text);
}

}  // namespace

QImage BackgroundUnder(const BackgroundPart& part) {
  QImage image(part.Area.size(), QImage::Format_RGB32);
  image.fill(Qt::black);
  if (part.Background && !part.Background->IsEmpty() && !image.isNull()) {
    Canvas c(image);
    c.BitBlt(QPoint(0, 0), part.Area.size(), *part.Background, part.Area.topLeft());
  }
  return image;
}

ComposedScreenshot ComposeScreenshot(std::optional<platform::Bitmap> decoded,
                                     const BackgroundPart& under, const platform::Bitmap& mask) {
  ComposedScreenshot out;
  const QSize area = under.Area.size();
  if (decoded && !decoded->IsEmpty()) {
    out.Screenshot = std::move(*decoded);
    out.Decoded = true;
  } else {
    out.Screenshot = platform::Bitmap::Blank(area.width(), area.height());
    Canvas c(out.Screenshot);
    WriteText(c, 10, 10, QString::fromUtf8("Figura não disponível."), kAqua);
  }
  out.Scaled = QImage(area, QImage::Format_RGB32);
  out.Scaled.fill(Qt::black);
  if (area.isEmpty()) return out;
  Canvas scaled(out.Scaled);
  scaled.CopyRect(QRect(QPoint(0, 0), area), out.Screenshot,
                  QRect(0, 0, out.Screenshot.Width(), out.Screenshot.Height()));
  if (mask.IsEmpty()) return out;
  // The background shows where the mask is black, the screenshot where it is white.
  QImage background = BackgroundUnder(under);
  QImage inverted = mask.ToRgb32();
  inverted.invertPixels();
  {
    Canvas b(background);
    b.BitBlt(QPoint(0, 0), area, inverted, QPoint(0, 0), RasterOp::And);
  }
  scaled.BitBlt(QPoint(0, 0), area, mask, QPoint(0, 0), RasterOp::And);
  scaled.BitBlt(QPoint(0, 0), area, background, QPoint(0, 0), RasterOp::Or);
  return out;
}

QRect FitLogo(int w, int h, int areaWidth, int areaHeight) {
  const int W = areaWidth;
  const int H = areaHeight;
  if (w <= 0 || h <= 0 || W <= 0 || H <= 0) return {};
  int fw = w;
  int fh = h;
  if (!(w < W && h < H)) {
    const int e = int(int64_t(H) * w / h);
    const int f = int(int64_t(W) * h / w);
    bool byHeight;
    if (W > H)
      byHeight = h >= w || f > H;
    else
      byHeight = !(w > h || e > W);
    if (byHeight) {
      fw = e;
      fh = H;
    } else {
      fw = W;
      fh = f;
    }
  }
  return QRect((W - fw) / 2, (H - fh) / 2, fw, fh);
}

QImage ComposeLogo(std::optional<platform::Bitmap> decoded, const BackgroundPart& under,
                   int fontPixelHeight) {
  QImage logo = BackgroundUnder(under);
  if (logo.isNull()) return logo;
  const int W = logo.width();
  const int H = logo.height();
  QImage picture;
  if (decoded && decoded->Width() >= 2 && decoded->Height() >= 1) {
    picture = decoded->ToRgb32();
  } else {
    // Image and mask of a text, as the stored logos are made.
    picture = QImage(2 * W, H, QImage::Format_RGB32);
    picture.fill(Qt::black);
    Canvas c(picture);
    c.Fill(QRect(W, 0, W, H), Qt::white);
    FontSpec font;
    font.Height = -fontPixelHeight;
    const QString text = QStringLiteral("Sem logotipo");
    WriteText(c, 10, 10, text, kAqua, font);
    WriteText(c, W + 10, 10, text, Qt::black, font);
  }
  const int half = picture.width() / 2;
  const QRect fitted = FitLogo(half, picture.height(), W, H);
  if (fitted.isEmpty()) return logo;
  Canvas c(logo);
  c.SetCopyMode(RasterOp::And);
  c.CopyRect(fitted, picture, QRect(half, 0, half, picture.height()));
  c.SetCopyMode(RasterOp::Or);
  c.CopyRect(fitted, picture, QRect(0, 0, half, picture.height()));
  c.SetCopyMode(RasterOp::Copy);
  return logo;
}

QImage BuildHowToPanel(const QString& howTo, const BackgroundPart& under, double layoutScale,
                       double screenScale) {
  QImage panel = BackgroundUnder(under);
  if (panel.isNull()) return panel;
  const HowToText text = HowToLines(howTo);
  const int indent = RoundHalfEven(10 * layoutScale);
  FontSpec font{QStringLiteral("vkScr_01"), RoundHalfEven(14 / screenScale), false,
                QColor(255, 255, 0)};
  const TextWidthFn width = WidthInFont(font);
  const int lineHeight = platform::MeasureText(font, QString::fromUtf8("Àç")).height();
  Canvas c(panel);
  c.SetFont(font);
  c.SetTextBackground(platform::TextBackground::Clear);
  int y = 0;
  for (int i = 0; i < text.Lines.size() && y < panel.height(); ++i) {
    const int x = i >= text.FirstPathLine ? indent : 0;
    for (const QString& line : BreakLines(text.Lines[i], panel.width() - indent, width, 64)) {
      c.TextOut(x, y, line);
      y += lineHeight;
    }
  }
  return panel;
}
