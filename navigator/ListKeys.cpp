#include "navigator/ListKeys.h"

#include <Qt>

void ListKeyDown(ListKeyTarget& list, int& key) {
  const int r = list.ItemIndex();
  const int last = list.RowCount() - 1;
  const int first = list.FirstVisible();
  const int lastFirst = list.LastFirstVisible();
  switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
      // On a description page Enter goes on to the window.
      if (!list.InListMode()) return;
      list.ListClick();
      break;
    case Qt::Key_PageUp:
      if (first >= 2) list.SetBarPosition(list.BarPosition() - list.BarLargeStep());
      list.SetItemIndex(0);
      if (first >= 2) list.RedrawRowSelected(0);
      break;
    case Qt::Key_PageDown:
      if (first < lastFirst) list.SetBarPosition(list.BarPosition() + list.BarLargeStep());
      list.SetItemIndex(last);
      if (first < lastFirst) list.RedrawRowSelected(last);
      break;
    case Qt::Key_End:
      if (first < lastFirst) list.SetBarPosition(list.BarMax());
      list.SetItemIndex(last);
      break;
    case Qt::Key_Home:
      if (first > 1) list.SetBarPosition(list.BarMin() + list.BarVisibleElements() - 1);
      list.SetItemIndex(0);
      break;
    case Qt::Key_Left:
    case Qt::Key_Up:
      if (r > 0) {
        list.SetItemIndex(r - 1);
      } else if (r == 0 && first >= 2) {
        list.SetBarPosition(list.BarPosition() - 1);
        list.RedrawRowSelected(0);
      }
      break;
    case Qt::Key_Right:
    case Qt::Key_Down:
      if (r == last && first < lastFirst) {
        list.SetBarPosition(list.BarPosition() + 1);
        list.RedrawRowSelected(last);
      } else if (r < last) {
        list.SetItemIndex(r < 0 ? 0 : r + 1);
      }
      break;
    default:
      return;
  }
  key = 0;
  list.MouseRun();
}
