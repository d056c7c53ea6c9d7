// TCustomDrawListBox and TDrawBox: keys and mouse.

#include <QKeyEvent>
#include <QMouseEvent>
#include <algorithm>
#include <cstdint>

#include "controls/DrawListBox.h"

void TCustomDrawListBox::KeyDownFirst(int& key, Qt::KeyboardModifiers shift) {
  Fire(OnKeyDown, this, key, shift);
}

void TCustomDrawListBox::keyPressEvent(QKeyEvent* event) {
  int key = event->key();
  const Qt::KeyboardModifiers shift = event->modifiers();
  // A previewing window has already offered the key to KeyDownFirst; otherwise the handler
  // runs here, on the ordinary route.
  if (!(WantsKeysFirst() && TKeyPreview::Delivering())) {
    Fire(OnKeyDown, this, key, shift);
    if (key == 0) {
      event->accept();
      return;
    }
  }
  switch (key) {
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Home:
    case Qt::Key_End:
    case Qt::Key_Space:
      MoveCaretByKey(key, shift);
      event->accept();
      break;
    default:
      QWidget::keyPressEvent(event);
      break;
  }
}

// The list's own keyboard handling: the caret moves, the selection with it.
void TCustomDrawListBox::MoveCaretByKey(int key, Qt::KeyboardModifiers shift) {
  ListBoxWindow& list = Window();
  const int count = list.Count();
  if (count == 0) return;
  const int caret = multiSelect_ ? list.Caret() : std::max(list.CurSel(), -1);
  if (key == Qt::Key_Space) {
    if (multiSelect_ && caret >= 0) {
      list.SetSelected(caret, list.IsSelected(caret) != 1);
      RedrawItemsNow({caret});
      SelectionChangedByUser();
    }
    return;
  }
  const int page = std::max(1, list.VisibleCount() - 1);
  const int across = columns_ != 0 ? list.RowsPerColumn() : 1;
  int next = caret;
  switch (key) {
    case Qt::Key_Up:
      next = caret - 1;
      break;
    case Qt::Key_Down:
      next = caret + 1;
      break;
    case Qt::Key_Left:
      next = caret - across;
      break;
    case Qt::Key_Right:
      next = caret + across;
      break;
    case Qt::Key_PageUp:
      next = caret - page;
      break;
    case Qt::Key_PageDown:
      next = caret + page;
      break;
    case Qt::Key_Home:
      next = 0;
      break;
    case Qt::Key_End:
      next = count - 1;
      break;
    default:
      break;
  }
  if (caret < 0) next = 0;  // nothing selected yet: the first key selects the top item
  next = std::clamp(next, 0, count - 1);
  if (next == caret) return;
  const int oldTop = list.TopIndex();
  if (multiSelect_) {
    list.SetCaret(next);
    if (extendedSelect_) {
      list.SetSelected(-1, false);
      if (shift & Qt::ShiftModifier) {
        list.SelectRange(anchor_, next, true);
      } else {
        list.SetSelected(next, true);
        anchor_ = next;
      }
    }
  } else {
    list.SetCurSel(next);
  }
  list.EnsureVisible(next);
  if (multiSelect_ || list.TopIndex() != oldTop)
    InvalidateItems();
  else
    RedrawItemsNow({caret, next});
  SelectionChangedByUser();
}

void TCustomDrawListBox::SelectionChangedByUser() {
  Fire(OnClick, this);
}

void TCustomDrawListBox::SelectByMouse(int index, Qt::KeyboardModifiers shift) {
  ListBoxWindow& list = Window();
  if (!multiSelect_) {
    const int old = list.CurSel();
    if (index == old) return;
    list.SetCurSel(index);
    RedrawItemsNow({old, index});
    return;
  }
  list.SetCaret(index);
  if (!extendedSelect_ || (shift & Qt::ControlModifier)) {
    list.SetSelected(index, list.IsSelected(index) != 1);
    anchor_ = index;
  } else if (shift & Qt::ShiftModifier) {
    list.SetSelected(-1, false);
    list.SelectRange(anchor_, index, true);
  } else {
    list.SetSelected(-1, false);
    list.SetSelected(index, true);
    anchor_ = index;
  }
  InvalidateItems();
}

void TCustomDrawListBox::mousePressEvent(QMouseEvent* event) {
  const QPoint point = event->position().toPoint() - ClientOrigin();
  if (focusPolicy() != Qt::NoFocus) setFocus(Qt::MouseFocusReason);
  if (event->button() == Qt::LeftButton) {
    const int index = ItemAtPos(point, true);
    pressedItem_ = index;
    if (index >= 0) SelectByMouse(index, event->modifiers());
  }
  Fire(OnMouseDown, this, event->button(), event->modifiers(), point.x(), point.y());
}

void TCustomDrawListBox::mouseReleaseEvent(QMouseEvent* event) {
  const QPoint point = event->position().toPoint() - ClientOrigin();
  if (event->button() == Qt::LeftButton && pressedItem_ >= 0) {
    pressedItem_ = -1;
    SelectionChangedByUser();  // a click on an item notifies, changed or not
  }
  Fire(OnMouseUp, this, event->button(), event->modifiers(), point.x(), point.y());
}

void TCustomDrawListBox::mouseDoubleClickEvent(QMouseEvent* event) {
  const QPoint point = event->position().toPoint() - ClientOrigin();
  if (event->button() != Qt::LeftButton) return;
  const int index = ItemAtPos(point, true);
  pressedItem_ = index;
  if (index < 0) return;
  SelectByMouse(index, event->modifiers());
  Fire(OnDblClick, this);
}

TDrawBox::TDrawBox(QWidget* parent) : TCustomDrawListBox(parent) {
  setMouseTracking(true);
}

void TDrawBox::mouseMoveEvent(QMouseEvent* event) {
  const int itemHeight = ItemHeight();
  if (!moveSense_ || itemHeight <= 0) return;
  const QPoint point = event->position().toPoint() - ClientOrigin();
  // The position as the 16-bit fields of the mouse message carry it.
  const int x = static_cast<int16_t>(point.x());
  const int y = static_cast<int16_t>(point.y());
  if (x == lastX_ && y == lastY_) return;
  lastX_ = x;
  lastY_ = y;
  // Rows are counted from the top of the client area: the owner keeps only visible rows. The
  // division truncates toward zero, so a pointer less than a row above the box is on row 0.
  const int row = y / itemHeight;
  if (row < 0 || row > Items().Count() - 1) return;
  SetItemIndex(row);
  Fire(OnMouseRun, this);
}
