#include "controls/OverDraw.h"

#include <QEvent>
#include <QWidget>

void InitOverDrawControl(QWidget& control) {
  // Shown at once inside a visible parent, else together with it.
  if (control.parentWidget()) control.QWidget::setVisible(true);
}

void ApplyControlVisible(QWidget& control, bool visible, bool totalCtrlOverDraw,
                         Qt::FocusPolicy focusWhenShown) {
  control.setAttribute(Qt::WA_TransparentForMouseEvents, !visible);
  control.setFocusPolicy(visible ? focusWhenShown : Qt::NoFocus);
  if (!visible && control.hasFocus()) control.clearFocus();
  if (control.parentWidget() && control.isHidden()) control.QWidget::setVisible(true);
  if (!totalCtrlOverDraw) control.update();
}

bool IsInputEvent(const QEvent& event) {
  switch (event.type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::Enter:
    case QEvent::Leave:
      return true;
    default:
      return false;
  }
}
