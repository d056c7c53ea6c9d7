#pragma once

// The controls' events. Every event is a public std::function member named like the system's
// event (OnClick, OnMouseIn, OnMouseRun, OnKeyDown ...), its Sender first; an empty function
// means "not assigned". Controls call them through Fire(), never directly: an exception that
// escapes a handler is shown the way the toolkit shows one (a message box with its text and
// an OK button) instead of crossing Qt's event dispatch.

#include <QObject>
#include <QString>
#include <Qt>
#include <exception>
#include <functional>
#include <stdexcept>
#include <utility>

// Sender: the control that fires the event.
using TNotifyEvent = std::function<void(QObject* sender)>;
// Mouse buttons and presses: x and y in the control's own pixels.
using TMouseEvent = std::function<void(QObject* sender, Qt::MouseButton button,
                                       Qt::KeyboardModifiers shift, int x, int y)>;
using TMouseMoveEvent =
    std::function<void(QObject* sender, Qt::KeyboardModifiers shift, int x, int y)>;
// Keys: key is a Qt::Key value; a handler that sets it to 0 consumes the key.
using TKeyEvent = std::function<void(QObject* sender, int& key, Qt::KeyboardModifiers shift)>;

// Shows an exception that escaped an event handler (the toolkit's error dialog).
void ShowHandlerException(const std::exception& error);

// Calls handler when assigned; exceptions stop here.
template <class Handler, class... Args>
void Fire(const Handler& handler, Args&&... args) {
  if (!handler) return;
  try {
    handler(std::forward<Args>(args)...);
  } catch (const std::exception& error) {
    ShowHandlerException(error);
  } catch (...) {
    ShowHandlerException(std::runtime_error("unknown error"));
  }
}
