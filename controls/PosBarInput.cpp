// TPosBar: mouse, keys, auto-repeat, thumb drag, the switch and the focus blink.

#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <algorithm>
#include <cmath>

#include "controls/PosBar.h"

namespace {
constexpr uint32_t kFirstRepeatMs = 200;
constexpr int64_t kFixedOne = 10000;  // drag arithmetic in 1/10000 pixel
}  // namespace

void TPosBar::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return QWidget::mousePressEvent(event);
  Press(event->position().toPoint());
}

void TPosBar::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return QWidget::mouseDoubleClickEvent(event);
  Press(event->position().toPoint());
}

void TPosBar::Press(const QPoint& point) {
  if (!visible_) return;
  setFocus(Qt::MouseFocusReason);
  lastMouse_ = point;
  StopRepeat();
  const Part part = PartAt(point);
  switch (part) {
    case Part::UpArrow:
    case Part::DownArrow:
    case Part::TrackBefore:
    case Part::TrackAfter: {
      static constexpr TPosCode kCodes[] = {pcLineUp, pcLineDown, pcPageUp, pcPageDown};
      pressed_ = part;
      update();
      Step(kCodes[static_cast<int>(part) - static_cast<int>(Part::UpArrow)]);
      StartRepeat();
      break;
    }
    case Part::Thumb:
      pressed_ = part;
      dragging_ = true;
      dragStartAlong_ = AlongOf(point);
      dragStartOffset_ = thumbOffset_;
      dragStartPosition_ = position_;
      break;
    case Part::Switch:
      pressed_ = part;
      switchDown_ = true;
      update();
      break;
    case Part::None:
      break;
  }
}

void TPosBar::mouseMoveEvent(QMouseEvent* event) {
  const QPoint point = event->position().toPoint();
  lastMouse_ = point;
  if (dragging_) {
    DragTo(point);
  } else if ((pressed_ == Part::TrackBefore || pressed_ == Part::TrackAfter) &&
             PartAt(point) != pressed_) {
    StopRepeat();  // off the track, or the thumb has come under the mouse
  }
}

void TPosBar::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return QWidget::mouseReleaseEvent(event);
  const QPoint point = event->position().toPoint();
  StopRepeat();
  const Part part = pressed_;
  pressed_ = Part::None;
  if (part == Part::Thumb && dragging_) {
    EndDrag();
  } else if (part == Part::Switch) {
    switchDown_ = false;
    if (PartAt(point) == Part::Switch) FlipSwitch();
  }
  update();
}

void TPosBar::Step(TPosCode code) {
  int position = position_;
  switch (code) {
    case pcLineUp:
      position -= changeSmall_;
      break;
    case pcLineDown:
      position += changeSmall_;
      break;
    case pcPageUp:
      position -= changeLarge_;
      break;
    case pcPageDown:
      position += changeLarge_;
      break;
    case pcTop:
      position = First();
      break;
    case pcBottom:
      position = max_;
      break;
    default:
      break;
  }
  pressedCode_ = code;
  SetPosition(Clamp(position));
  ReportScroll(code);
}

void TPosBar::ReportScroll(TPosCode code) {
  int position = position_;
  Fire(OnScroll, this, code, position);
  if (position != position_) SetPosition(position);
}

void TPosBar::StartRepeat() {
  repeatStarted_ = false;
  repeat_.SetInterval(kFirstRepeatMs);
  repeat_.SetEnabled(true);
}

void TPosBar::StopRepeat() {
  repeat_.SetEnabled(false);
}

void TPosBar::RepeatTick() {
  if (!repeatStarted_) {
    repeatStarted_ = true;
    repeat_.SetInterval(std::max<uint32_t>(cycleTimeMs_, 1));
  }
  switch (pressed_) {
    case Part::UpArrow:
    case Part::DownArrow:
      Step(pressedCode_);
      break;
    case Part::TrackBefore:
    case Part::TrackAfter:
      // Pages again only while the mouse stays on the same side of the thumb.
      if (PartAt(lastMouse_) == pressed_)
        Step(pressedCode_);
      else
        StopRepeat();
      break;
    default:
      StopRepeat();
      break;
  }
}

void TPosBar::DragTo(const QPoint& point) {
  // The thumb follows while the mouse stays along the bar and within one bar thickness on
  // either side of it; further out it stays where it is.
  const int thickness = Across(size());
  const int along = AlongOf(point), across = AcrossOf(point);
  if (along < 0 || along >= Along(size()) || across < -thickness || across >= 2 * thickness) return;
  const int travel = std::max(0, trackLength_ - Along(PicSize(kSlider)));
  const int offset = std::clamp(dragStartOffset_ + along - dragStartAlong_, 0, travel);
  if (offset != thumbOffset_) {
    thumbOffset_ = offset;
    update();
  }
  const int count = max_ - First() + 1;
  if (count <= 1 || trackLength_ <= 0) return;
  int position;
  if (offset == 0) {
    position = First();
  } else if (offset == travel) {
    position = max_;  // the end of the travel is the end of the range
  } else {
    const int64_t unit = std::max<int64_t>(1, trackLength_ * kFixedOne / count);
    position =
        dragStartPosition_ + static_cast<int>((offset - dragStartOffset_) * kFixedOne / unit);
  }
  position = Clamp(position);
  if (position == position_) return;
  SetPosition(position);
  ReportScroll(pcPosition);
}

void TPosBar::EndDrag() {
  dragging_ = false;
  const int travel = std::max(0, trackLength_ - Along(PicSize(kSlider)));
  const int count = max_ - First() + 1;
  int position = position_;
  if (count > 1 && trackLength_ > 0) {
    if (travel > 0 && thumbOffset_ >= travel)
      position = max_;
    else
      position =
          First() + static_cast<int>(std::nearbyint(double(thumbOffset_) * count / trackLength_));
  }
  SetPosition(Clamp(position));
  PlaceThumb();
  update();
  ReportScroll(pcPosition);
}

void TPosBar::FlipSwitch() {
  desligado_ = !desligado_;
  update();
  Fire(OnDesligado, this, desligado_);
}

void TPosBar::keyPressEvent(QKeyEvent* event) {
  const int key = event->key();
  const bool horizontal = Horizontal();
  int code = -1;
  switch (key) {
    case Qt::Key_Up:
      code = horizontal ? -1 : pcLineUp;
      break;
    case Qt::Key_Down:
      code = horizontal ? -1 : pcLineDown;
      break;
    case Qt::Key_Left:
      code = horizontal ? pcLineUp : -1;
      break;
    case Qt::Key_Right:
      code = horizontal ? pcLineDown : -1;
      break;
    case Qt::Key_PageUp:
      code = pcPageUp;
      break;
    case Qt::Key_PageDown:
      code = pcPageDown;
      break;
    case Qt::Key_Home:
      code = pcTop;
      break;
    case Qt::Key_End:
      code = pcBottom;
      break;
    default:
      break;
  }
  bool handled = false;
  if (code >= 0) {
    Step(static_cast<TPosCode>(code));
    handled = true;
  } else if ((key == Qt::Key_Return || key == Qt::Key_Enter) && Slider()) {
    FlipSwitch();
    handled = true;
  }
  if (handled)
    event->accept();
  else
    QWidget::keyPressEvent(event);
}

void TPosBar::focusInEvent(QFocusEvent* event) {
  blink_.SetEnabled(true);
  event->accept();  // the blink shows the focus; nothing else repaints
}

void TPosBar::focusOutEvent(QFocusEvent* event) {
  blink_.SetEnabled(false);
  if (blinkOn_) {
    blinkOn_ = false;
    if (visible_) update(ThumbRect());
  }
  event->accept();
}

void TPosBar::BlinkTick() {
  blinkOn_ = !blinkOn_;
  if (HasThumb()) update(ThumbRect());
}

// A bar that can no longer see the release (disabled or hidden while held) lets go at once.
void TPosBar::changeEvent(QEvent* event) {
  if (event->type() == QEvent::EnabledChange && !isEnabled()) ReleaseHeld();
  QWidget::changeEvent(event);
}

void TPosBar::hideEvent(QHideEvent* event) {
  ReleaseHeld();
  QWidget::hideEvent(event);
}

void TPosBar::ReleaseHeld() {
  StopRepeat();
  if (dragging_) EndDrag();
  if (pressed_ != Part::None || switchDown_) {
    pressed_ = Part::None;
    switchDown_ = false;
    update();
  }
}
