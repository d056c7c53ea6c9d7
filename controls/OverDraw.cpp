#include "controls/OverDraw.h"

#include <QWidget>

void InitOverDrawControl(QWidget& control) {
  // Shown at once inside a visible parent, else together with it.
  if (control.parentWidget()) control.show();
}

void ApplyControlVisible(QWidget& control, bool visible, bool totalCtrlOverDraw,
                         Qt::FocusPolicy focusWhenShown) {
  control.setAttribute(Qt::WA_TransparentForMouseEvents, !visible);
  control.setFocusPolicy(visible ? focusWhenShown : Qt::NoFocus);
  if (!visible && control.hasFocus()) control.clearFocus();
  if (control.parentWidget() && control.isHidden()) control.show();
  if (!totalCtrlOverDraw) control.update();
}
