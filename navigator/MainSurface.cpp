#include "navigator/MainSurface.h"

#include <QPaintEvent>
#include <QPainter>

#include "navigator/uMain.h"

MainSurface::MainSurface(TfmMain* owner) : QWidget(owner), owner_(owner) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setAttribute(Qt::WA_NoSystemBackground);
  hide();  // shown by the layout once the background is there
}

void MainSurface::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  owner_->PaintMain(painter, event->rect());
}
