// Painting of the main window: the black margin around pbMain and the background on it.

#include <QPaintEvent>
#include <QPainter>
#include <QRegion>

#include "navigator/uMain.h"

void TfmMain::PaintMain(QPainter& painter, const QRect& dirty) {
  if (backgroundImage_.isNull()) {
    painter.fillRect(dirty, Qt::black);
    return;
  }
  painter.drawImage(dirty.topLeft(), backgroundImage_, dirty);
  // What lies beyond the picture (a background smaller than pbMain) stays black.
  const QRegion outside = QRegion(dirty).subtracted(QRegion(backgroundImage_.rect()));
  for (const QRect& r : outside) painter.fillRect(r, Qt::black);
}

void TfmMain::paintEvent(QPaintEvent* event) {
  // Only the margin around pbMain shows the window itself.
  QPainter painter(this);
  painter.fillRect(event->rect(), Qt::black);
}
