#pragma once

// The start-up progress window: the name of the step being loaded and its percentage, near the
// bottom of the screen, above everything else.

#include <QRect>
#include <QWidget>

class QLabel;
class QProgressBar;

class TfmStatus : public QWidget {
  Q_OBJECT

 public:
  static constexpr int kClientWidth = 357;
  static constexpr int kClientHeight = 81;

  // screen: the area the navigator measures as its screen (the whole display, or its window).
  TfmStatus(const QRect& screen, double screenScale, QWidget* parent = nullptr);

  // Shows a step and repaints at once: the main thread goes on working without returning to
  // the event loop.
  void Step(const QString& text, int percent);

  QString Operation() const;
  int Percent() const;

 signals:
  void Stepped(const QString& text, int percent);

 private:
  QLabel* label_;
  QLabel* lbOperation_;
  QProgressBar* progressBar_;
};
