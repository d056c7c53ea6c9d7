#pragma once

// The intro window: a black backdrop over the whole screen that plays the opening movie in a
// 400 x 300 panel and then shows the logo there while the navigator loads. Without a video
// player (or without a playable movie) it goes straight to the logo.

#include <QRect>
#include <QWidget>

#include "platform/Bitmap.h"

class TfmCeremony : public QWidget {
  Q_OBJECT

 public:
  static constexpr int kMovieWidth = 400;
  static constexpr int kMovieHeight = 300;

  // screen: the area the navigator measures as its screen. Decides at once whether the movie
  // can be played; when it cannot, loads the logo and finishes.
  TfmCeremony(const QRect& screen, QWidget* parent = nullptr);

  bool MovieAvailable() const { return movieAvailable_; }
  bool Playing() const { return playing_; }
  bool Finished() const { return finished_; }
  // The host-independent path of the logo for a colour depth ("LOGO256.BMP" at 8 to 15 bits).
  static QString LogoPath(const QString& shareDir, int colourDepth);
  const platform::Bitmap& Logo() const { return logo_; }
  // The movie panel in the window's coordinates.
  QRect MoviePanel() const;
  // Paints the logo into the panel once (start-up calls it after showing the backdrop).
  void PaintLogo();

 protected:
  void keyReleaseEvent(QKeyEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  class MoviePaintBox;
  void LoadLogo();
  void MovieEnded();
  void Skip();

  QWidget* paMovie_;
  MoviePaintBox* pbMovie_;
  platform::Bitmap logo_;
  bool movieAvailable_ = false;
  bool playing_ = true;
  bool finished_ = false;
};
