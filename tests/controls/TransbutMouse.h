#pragma once

// Mouse events for the button tests, sent through the window as real ones arrive: the window
// picks the widget under the pointer, keeps the implicit grab of a press and sends enter and
// leave. The widget must be in a shown window.

#include <QTest>
#include <QWidget>
#include <QWindow>

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
