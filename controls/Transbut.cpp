#include "controls/Transbut.h"

#include <QEnterEvent>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <optional>

#include "platform/Canvas.h"

using platform::Bitmap;

QString ForeignBGParentMessage() {
  return QStringLiteral(
      "O TGraphicControl especificado n\u00E3o tem o mesmo parente que o TTransButton.");
}

namespace {

// Colour of a picture's pixel without alpha, or nothing outside the picture.
std::optional<QRgb> ColourAt(const Bitmap& picture, int x, int y) {
  if (picture.IsEmpty() || !picture.Image().valid(x, y)) return std::nullopt;
  return picture.Image().pixel(x, y) & 0xFFFFFFu;
}

}  // namespace

TPictureButton::TPictureButton(QWidget* parent) : QWidget(parent) {
  resize(4, 4);
  lastBounds_ = geometry();
  setMouseTracking(true);
  // The button covers its whole rectangle, so Qt need not paint what lies below it.
  setAttribute(Qt::WA_OpaquePaintEvent);
}

TPictureButton::~TPictureButton() = default;

// ---- pictures --------------------------------------------------------------------------

void TPictureButton::SetPicture(Which which, const Bitmap& picture) {
  switch (which) {
    case Which::Up:
      picUp_ = picture;
      break;
    case Which::Up2:
      picUp2_ = picture;
      break;
    case Which::Move:
      picMove_ = picture;
      break;
    case Which::Down:
      picDown_ = picture;
      break;
    case Which::Disabled:
      picDisabled_ = picture;
      break;
  }
  PictureChanged(which);
}

void TPictureButton::SetPicUp(const Bitmap& picture) {
  SetPicture(Which::Up, picture);
}
void TPictureButton::SetPicUp2(const Bitmap& picture) {
  SetPicture(Which::Up2, picture);
}
void TPictureButton::SetPicMove(const Bitmap& picture) {
  SetPicture(Which::Move, picture);
}
void TPictureButton::SetPicDown(const Bitmap& picture) {
  SetPicture(Which::Down, picture);
}
void TPictureButton::SetPicDisabled(const Bitmap& picture) {
  SetPicture(Which::Disabled, picture);
}

void TPictureButton::PictureChanged(Which which) {
  const Bitmap* picture = nullptr;
  bool shown = false;
  switch (which) {
    case Which::Up:
      picture = &picUp_;
      // A toggled button keeps showing its second up picture when it has one.
      shown = state_ == kUp && !(showUp2Pic_ && !picUp2_.IsEmpty());
      break;
    case Which::Up2:
      picture = &picUp2_;
      shown = state_ == kUp && showUp2Pic_;
      break;
    case Which::Move:
      picture = &picMove_;
      shown = state_ == kHover;
      break;
    case Which::Down:
      picture = &picDown_;
      shown = state_ == kDown;
      break;
    case Which::Disabled:
      picture = &picDisabled_;
      shown = state_ == kDisabled;
      break;
  }
  if (!picture->IsEmpty())
    resize(std::max(width(), picture->Width()), std::max(height(), picture->Height()));
  if (shown) ShowPicture(which == Which::Up || which == Which::Up2 ? UpPicture() : *picture);
}

void TPictureButton::ShowPicture(const Bitmap& picture) {
  current_ = picture;
  if (!inPaint_) update();
}

const Bitmap& TPictureButton::UpPicture() const {
  // A toggle whose skin lacks the second picture shows its only one rather than nothing.
  return showUp2Pic_ && !picUp2_.IsEmpty() ? picUp2_ : picUp_;
}

const Bitmap* TPictureButton::PictureOf(uint8_t state) const {
  switch (state) {
    case kUp:
      return &UpPicture();
    case kDown:
      return &picDown_;
    case kHover:
      return &picMove_;
    case kDisabled:
      return &picDisabled_;
    default:
      return nullptr;
  }
}

void TPictureButton::SetState(uint8_t newState) {
  if (newState == state_) return;
  state_ = newState;
  const Bitmap* picture = PictureOf(newState);
  if (!picture || picture->IsEmpty()) return;  // a missing picture keeps the one shown
  ShowPicture(*picture);
}

void TPictureButton::RefreshPictures() {
  UpdateBackground();
  if (!Enabled() && !picDisabled_.IsEmpty())
    SetState(kDisabled);
  else
    SetState(kUp);
  if (current_.IsEmpty()) {
    const Bitmap* picture = PictureOf(state_);
    if (picture && !picture->IsEmpty()) ShowPicture(*picture);
  }
}

// ---- properties ------------------------------------------------------------------------

void TPictureButton::SetShowUp2Pic(bool value) {
  if (value == showUp2Pic_) return;
  showUp2Pic_ = value;
  if (state_ != kUp) return;  // a hovered or pressed button changes when it returns to up
  const Bitmap& up = UpPicture();
  if (!up.IsEmpty()) ShowPicture(up);
}

void TPictureButton::SetPicTransp(bool value) {
  if (value == picTransp_) return;
  picTransp_ = value;
  if (!inPaint_) update();
}

void TPictureButton::SetTotalCtrlOverDraw(bool value) {
  if (value == totalCtrlOverDraw_) return;
  totalCtrlOverDraw_ = value;
  if (!value) {
    setAttribute(Qt::WA_TransparentForMouseEvents, false);
    setAttribute(Qt::WA_OpaquePaintEvent, true);
    if (!visible_) QWidget::setVisible(false);
  }
}

void TPictureButton::setVisible(bool visible) {
  visible_ = visible;
  if (!visible) {
    pressed_ = false;
    captured_ = false;
  }
  if (!totalCtrlOverDraw_) {
    QWidget::setVisible(visible);
    return;
  }
  // Neither change may make Qt repaint the parent: the button stays a shown widget and only
  // stops painting and taking the mouse. A hidden button lets the parent paint its area on the
  // owner's next repaint.
  if (!visible && !testAttribute(Qt::WA_WState_Visible)) {
    // Not on screen yet: a real hide repaints nothing, and keeps Qt from showing the button
    // with its parent.
    QWidget::setVisible(false);
    return;
  }
  setAttribute(Qt::WA_TransparentForMouseEvents, !visible);
  setAttribute(Qt::WA_OpaquePaintEvent, visible);
  if (!visible) {
    CaptureLost();
  } else if (isHidden() || !testAttribute(Qt::WA_WState_Visible)) {
    QWidget::setVisible(true);  // also how Qt shows children with their parent
  }
}

void TPictureButton::SetBGParent(QWidget* control) {
  if (control == bgParent_) return;
  if (control && control->parentWidget() != parentWidget())
    throw ETransButError(ForeignBGParentMessage());
  bgParent_ = control;
  UpdateBackground();
}

const Bitmap* TPictureButton::ExternalBackground() const {
  return externalBackground_;
}

void TPictureButton::SetBackground(const Bitmap* background) {
  externalBackground_ = background;
  UpdateBackground();
}

QVector<QRgb> TPictureButton::ButtonPalette() const {
  if (externalBackground_) return externalBackground_->Palette();
  return picUp_.Palette();
}

// ---- background and painting -----------------------------------------------------------

void TPictureButton::UpdateBackground() {
  if (!parentWidget()) return;
  if (width() <= 0 || height() <= 0) {
    backgroundCache_ = Bitmap();
    return;
  }
  if (backgroundCache_.Width() != width() || backgroundCache_.Height() != height())
    backgroundCache_ = Bitmap(QImage(size(), QImage::Format_RGB32));
  QWidget* parent = parentWidget();
  backgroundCache_.Image().fill(parent->palette().color(parent->backgroundRole()));
  if (externalBackground_ && !externalBackground_->IsEmpty()) {
    const QPoint origin =
        bgParent_ ? QPoint(x() - bgParent_->x(), y() - bgParent_->y()) : geometry().topLeft();
    platform::Canvas cache(backgroundCache_);
    cache.BitBlt(QPoint(0, 0), size(), *externalBackground_, origin);
  }
  if (!current_.IsEmpty()) update();
}

QImage TPictureButton::Compose() const {
  QImage frame;
  if (backgroundCache_.Width() == width() && backgroundCache_.Height() == height()) {
    frame = backgroundCache_.Image().copy();
  } else {
    frame = QImage(size().expandedTo(QSize(1, 1)), QImage::Format_RGB32);
    const QWidget* parent = parentWidget() ? parentWidget() : this;
    frame.fill(parent->palette().color(parent->backgroundRole()));
  }
  if (!current_.IsEmpty()) {
    platform::Canvas canvas(frame);
    const int x = (width() - current_.Width()) / 2;
    const int y = (height() - current_.Height()) / 2;
    if (picTransp_)
      canvas.DrawTransparent(x, y, current_, current_.Image().pixel(0, current_.Height() - 1));
    else
      canvas.Draw(x, y, current_);
  }
  return frame;
}

void TPictureButton::paintEvent(QPaintEvent*) {
  if (totalCtrlOverDraw_ && !visible_) return;
  inPaint_ = true;
  QPainter painter(this);
  painter.drawImage(0, 0, Compose());
  inPaint_ = false;
}

void TPictureButton::moveEvent(QMoveEvent*) {
  if (geometry() == lastBounds_) return;
  lastBounds_ = geometry();
  UpdateBackground();
}

void TPictureButton::resizeEvent(QResizeEvent*) {
  if (geometry() == lastBounds_) return;
  lastBounds_ = geometry();
  UpdateBackground();
}

// ---- mouse -----------------------------------------------------------------------------

bool TPictureButton::IsSensitive(int x, int y) const {
  return !picTransp_ || fullAreaSense_ || IsOnPicture(x, y);
}

bool TPictureButton::IsOnPicture(int x, int y) const {
  return !picTransp_ || ColourAt(picUp_, x, y) != ColourAt(picUp_, 0, height() - 1);
}

void TPictureButton::Clicked(bool, int, int) {
  Fire(OnClick, this);
}

void TPictureButton::mousePressEvent(QMouseEvent* event) {
  const QPoint pos = event->position().toPoint();
  event->accept();
  if (event->button() != Qt::LeftButton) {
    Fire(OnMouseDown, this, event->button(), event->modifiers(), pos.x(), pos.y());
    return;
  }
  if (!IsSensitive(pos.x(), pos.y())) return;  // a transparent pixel: as if nothing happened
  SetState(kDown);
  captured_ = true;
  pressed_ = true;
  Fire(OnMouseDown, this, event->button(), event->modifiers(), pos.x(), pos.y());
}

void TPictureButton::mouseMoveEvent(QMouseEvent* event) {
  const QPoint pos = event->position().toPoint();
  if (!Inside(pos.x(), pos.y())) {
    captured_ = false;
    SetState(kUp);
    return;
  }
  if (state_ == kUp) {
    if (!IsSensitive(pos.x(), pos.y())) return;
    SetState(kHover);
    captured_ = true;
    Fire(OnMouseMove, this, event->modifiers(), pos.x(), pos.y());
  } else if (state_ == kDown || state_ == kHover) {
    if (!IsSensitive(pos.x(), pos.y())) {
      captured_ = false;
      SetState(kUp);
    }
  }
}

void TPictureButton::mouseReleaseEvent(QMouseEvent* event) {
  const QPoint pos = event->position().toPoint();
  const bool over = rect().contains(pos);
  if (event->button() != Qt::LeftButton) {
    Fire(OnMouseUp, this, event->button(), event->modifiers(), pos.x(), pos.y());
    return;
  }
  const bool wasPressed = pressed_;
  pressed_ = false;
  if (!wasPressed && !over) return;  // the release belongs to whatever lies there
  captured_ = false;
  SetState(kUp);
  const QPointer<TPictureButton> self(this);
  if (wasPressed && over) Clicked(true, pos.x(), pos.y());
  if (!self) return;  // the click handler closed the window
  Fire(OnMouseUp, this, event->button(), event->modifiers(), pos.x(), pos.y());
}

void TPictureButton::changeEvent(QEvent* event) {
  if (event->type() == QEvent::EnabledChange && Enabled() != enabled_) {
    enabled_ = Enabled();
    if (!enabled_) {
      pressed_ = false;
      captured_ = false;
    }
    if (!picDisabled_.IsEmpty()) SetState(enabled_ ? kUp : kDisabled);
  }
  QWidget::changeEvent(event);
}

void TPictureButton::hideEvent(QHideEvent* event) {
  pressed_ = false;
  CaptureLost();
  QWidget::hideEvent(event);
}

// ---- TGButton --------------------------------------------------------------------------

TGButton::TGButton(QWidget* parent, Variant variant) : TPictureButton(parent), variant_(variant) {}

void TGButton::SetBGPic(TImage* image) {
  if (image == bgPic_) return;
  if (bgPic_) disconnect(bgPic_, nullptr, this, nullptr);
  bgPic_ = image;
  if (image) {
    connect(image, &QObject::destroyed, this, [this] {
      bgPic_ = nullptr;
      SetBackground(nullptr);
    });
    connect(image, &TImage::PictureChanged, this, [this] { UpdateBackground(); });
  }
  SetBackground(image ? &image->Picture() : nullptr);
}

void TGButton::enterEvent(QEnterEvent* event) {
  if (variant_ == Variant::Navigator) Fire(OnMouseIn, this);
  QWidget::enterEvent(event);
}

void TGButton::leaveEvent(QEvent* event) {
  if (variant_ == Variant::Navigator) {
    if (state_ == kHover) SetState(kUp);
    captured_ = false;
    Fire(OnMouseOut, this);
  } else {
    CaptureLost();  // the move outside that the capture would have reported
  }
  QWidget::leaveEvent(event);
}

void TGButton::changeEvent(QEvent* event) {
  if (variant_ == Variant::Explorer && event->type() == QEvent::ActivationChange &&
      !isActiveWindow())
    CaptureLost();
  TPictureButton::changeEvent(event);
}

void TGButton::CaptureLost() {
  if (variant_ != Variant::Explorer) return;
  captured_ = false;
  pressed_ = false;
  // A disabled button keeps looking disabled when it is hidden, left or its window deactivated.
  SetState(!Enabled() && !PicDisabled().IsEmpty() ? kDisabled : kUp);
}
