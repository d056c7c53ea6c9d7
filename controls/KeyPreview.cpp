#include "controls/KeyPreview.h"

#include <QApplication>
#include <QKeyEvent>

namespace {
int deliveringDepth = 0;  // re-entrancy of step 3 (a handler may send keys itself)
bool autoRepeat = false;  // of the key being previewed
}

TKeyPreview::TKeyPreview(QWidget* window) : QObject(window), window_(window) {
  qApp->installEventFilter(this);
}

TKeyPreview::~TKeyPreview() {
  qApp->removeEventFilter(this);
}

bool TKeyPreview::Delivering() {
  return deliveringDepth > 0;
}

bool TKeyPreview::AutoRepeat() {
  return autoRepeat;
}

bool TKeyPreview::eventFilter(QObject* watched, QEvent* event) {
  const QEvent::Type type = event->type();
  if ((type != QEvent::KeyPress && type != QEvent::KeyRelease) || deliveringDepth > 0 || !window_ ||
      !watched->isWidgetType())
    return false;
  auto* target = static_cast<QWidget*>(watched);
  if (target != window_ && !window_->isAncestorOf(target)) return false;

  // Steps 1 and 2 run once, on the first delivery; the event is then delivered afresh (step
  // 3) so Qt's own propagation to the parents does not come back here.
  auto* keyEvent = static_cast<QKeyEvent*>(event);
  int key = keyEvent->key();
  const Qt::KeyboardModifiers shift = keyEvent->modifiers();
  const bool outerRepeat = autoRepeat;
  autoRepeat = keyEvent->isAutoRepeat();
  if (type == QEvent::KeyPress) {
    if (auto* first = dynamic_cast<TKeyFirstControl*>(target); first && first->WantsKeysFirst()) {
      first->KeyDownFirst(key, shift);
    }
    if (key != 0) Fire(OnKeyDown, window_.data(), key, shift);
  } else {
    Fire(OnKeyUp, window_.data(), key, shift);
  }
  autoRepeat = outerRepeat;
  if (key == 0) return true;

  QKeyEvent again(type, key, shift, keyEvent->nativeScanCode(), keyEvent->nativeVirtualKey(),
                  keyEvent->nativeModifiers(),
                  key == keyEvent->key() ? keyEvent->text() : QString(), keyEvent->isAutoRepeat(),
                  keyEvent->count());
  ++deliveringDepth;
  QApplication::sendEvent(target, &again);
  --deliveringDepth;
  // The delivery above went the whole way, Qt's propagation included: stop the original.
  event->accept();
  return true;
}
