#pragma once

// The start-up benchmarks' child side: the moment the first frame is complete.

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>
#include <QEvent>
#include <QObject>
#include <QTimer>
#include <QWidget>
#include <QWindow>
#include <algorithm>
#include <cstdio>
#include <vector>

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

// The parent's side: milliseconds from starting program with arguments until its first-frame
// line; the child's shutdown is waited for but not counted.
inline double MsUntilFirstFrame(const QString& program, const QStringList& arguments,
                                const QProcessEnvironment& environment) {
  QProcess child;
  child.setProcessEnvironment(environment);
  QElapsedTimer t;
  t.start();
  child.start(program, arguments);
  while (!child.canReadLine() && child.waitForReadyRead(60000)) {
  }
  const double ms = double(t.nsecsElapsed()) / 1e6;
  child.waitForFinished(60000);
  return ms;
}

inline double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const size_t n = values.size();
  return n == 0 ? 0 : (n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2);
}

}  // namespace bench
