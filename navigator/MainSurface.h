#pragma once

// pbMain: the full-window drawing area of the main window. It paints nothing of its own; the
// window paints the background and everything on it.

#include <QWidget>

class TfmMain;

class MainSurface : public QWidget {
 public:
  explicit MainSurface(TfmMain* owner);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  TfmMain* owner_;
};
