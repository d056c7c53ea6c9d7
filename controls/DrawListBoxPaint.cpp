// TCustomDrawListBox: the back buffer and the drawing of items.

#include <QPaintEvent>
#include <QPainter>
#include <algorithm>

#include "controls/DrawListBox.h"

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
