#pragma once

// A window's key preview: the window sees each key pressed in any of its widgets before that
// widget does, and a key it consumes (sets to 0) goes no further. A control that must see its
// keys even before the window (a list box with OverKeyDown) implements TKeyFirstControl: it is
// asked first, and a key it consumes reaches neither the window nor its own default handling.
//
// Order for a key press meant for widget W inside the window:
//   1. W's KeyDownFirst, when W is a TKeyFirstControl that wants keys first;
//   2. the window's OnKeyDown;
//   3. W's ordinary key handling (and Qt's propagation to its parents), with the key as the
//      handlers above left it.
// Key releases go to the window's OnKeyUp the same way (step 2 and 3 only).

#include <QObject>
#include <QPointer>
#include <QWidget>

#include "controls/ControlEvents.h"

class TKeyFirstControl {
 public:
  // True when the control wants keys before the window now (OverKeyDown set and a handler
  // assigned).
  virtual bool WantsKeysFirst() const = 0;
  // A key press meant for the control, before the window's preview; set key to 0 to consume.
  virtual void KeyDownFirst(int& key, Qt::KeyboardModifiers shift) = 0;

 protected:
  ~TKeyFirstControl() = default;
};

class TKeyPreview : public QObject {
  Q_OBJECT
 public:
  // Previews the keys of window and its widgets; owned by window.
  explicit TKeyPreview(QWidget* window);
  ~TKeyPreview() override;

  TKeyEvent OnKeyDown;
  TKeyEvent OnKeyUp;

  // True while a key that went through steps 1 and 2 is being delivered to its widget (step
  // 3), so a TKeyFirstControl's own key handling knows KeyDownFirst has already run.
  static bool Delivering();
  // True while OnKeyDown or OnKeyUp runs for a key the keyboard repeats (held down).
  static bool AutoRepeat();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QPointer<QWidget> window_;
};
