#pragma once

// Mouse events for the button tests, sent through the window as real ones arrive: the window
// picks the widget under the pointer, keeps the implicit grab of a press and sends enter and
// leave. The widget must be in a shown window.

#include <QImage>
#include <QTest>
#include <QWidget>
#include <QWindow>

#include "platform/Bitmap.h"

namespace transbutmouse {

inline QWindow* WindowOf(QWidget* widget) {
  return widget->window()->windowHandle();
}
inline QPoint InWindow(QWidget* widget, QPoint pos) {
  return widget->mapTo(widget->window(), pos);
}

inline void Press(QWidget* widget, QPoint pos) {
  QTest::mousePress(WindowOf(widget), Qt::LeftButton, {}, InWindow(widget, pos));
}
inline void Release(QWidget* widget, QPoint pos) {
  QTest::mouseRelease(WindowOf(widget), Qt::LeftButton, {}, InWindow(widget, pos));
}
inline void Click(QWidget* widget, QPoint pos) {
  QTest::mouseClick(WindowOf(widget), Qt::LeftButton, {}, InWindow(widget, pos));
}
inline void Move(QWidget* widget, QPoint pos) {
  QTest::mouseMove(WindowOf(widget), InWindow(widget, pos));
}

}  // namespace transbutmouse

namespace transbutpictures {

constexpr QRgb kKey = 0xFFFF00FF;  // the pictures' transparent colour (bottom-left pixel)

// A w x h picture of the transparent colour with an opaque block inside (2 pixels in from
// every edge).
inline platform::Bitmap Shape(int w, int h, QRgb colour) {
  QImage image(w, h, QImage::Format_RGB32);
  image.fill(kKey);
  for (int y = 2; y < h - 2; ++y)
    for (int x = 2; x < w - 2; ++x) image.setPixel(x, y, colour);
  return platform::Bitmap(image);
}

}  // namespace transbutpictures
