// Painting of the main window: the black margin around pbMain and the background on it.

#include <QPaintEvent>
#include <QPainter>

#include "controls/TotalPaintBox.h"
#include "navigator/uMain.h"

void TfmMain::PaintMain() {
  TTotalPaintBox* box = pbMain();
  if (box->CoverWith(BackgroundBitmap)) return;
  platform::Canvas& canvas = box->Canvas();
  if (BackgroundBitmap.IsEmpty()) {
    canvas.Fill(canvas.ClipRect(), Qt::black);
    return;
  }
  canvas.Draw(0, 0, BackgroundBitmap);
  // What lies beyond the picture (a background smaller than pbMain) stays black.
  const QRegion outside =
      QRegion(canvas.ClipRect())
          .subtracted(QRegion(0, 0, BackgroundBitmap.Width(), BackgroundBitmap.Height()));
  for (const QRect& r : outside) canvas.Fill(r, Qt::black);
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
