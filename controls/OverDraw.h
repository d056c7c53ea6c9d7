#pragma once

// The Visible property of controls on windows that paint their whole surface themselves.
//
// The Qt widget of such a control stays shown; the control's own Visible flag decides whether
// it paints and whether it takes the mouse and the focus. That is what lets a change of
// Visible leave the screen alone: with TotalCtrlOverDraw the pixels stay as they are until the
// owner repaints (a hidden Qt widget would make Qt repaint whatever lies below at once);
// without it, the control's area is repainted as for any control.

#include <Qt>

class QEvent;
class QWidget;

// The controls override QWidget::setVisible with their own Visible, so show(), hide() and
// SetVisible() all follow these rules; Qt's own visibility is set only here.
//
// Call once from the control's constructor: shows the Qt widget inside its parent.
void InitOverDrawControl(QWidget& control);

// True for the mouse and key events that a hidden control must not take (the control's event()
// then ignores them, so they go on as if it were not there).
bool IsInputEvent(const QEvent& event);

// Applies a change of the control's Visible flag. focusWhenShown is the control's focus
// policy while visible; a hidden control takes no focus and loses it.
void ApplyControlVisible(QWidget& control, bool visible, bool totalCtrlOverDraw,
                         Qt::FocusPolicy focusWhenShown);
