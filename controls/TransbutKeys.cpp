// The focusable buttons: TTransButton and TEscatBtn.

#include <QKeyEvent>
#include <algorithm>

#include "controls/Transbut.h"

using platform::Bitmap;

namespace {

bool IsPressKey(int key) {
  return key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space;
}

}  // namespace

// ---- TTransButton ----------------------------------------------------------------------

TTransButton::TTransButton(QWidget* parent) : TPictureButton(parent) {
  setFocusPolicy(Qt::StrongFocus);
}

void TTransButton::SetPicFocused(const Bitmap& picture) {
  picFocused_ = picture;
  focusedShown_ = FocusedFrame();
  if (!focusedShown_.IsEmpty())
    resize(std::max(width(), focusedShown_.Width()), std::max(height(), focusedShown_.Height()));
  RefreshUp();
}

const Bitmap& TTransButton::UpPicture() const {
  if (hasFocus() && !focusedShown_.IsEmpty()) return focusedShown_;
  return TPictureButton::UpPicture();
}

void TTransButton::RefreshUp() {
  if (State() != kUp) return;
  const Bitmap& up = UpPicture();
  if (!up.IsEmpty()) ShowPicture(up);
}

void TTransButton::keyPressEvent(QKeyEvent* event) {
  int key = event->key();
  const QPointer<TTransButton> self(this);
  Fire(OnKeyDown, this, key, event->modifiers());
  if (!self) return;
  if (key == 0) {
    event->accept();
    return;
  }
  if (IsPressKey(key)) {
    if (!event->isAutoRepeat()) {
      keyPressed_ = true;
      SetState(kDown);
    }
    event->accept();
  } else if (key == Qt::Key_Escape && keyPressed_) {
    if (EscapePressed() && self) {
      keyPressed_ = false;
      SetState(kUp);
    }
    event->accept();
  } else {
    event->ignore();  // the window's own keys (Tab moves the focus before this)
  }
}

void TTransButton::keyReleaseEvent(QKeyEvent* event) {
  int key = event->key();
  const QPointer<TTransButton> self(this);
  Fire(OnKeyUp, this, key, event->modifiers());
  if (!self) return;
  if (key != 0 && IsPressKey(key) && !event->isAutoRepeat() && keyPressed_) {
    keyPressed_ = false;
    SetState(kUp);
    Clicked(false, 0, 0);
    return;
  }
  event->setAccepted(key == 0);
}

void TTransButton::focusInEvent(QFocusEvent* event) {
  RefreshUp();
  Fire(OnEnter, this);
  QWidget::focusInEvent(event);
}

void TTransButton::focusOutEvent(QFocusEvent* event) {
  if (keyPressed_) {
    keyPressed_ = false;
    SetState(kUp);
  }
  // Back to the plain up picture.
  if (State() == kUp) {
    const Bitmap& up = TPictureButton::UpPicture();
    if (!up.IsEmpty()) ShowPicture(up);
  }
  Fire(OnExit, this);
  QWidget::focusOutEvent(event);
}

// ---- TEscatBtn -------------------------------------------------------------------------

TEscatBtn::TEscatBtn(QWidget* parent) : TTransButton(parent) {
  frameTimer_.setInterval(kFrameMs);
  connect(&frameTimer_, &QTimer::timeout, this, &TEscatBtn::NextFocusFrame);
}

Bitmap TEscatBtn::FocusedFrame() const {
  if (picFocused_.IsEmpty()) return Bitmap();
  const int frameWidth = picFocused_.Width() / std::max(1, focusFrames_);
  if (frameWidth <= 0) return picFocused_;
  return Bitmap(
      picFocused_.Image().copy(focusFrame_ * frameWidth, 0, frameWidth, picFocused_.Height()));
}

void TEscatBtn::SetFocusFrames(int frames) {
  focusFrames_ = std::max(1, frames);
  focusFrame_ = 0;
  SetPicFocused(picFocused_);
}

void TEscatBtn::NextFocusFrame() {
  focusFrame_ = (focusFrame_ + 1) % focusFrames_;
  focusedShown_ = FocusedFrame();
  RefreshUp();
}

bool TEscatBtn::EscapePressed() {
  bool cancel = true;
  Fire(OnEscat, this, cancel);
  return cancel;
}

void TEscatBtn::Clicked(bool byMouse, int x, int y) {
  const QPointer<TEscatBtn> self(this);
  TTransButton::Clicked(byMouse, x, y);
  if (self && byMouse && IsOnPicture(x, y)) Fire(OnInnerClick, this);
}

void TEscatBtn::focusInEvent(QFocusEvent* event) {
  if (focusFrames_ > 1) frameTimer_.start();
  TTransButton::focusInEvent(event);
}

void TEscatBtn::focusOutEvent(QFocusEvent* event) {
  frameTimer_.stop();
  focusFrame_ = 0;
  focusedShown_ = FocusedFrame();
  TTransButton::focusOutEvent(event);
}

// ---- TGButton: reachable with Tab where the window gives it a Tab stop ------------------

void TGButton::keyPressEvent(QKeyEvent* event) {
  if (!IsPressKey(event->key()) || !Visible() || !Enabled()) {
    TPictureButton::keyPressEvent(event);
    return;
  }
  if (!event->isAutoRepeat()) {
    keyPressed_ = true;
    SetState(kDown);
  }
  event->accept();
}

void TGButton::keyReleaseEvent(QKeyEvent* event) {
  if (!IsPressKey(event->key()) || !keyPressed_) {
    TPictureButton::keyReleaseEvent(event);
    return;
  }
  event->accept();
  if (event->isAutoRepeat()) return;
  keyPressed_ = false;
  const QPointer<TGButton> self(this);
  SetState(hasFocus() ? kHover : kUp);
  Clicked(false, 0, 0);
  if (self && !Enabled()) SetState(kDisabled);
}

void TGButton::focusInEvent(QFocusEvent* event) {
  // The hover picture shows where the keyboard is.
  if (State() == kUp) SetState(kHover);
  TPictureButton::focusInEvent(event);
}

void TGButton::focusOutEvent(QFocusEvent* event) {
  keyPressed_ = false;
  if ((State() == kHover || State() == kDown) && !underMouse()) SetState(kUp);
  TPictureButton::focusOutEvent(event);
}
