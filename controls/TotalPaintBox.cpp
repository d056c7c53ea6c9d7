#include "controls/TotalPaintBox.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <algorithm>

#include "controls/OverDraw.h"

namespace {
constexpr int kDefaultSize = 105;
}

TTotalPaintBox::TTotalPaintBox(QWidget* parent)
    : QWidget(parent), backBuffer_(kDefaultSize, kDefaultSize, QImage::Format_RGB32) {
  backBuffer_.fill(Qt::black);
  canvas_ = std::make_unique<platform::Canvas>(backBuffer_);
  resize(kDefaultSize, kDefaultSize);
  invalid_ = rect();
  setMouseTracking(true);
  setAttribute(Qt::WA_OpaquePaintEvent);
  InitOverDrawControl(*this);
}

TTotalPaintBox::~TTotalPaintBox() = default;

void TTotalPaintBox::SetVisible(bool visible) {
  if (visible == visible_) return;
  visible_ = visible;
  if (!visible && pressed_) pressed_ = false;
  if (visible && !totalCtrlOverDraw_) invalid_ = rect();
  setAttribute(Qt::WA_OpaquePaintEvent, visible);
  ApplyControlVisible(*this, visible, totalCtrlOverDraw_, Qt::NoFocus);
}

bool TTotalPaintBox::MouseCapture() const {
  return pressed_ || QWidget::mouseGrabber() == this;
}

void TTotalPaintBox::SetMouseCapture(bool capture) {
  if (capture) {
    if (isVisible() && QWidget::mouseGrabber() != this) grabMouse();
  } else if (QWidget::mouseGrabber() == this) {
    releaseMouse();
  }
}

platform::Canvas& TTotalPaintBox::Canvas() {
  FitBuffer();
  if (!inPaint_) update();
  return *canvas_;
}

void TTotalPaintBox::Invalidate() {
  Invalidate(rect());
}

void TTotalPaintBox::Invalidate(const QRect& area) {
  if (Ignoring()) return;
  invalid_ += area & rect();
  update(area);
}

void TTotalPaintBox::Repaint() {
  if (Ignoring()) return;
  invalid_ = rect();
  repaint();
}

void TTotalPaintBox::Paint() {
  canvas_->SetFont(font_);
  canvas_->SetBrush(color_);
  Fire(OnPaint, this);
}

bool TTotalPaintBox::CoverWith(const platform::Bitmap& picture) {
  if (!inPaint_ || !paintingWhole_ || picture.Image().size() != size() ||
      picture.Image().format() != QImage::Format_RGB32)
    return false;
  canvas_->Image();  // ends any painter on the surface it replaces
  backBuffer_ = picture.Image();
  invalid_ = QRegion();  // what still waited for OnPaint is the picture too
  return true;
}

void TTotalPaintBox::paintEvent(QPaintEvent* event) {
  if (!visible_) return;  // what lies below shows through, as it was or repainted
  NoteFreshArea();
  const QRegion due = invalid_ & event->region();
  if (!due.isEmpty()) {
    // Parts under opaque siblings are left out of the paint but still wait for OnPaint.
    paintingWhole_ = QRegion(rect()).subtracted(invalid_).isEmpty();
    invalid_ -= due;
    inPaint_ = true;
    canvas_->SetClipRect(due.boundingRect());
    Paint();
    canvas_->SetClipRect(QRect());
    paintingWhole_ = false;
    inPaint_ = false;
  }
  FitBuffer();  // when OnPaint neither drew nor covered the box
  QPainter painter(this);
  painter.setClipRegion(event->region());
  painter.drawImage(0, 0, canvas_->Image());
}

void TTotalPaintBox::resizeEvent(QResizeEvent*) {
  NoteFreshArea();
}

void TTotalPaintBox::NoteFreshArea() {
  invalid_ = (invalid_ | (QRegion(rect()) - QRegion(backBuffer_.rect()))) & rect();
}

// Qt holds a hidden widget's resize back until it shows; the buffer follows the geometry as
// soon as the owner asks for the surface, so that it can draw on a box it has just placed.
void TTotalPaintBox::FitBuffer() {
  if (backBuffer_.size() == size() || size().isEmpty()) return;
  // The buffer keeps what was drawn; a larger box waits for OnPaint in its new part.
  canvas_->Image();
  QImage grown(size(), QImage::Format_RGB32);
  grown.fill(Qt::black);
  {
    QPainter painter(&grown);
    painter.drawImage(0, 0, backBuffer_);
  }
  const QRegion fresh = QRegion(rect()) - QRegion(backBuffer_.rect());
  backBuffer_ = grown;
  invalid_ = (invalid_ | fresh) & rect();
}

void TTotalPaintBox::mousePressEvent(QMouseEvent* event) {
  const QPoint p = event->position().toPoint();
  pressed_ = true;
  if (event->button() == Qt::LeftButton) clickPending_ = true;
  Fire(OnMouseDown, this, event->button(), event->modifiers(), p.x(), p.y());
}

void TTotalPaintBox::mouseMoveEvent(QMouseEvent* event) {
  const QPoint p = event->position().toPoint();
  Fire(OnMouseMove, this, event->modifiers(), p.x(), p.y());
}

void TTotalPaintBox::mouseReleaseEvent(QMouseEvent* event) {
  const QPoint p = event->position().toPoint();
  pressed_ = event->buttons() != Qt::NoButton;
  // A click is a left press and release both on the box.
  const bool click = event->button() == Qt::LeftButton && clickPending_ && rect().contains(p);
  if (event->button() == Qt::LeftButton) clickPending_ = false;
  if (click) Fire(OnClick, this);
  Fire(OnMouseUp, this, event->button(), event->modifiers(), p.x(), p.y());
}

void TTotalPaintBox::mouseDoubleClickEvent(QMouseEvent* event) {
  const QPoint p = event->position().toPoint();
  pressed_ = true;
  if (event->button() == Qt::LeftButton) Fire(OnDblClick, this);
  Fire(OnMouseDown, this, event->button(), event->modifiers(), p.x(), p.y());
}

TTotalSpeed::TTotalSpeed(QWidget* parent) : QToolButton(parent) {
  setAutoRaise(true);  // the flat look of a speed button
  setFocusPolicy(Qt::NoFocus);
  InitOverDrawControl(*this);
}

void TTotalSpeed::SetVisible(bool visible) {
  if (visible == visible_) return;
  visible_ = visible;
  ApplyControlVisible(*this, visible, totalCtrlOverDraw_, Qt::NoFocus);
}

void TTotalSpeed::paintEvent(QPaintEvent* event) {
  if (!visible_) return;
  QToolButton::paintEvent(event);
}

bool TTotalPaintBox::event(QEvent* event) {
  if (!visible_ && IsInputEvent(*event)) {
    event->ignore();
    return false;
  }
  return QWidget::event(event);
}

bool TTotalSpeed::event(QEvent* event) {
  if (!visible_ && IsInputEvent(*event)) {
    event->ignore();
    return false;
  }
  return QToolButton::event(event);
}
