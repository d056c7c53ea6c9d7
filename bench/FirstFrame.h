#pragma once

// The start-up benchmarks' child side: the moment the first frame is complete.

#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <QTimer>
#include <QWidget>
#include <QWindow>
#include <cstdio>

namespace bench {

// Tells the parent (one line on standard output) when the first frame showing the content
// widget is complete: the window's repaint in which the content painted has ended, every
// widget drawn and the window flushed. Then quits the event loop. The parent's clock stops at
// that line, so the child's shutdown is not part of the figure.
class FirstFrame : public QObject {
 public:
  void Watch(QWidget* top, QWidget* content) {
    content_ = content;
    window_ = top->windowHandle();
    content->installEventFilter(this);
    if (window_) window_->installEventFilter(this);
  }

  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched == content_ && event->type() == QEvent::Paint) painted_ = true;
    const bool repaint =
        event->type() == QEvent::Expose || event->type() == QEvent::UpdateRequest;
    if (watched == window_ && repaint && !done_) {
      watched->event(event);  // the whole repaint, here, so that its end is seen
      if (painted_) {
        done_ = true;
        std::fputs("frame\n", stdout);
        std::fflush(stdout);
        QTimer::singleShot(0, qApp, &QCoreApplication::quit);
      }
      return true;
    }
    return QObject::eventFilter(watched, event);
  }

 private:
  QObject* content_ = nullptr;
  QWindow* window_ = nullptr;
  bool painted_ = false;
  bool done_ = false;
};

}  // namespace bench
