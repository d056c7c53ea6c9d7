#include "controls/ListBoxWindow.h"

#include <algorithm>

ListBoxWindow::ListBoxWindow(const ListBoxParams& params, ListBoxGeometry geometry,
                             std::function<int(int)> measure)
    : params_(params), geometry_(std::move(geometry)), measure_(std::move(measure)) {
  params_.itemHeight = std::max(1, params_.itemHeight);
}

int ListBoxWindow::SortedPosition(const QString& text) const {
  const auto at = std::upper_bound(items_.begin(), items_.end(), text,
                                   [](const QString& value, const Item& item) {
                                     return value.compare(item.text, Qt::CaseInsensitive) < 0;
                                   });
  return static_cast<int>(at - items_.begin());
}

int ListBoxWindow::AddString(const QString& text) {
  return Insert(params_.sorted ? SortedPosition(text) : Count(), text);
}

int ListBoxWindow::InsertString(int index, const QString& text) {
  if (index == -1) index = Count();
  if (index < 0 || index > Count()) return kError;
  return Insert(index, text);
}

int ListBoxWindow::Insert(int index, const QString& text) {
  if (Count() >= kMaxItems) return kError;
  Item item;
  item.text = text;
  item.height = params_.itemHeight;
  items_.insert(items_.begin() + index, std::move(item));
  if (params_.ownerDrawVariable && measure_) {
    items_[index].height = std::max(1, measure_(index));
  }
  if (curSel_ >= index) ++curSel_;
  if (caret_ >= index && Count() > 1) ++caret_;
  return index;
}

int ListBoxWindow::DeleteString(int index) {
  if (!InRange(index)) return kError;
  items_.erase(items_.begin() + index);
  if (curSel_ == index)
    curSel_ = -1;
  else if (curSel_ > index)
    --curSel_;
  if (caret_ > index || caret_ >= Count()) caret_ = std::max(0, caret_ - 1);
  top_ = std::clamp(top_, 0, std::max(0, Count() - 1));
  return Count();
}

void ListBoxWindow::ResetContent() {
  items_.clear();
  curSel_ = -1;
  caret_ = 0;
  top_ = 0;
}

std::optional<QString> ListBoxWindow::Text(int index) const {
  if (!InRange(index)) return std::nullopt;
  return items_[index].text;
}

std::optional<uint32_t> ListBoxWindow::ItemData(int index) const {
  if (!InRange(index)) return std::nullopt;
  return items_[index].data;
}

bool ListBoxWindow::SetItemData(int index, uint32_t value) {
  if (!InRange(index)) return false;
  items_[index].data = value;
  return true;
}

int ListBoxWindow::CurSel() const {
  return params_.multiSelect ? caret_ : curSel_;
}

bool ListBoxWindow::SetCurSel(int index) {
  if (params_.multiSelect) return false;
  if (index != -1 && !InRange(index)) {
    curSel_ = -1;
    return false;
  }
  curSel_ = index;
  if (index >= 0) caret_ = index;
  return true;
}

void ListBoxWindow::SetCaret(int index) {
  if (InRange(index)) caret_ = index;
}

int ListBoxWindow::IsSelected(int index) const {
  if (!InRange(index)) return kError;
  return params_.multiSelect ? int(items_[index].selected) : int(index == curSel_);
}

bool ListBoxWindow::SetSelected(int index, bool selected) {
  if (!params_.multiSelect) return false;
  if (index == -1) {
    for (Item& item : items_) item.selected = selected;
    return true;
  }
  if (!InRange(index)) return false;
  items_[index].selected = selected;
  return true;
}

void ListBoxWindow::SelectRange(int from, int to, bool selected) {
  if (from > to) std::swap(from, to);
  for (int i = std::max(from, 0); i <= to && i < Count(); ++i) items_[i].selected = selected;
}

bool ListBoxWindow::SetTopIndex(int index) {
  if (!InRange(index) && !(index == 0 && Count() == 0)) return false;
  // Scrolling stops where the last item reaches the bottom.
  top_ = MultiColumn() ? index : std::min(index, MaxTopIndex());
  return true;
}

int ListBoxWindow::MaxTopIndex() const {
  int height = 0, fitting = 0;
  for (int i = Count() - 1; i >= 0; --i) {
    height += ItemHeight(i);
    if (height > ClientSize().height()) break;
    ++fitting;
  }
  return std::max(0, Count() - std::max(fitting, 1));
}

void ListBoxWindow::EnsureVisible(int index) {
  if (!InRange(index)) return;
  if (index < top_) {
    top_ = index;
    return;
  }
  if (MultiColumn()) {
    const int rows = RowsPerColumn();
    const int columns = std::max(1, ClientSize().width() / ColumnWidth());
    if (index >= top_ + rows * columns) top_ = (index / rows - columns + 1) * rows;
    return;
  }
  // Move the top down until the item's bottom fits.
  while (top_ < index) {
    const auto rect = ItemRect(index);
    if (rect && rect->bottom() < ClientSize().height()) break;
    ++top_;
  }
}

int ListBoxWindow::ItemHeight(int index) const {
  if (params_.ownerDrawVariable && InRange(index)) return items_[index].height;
  return params_.itemHeight;
}

bool ListBoxWindow::SetItemHeight(int index, int height) {
  if (height <= 0) return false;
  if (params_.ownerDrawVariable) {
    if (!InRange(index)) return false;
    items_[index].height = height;
  } else {
    params_.itemHeight = height;
  }
  return true;
}

int ListBoxWindow::RowsPerColumn() const {
  return std::max(1, ClientSize().height() / params_.itemHeight);
}

std::optional<QRect> ListBoxWindow::ItemRect(int index) const {
  if (!InRange(index) && !(index == 0 && Count() == 0)) return std::nullopt;
  const int width = ClientSize().width();
  if (MultiColumn()) {
    const int rows = RowsPerColumn();
    const int offset = index - top_;
    const int column = offset >= 0 ? offset / rows : (offset - rows + 1) / rows;
    const int row = offset - column * rows;
    return QRect(column * ColumnWidth(), row * params_.itemHeight, ColumnWidth(),
                 params_.itemHeight);
  }
  int y = 0;
  if (index >= top_) {
    for (int i = top_; i < index; ++i) y += ItemHeight(i);
  } else {
    for (int i = index; i < top_; ++i) y -= ItemHeight(i);
  }
  return QRect(0, y, width, ItemHeight(index));
}

int ListBoxWindow::VisibleCount() const {
  if (MultiColumn()) {
    const int columns = std::max(1, ClientSize().width() / ColumnWidth());
    return std::min(Count() - top_, RowsPerColumn() * columns);
  }
  int y = 0, n = 0;
  for (int i = top_; i < Count(); ++i) {
    y += ItemHeight(i);
    if (y > ClientSize().height()) break;
    ++n;
  }
  return n;
}
