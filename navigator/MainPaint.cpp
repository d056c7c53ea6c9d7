// Painting of the main window: the black margin around pbMain, the background on it, and what
// the current mode draws over the background (nothing while a mode change is under way).

#include <QPaintEvent>
#include <QPainter>

#include "common/Environment.h"
#include "controls/TotalPaintBox.h"
#include "navigator/Rounding.h"
#include "navigator/uMain.h"

void TfmMain::PaintMain() {
  TTotalPaintBox* box = pbMain();
  platform::Canvas& canvas = box->Canvas();
  const bool entering = modes_ && modes_->Entering();
  // While an animation plays its area belongs to it: a paint of the box (the first show, an
  // expose) must not put the background over the frame on screen.
  QRegion area(canvas.ClipRect());
  if (modes_ && modes_->Animating()) {
    const LayoutRect& a = Layout.AnimationRegion;
    area -= QRect(a.Left, a.Top, a.Width(), a.Height());
  } else if (box->CoverWith(BackgroundBitmap)) {
    area = QRegion();
  }
  for (const QRect& r : area) {
    if (BackgroundBitmap.IsEmpty()) {
      canvas.Fill(r, Qt::black);
      continue;
    }
    canvas.CopyRect(r, BackgroundBitmap, r);
    // What lies beyond the picture (a background smaller than pbMain) stays black.
    const QRegion outside =
        QRegion(r).subtracted(QRegion(0, 0, BackgroundBitmap.Width(), BackgroundBitmap.Height()));
    for (const QRect& o : outside) canvas.Fill(o, Qt::black);
  }
  if (entering || !modes_) return;
  ViewsDrawMode();
  if (!IsScreenMode(modes_->CurrentMode())) DrawVolumeDigits();
  if (HowToShown) DrawHowToPanel();
}

void TfmMain::DrawVolumeDigits() {
  TTotalPaintBox* box = pbMain();
  if (!box || BackgroundBitmap.IsEmpty()) return;
  const LayoutRect& v = Layout.VolumeRegion;
  const QRect area(v.Left, v.Top, v.Width(), v.Height());
  platform::Canvas& canvas = box->Canvas();
  canvas.CopyRect(area, BackgroundBitmap, area);
  if (Settings.VolumeLevel < 0) return;  // no level yet: no digits
  canvas.SetFont(platform::FontSpec{QStringLiteral("vkScr_01"),
                                    RoundHalfEven(-20 / Env().ScreenScale), true, Qt::black});
  canvas.SetTextBackground(platform::TextBackground::Clear);
  canvas.TextOut(v.Left, v.Top, QString::number(std::min(Settings.VolumeLevel, 99)));
}

void TfmMain::PaintBackgroundUnder(TTotalPaintBox* box) {
  platform::Canvas& canvas = box->Canvas();
  const QPoint offset = box->pos() - pbMain()->pos();
  canvas.Fill(canvas.ClipRect(), Qt::black);
  if (!BackgroundBitmap.IsEmpty()) canvas.Draw(-offset.x(), -offset.y(), BackgroundBitmap);
}

void TfmMain::paintEvent(QPaintEvent* event) {
  // Only the margin around pbMain shows the window itself.
  QPainter painter(this);
  painter.fillRect(event->rect(), Qt::black);
}
