#include "controls/Image.h"

#include <QPainter>

TImage::TImage(QWidget* parent) : QWidget(parent) {}

void TImage::SetPicture(const platform::Bitmap& picture) {
  picture_ = picture;
  update();
  emit PictureChanged();
}

void TImage::paintEvent(QPaintEvent*) {
  if (picture_.IsEmpty()) return;
  QPainter painter(this);
  painter.drawImage(0, 0, picture_.Image());  // an 8-bit picture goes through its palette
}
