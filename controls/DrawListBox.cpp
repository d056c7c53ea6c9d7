#include "controls/DrawListBox.h"

#include <QFocusEvent>
#include <algorithm>

#include "controls/OverDraw.h"

namespace {
constexpr int kDefaultWidth = 121;
constexpr int kDefaultHeight = 97;
constexpr int kSunkenEdge = 2;  // the single border, drawn as a sunken client edge
}  // namespace

TCustomDrawListBox::TCustomDrawListBox(QWidget* parent)
    : QWidget(parent), items_(*this), backBuffer_(1, 1, QImage::Format_RGB32) {
  backBuffer_.fill(color_);
  canvas_ = std::make_unique<platform::Canvas>(backBuffer_);
  resize(kDefaultWidth, kDefaultHeight);
  setFocusPolicy(Qt::StrongFocus);
  setAttribute(Qt::WA_OpaquePaintEvent);
  CreateWnd();
  InitOverDrawControl(*this);
}

TCustomDrawListBox::~TCustomDrawListBox() = default;

ListBoxWindow& TCustomDrawListBox::Window() {
  return *window_;
}
const ListBoxWindow& TCustomDrawListBox::Window() const {
  return *window_;
}

QPoint TCustomDrawListBox::ClientOrigin() const {
  const int edge = borderStyle_ == bsSingle ? kSunkenEdge : 0;
  return {edge, edge};
}

QSize TCustomDrawListBox::ClientSize() const {
  const int edge = borderStyle_ == bsSingle ? kSunkenEdge : 0;
  return {std::max(0, width() - 2 * edge), std::max(0, height() - 2 * edge)};
}

ListBoxParams TCustomDrawListBox::MakeParams() const {
  ListBoxParams params;
  params.ownerDrawFixed = style_ == lbOwnerDrawFixed;
  params.ownerDrawVariable = style_ == lbOwnerDrawVariable;
  params.sorted = sorted_;
  params.multiSelect = multiSelect_;
  params.extendedSelect = multiSelect_ && extendedSelect_;
  params.columns = columns_;
  // The system measures a standard item by the font; owner-drawn ones are asked.
  params.itemHeight = style_ == lbStandard
                          ? platform::MeasureText(font_, QStringLiteral("Ág")).height()
                          : itemHeight_;
  return params;
}

void TCustomDrawListBox::CreateWnd() {
  ListBoxGeometry geometry;
  geometry.clientSize = [this] { return ClientSize(); };
  // Set on creation and on every resize as (width + columns - 3) div columns.
  geometry.columnWidth = [this] { return columns_ > 0 ? (width() + columns_ - 3) / columns_ : 0; };
  window_ = std::make_unique<ListBoxWindow>(MakeParams(), std::move(geometry), [this](int index) {
    int height = itemHeight_;
    MeasureItem(index, height);
    return height;
  });
  ++generation_;
  if (saved_) {
    for (const auto& [text, value] : saved_->items) {
      const int index = window_->AddString(text);
      if (index >= 0) window_->SetItemData(index, value);
    }
    window_->SetTopIndex(saved_->top);
    if (multiSelect_)
      window_->SetCaret(saved_->selected);
    else
      window_->SetCurSel(saved_->selected);
    saved_.reset();
  }
  InvalidateItems();
}

void TCustomDrawListBox::DestroyWnd() {
  if (window_ && window_->Count() > 0) {
    SavedItems saved;
    for (int i = 0; i < window_->Count(); ++i)
      saved.items.emplace_back(*window_->Text(i), *window_->ItemData(i));
    saved.top = window_->TopIndex();
    saved.selected = window_->CurSel();
    saved_ = std::move(saved);
  }
  window_.reset();
}

void TCustomDrawListBox::RecreateWnd() {
  DestroyWnd();
  CreateWnd();
}

int TCustomDrawListBox::ItemHeight() const {
  return style_ == lbStandard ? window_->ItemHeight(0) : itemHeight_;
}

void TCustomDrawListBox::SetItemHeight(int height) {
  if (height <= 0 || height == itemHeight_) return;
  itemHeight_ = height;
  RecreateWnd();
}

void TCustomDrawListBox::SetStyle(TListBoxStyle style) {
  if (style == style_) return;
  style_ = style;
  RecreateWnd();
}

void TCustomDrawListBox::SetBorderStyle(TBorderStyle style) {
  if (style == borderStyle_) return;
  borderStyle_ = style;
  resizeEvent(nullptr);
  RecreateWnd();
}

void TCustomDrawListBox::SetColumns(int columns) {
  columns = std::max(columns, 0);
  if (columns == columns_) return;
  const bool styleChanges = (columns_ == 0) != (columns == 0);
  columns_ = columns;
  if (styleChanges) {
    RecreateWnd();
  } else {
    InvalidateItems();
  }
}

void TCustomDrawListBox::SetTabWidth(int width) {
  width = std::max(width, 0);
  if (width == tabWidth_) return;
  tabWidth_ = width;
  RecreateWnd();
}

void TCustomDrawListBox::SetSorted(bool sorted) {
  if (sorted == sorted_) return;
  sorted_ = sorted;
  RecreateWnd();
}

void TCustomDrawListBox::SetMultiSelect(bool multiSelect) {
  if (multiSelect == multiSelect_) return;
  multiSelect_ = multiSelect;
  RecreateWnd();
}

void TCustomDrawListBox::SetExtendedSelect(bool extendedSelect) {
  if (extendedSelect == extendedSelect_) return;
  extendedSelect_ = extendedSelect;
  RecreateWnd();
}

void TCustomDrawListBox::SetIntegralHeight(bool integralHeight) {
  if (integralHeight == integralHeight_) return;
  integralHeight_ = integralHeight;
  RecreateWnd();
  resizeEvent(nullptr);
}

void TCustomDrawListBox::SetColor(const QColor& colour) {
  color_ = colour;
  InvalidateItems();
}

void TCustomDrawListBox::SetFont(const platform::FontSpec& font) {
  font_ = font;
  if (style_ == lbStandard)
    RecreateWnd();  // the system's item height follows the font
  else
    InvalidateItems();
}

void TCustomDrawListBox::SetVisible(bool visible) {
  if (visible == visible_) return;
  visible_ = visible;
  if (visible && !totalCtrlOverDraw_) invalid_ = true;
  setAttribute(Qt::WA_OpaquePaintEvent, visible);
  ApplyControlVisible(*this, visible, totalCtrlOverDraw_, Qt::StrongFocus);
}

bool TCustomDrawListBox::CanFocus() const {
  return visible_ && isEnabled() && window() && window()->isVisible();
}

int TCustomDrawListBox::ItemIndex() const {
  return window_->CurSel();
}

void TCustomDrawListBox::SetItemIndex(int index) {
  const int old = ItemIndex();
  if (index == old) return;
  const int oldTop = window_->TopIndex();
  if (multiSelect_) {
    window_->SetCaret(index);
  } else {
    window_->SetCurSel(index);
    if (index >= 0) window_->EnsureVisible(index);
  }
  if (window_->TopIndex() != oldTop) {
    InvalidateItems();
  } else {
    RedrawItemsNow({old, index});
  }
}

int TCustomDrawListBox::TopIndex() const {
  return window_->TopIndex();
}

void TCustomDrawListBox::SetTopIndex(int index) {
  if (index == TopIndex()) return;
  if (window_->SetTopIndex(index)) InvalidateItems();
}

bool TCustomDrawListBox::Selected(int index) const {
  const int selected = window_->IsSelected(index);
  if (selected == ListBoxWindow::kError) throw EListError::IndexOutOfBounds(index);
  return selected != 0;
}

void TCustomDrawListBox::SetSelected(int index, bool selected) {
  if (multiSelect_) {
    if (!window_->SetSelected(index, selected)) throw EListError::IndexOutOfBounds(index);
    RedrawItemsNow({index});
  } else if (selected) {
    SetItemIndex(index);
  } else if (ItemIndex() == index) {
    SetItemIndex(-1);
  }
}

int TCustomDrawListBox::ItemAtPos(const QPoint& point, bool existing) const {
  if (!QRect(QPoint(0, 0), ClientSize()).contains(point)) return -1;
  const int count = window_->Count();
  for (int i = window_->TopIndex(); i < count; ++i)
    if (ItemRect(i).contains(point)) return i;
  return existing ? -1 : count;
}

QRect TCustomDrawListBox::ItemRect(int index) const {
  const int count = window_->Count();
  if (index == 0 || index < count) return window_->ItemRect(index).value_or(QRect());
  if (index == count) {
    const QRect last = window_->ItemRect(count - 1).value_or(QRect());
    return last.translated(0, last.height());
  }
  return QRect(0, 0, 0, 0);
}

void TCustomDrawListBox::resizeEvent(QResizeEvent*) {
  if (integralHeight_ && style_ != lbOwnerDrawVariable && columns_ == 0) {
    // Whole rows only: the window shrinks to the last row that fits.
    const int edge = borderStyle_ == bsSingle ? 2 * kSunkenEdge : 0;
    const int rowHeight = std::max(1, window_ ? window_->ItemHeight(0) : itemHeight_);
    const int wanted = (ClientSize().height() / rowHeight) * rowHeight + edge;
    if (wanted != height() && wanted > edge) {
      resize(width(), wanted);
      return;
    }
  }
  FitBuffer();
}

void TCustomDrawListBox::changeEvent(QEvent* event) {
  if (event->type() == QEvent::EnabledChange) InvalidateItems();
  QWidget::changeEvent(event);
}

// The focused row is drawn again at the next paint, not at once: focus also moves while the
// window closes, when the owner's drawing handler may no longer be callable.
void TCustomDrawListBox::focusInEvent(QFocusEvent* event) {
  InvalidateItems();
  event->accept();  // the items show the focus; nothing else repaints
}

void TCustomDrawListBox::focusOutEvent(QFocusEvent* event) {
  InvalidateItems();
  event->accept();
}

bool TCustomDrawListBox::event(QEvent* event) {
  if (!visible_ && IsInputEvent(*event)) {
    event->ignore();
    return false;
  }
  return QWidget::event(event);
}
