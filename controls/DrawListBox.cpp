#include "controls/DrawListBox.h"

#include <QPaintEvent>
#include <QPainter>
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

platform::Canvas& TCustomDrawListBox::Canvas() {
  FitBuffer();
  if (!inPaint_) update();
  return *canvas_;
}

TOwnerDrawState TCustomDrawListBox::StateOf(int index) const {
  TOwnerDrawState state = 0;
  if (window_->IsSelected(index) == 1) state |= odSelected;
  if (hasFocus() && index == window_->Caret()) state |= odFocused;
  if (!isEnabled()) state |= odDisabled;
  return state;
}

void TCustomDrawListBox::DrawItemRequest(int index, const QRect& rect, TOwnerDrawState state) {
  canvas_->SetFont(font_);
  canvas_->SetBrush(color_);
  if (index < 0) {
    canvas_->Fill(rect, color_);
    return;
  }
  if (style_ == lbStandard) {
    // The system draws standard items itself, the selected one highlighted.
    const bool selected = state & odSelected;
    canvas_->Fill(rect, selected ? palette().color(QPalette::Highlight) : color_);
    platform::FontSpec font = font_;
    if (selected) font.Colour = palette().color(QPalette::HighlightedText);
    canvas_->SetFont(font);
    canvas_->SetTextBackground(platform::TextBackground::Clear);
    canvas_->TextOut(rect.left() + 2, rect.top(), window_->Text(index).value_or(QString()));
    return;
  }
  DrawItem(index, rect, state);
}

void TCustomDrawListBox::DrawItem(int index, const QRect& rect, TOwnerDrawState state) {
  if (OnDrawItem) {
    Fire(OnDrawItem, this, index, rect, state);
    return;
  }
  canvas_->Fill(rect, color_);
  canvas_->SetTextBackground(platform::TextBackground::Clear);
  canvas_->TextOut(rect.left() + 2, rect.top(), window_->Text(index).value_or(QString()));
}

void TCustomDrawListBox::MeasureItem(int index, int& height) {
  Fire(OnMeasureItem, this, index, height);
}

void TCustomDrawListBox::RedrawItemsNow(std::initializer_list<int> indexes) {
  if (!visible_ || !redraw_ || !isVisible()) return;
  const QRect client(QPoint(0, 0), ClientSize());
  const bool wasInPaint = inPaint_;
  inPaint_ = true;
  for (int index : indexes) {
    if (index < 0 || index >= window_->Count()) continue;
    const QRect rect = window_->ItemRect(index).value_or(QRect());
    if (rect.intersects(client)) DrawItemRequest(index, rect, StateOf(index));
  }
  inPaint_ = wasInPaint;
  update();
}

void TCustomDrawListBox::InvalidateItems() {
  invalid_ = true;
  if (visible_ && redraw_) update();
}

void TCustomDrawListBox::SetRedraw(bool on) {
  redraw_ = on;
  if (on) {
    InvalidateItems();
    repaint();
  }
}

void TCustomDrawListBox::DrawInvalid() {
  invalid_ = false;
  const QSize client = ClientSize();
  canvas_->SetClipRect(QRect());
  canvas_->Fill(QRect(QPoint(0, 0), client), color_);
  const int count = window_->Count();
  if (count == 0) {
    if (hasFocus() && style_ != lbStandard)
      DrawItemRequest(-1, QRect(0, 0, client.width(), ItemHeight()), odFocused);
    return;
  }
  for (int i = window_->TopIndex(); i < count; ++i) {
    const QRect rect = window_->ItemRect(i).value_or(QRect());
    if (rect.top() >= client.height() || rect.left() >= client.width()) break;
    DrawItemRequest(i, rect, StateOf(i));
  }
}

void TCustomDrawListBox::PaintTo(platform::Canvas& target, const QPoint& origin) {
  const bool wasInPaint = inPaint_;
  inPaint_ = true;
  const int count = window_->Count();
  int index = window_->TopIndex();
  for (int y = 0; y < height() && index < count; ++index) {
    int itemHeight = ItemHeight();
    MeasureItem(index, itemHeight);
    const QRect rect(0, y, width(), itemHeight);
    DrawItemRequest(index, rect, StateOf(index));
    target.BitBlt(origin + rect.topLeft(), rect.size(), *canvas_, rect.topLeft());
    y += itemHeight;
  }
  inPaint_ = wasInPaint;
  update();
}

void TCustomDrawListBox::paintEvent(QPaintEvent* event) {
  if (!visible_) return;
  FitBuffer();
  if (invalid_ && redraw_) {
    inPaint_ = true;
    DrawInvalid();
    inPaint_ = false;
  }
  QPainter painter(this);
  if (borderStyle_ == bsSingle) {
    const QRect r = rect();
    painter.setPen(QColor(128, 128, 128));
    painter.drawLine(r.topLeft(), r.topRight());
    painter.drawLine(r.topLeft(), r.bottomLeft());
    painter.setPen(Qt::white);
    painter.drawLine(r.bottomLeft(), r.bottomRight());
    painter.drawLine(r.topRight(), r.bottomRight());
    const QRect inner = r.adjusted(1, 1, -1, -1);
    painter.setPen(QColor(64, 64, 64));
    painter.drawLine(inner.topLeft(), inner.topRight());
    painter.drawLine(inner.topLeft(), inner.bottomLeft());
    painter.setPen(QColor(192, 192, 192));
    painter.drawLine(inner.bottomLeft(), inner.bottomRight());
    painter.drawLine(inner.topRight(), inner.bottomRight());
  }
  const QRect client(ClientOrigin(), ClientSize());
  painter.setClipRegion(event->region() & client);
  painter.drawImage(client.topLeft(), canvas_->Image());
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

// Qt holds a hidden widget's resize back until it shows; the buffer follows the geometry at
// once, so the owner can draw on a list it has just placed.
void TCustomDrawListBox::FitBuffer() {
  const QSize client = ClientSize();
  const QSize wanted(std::max(1, client.width()), std::max(1, client.height()));
  if (backBuffer_.size() == wanted) return;
  canvas_->Image();  // finish any drawing before the buffer is replaced
  backBuffer_ = QImage(wanted, QImage::Format_RGB32);
  backBuffer_.fill(color_);
  InvalidateItems();
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
