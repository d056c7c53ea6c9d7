#pragma once

// The intro window: a black backdrop over the whole screen that plays the opening movie in a
// 400 x 300 panel and then shows the logo there while the navigator loads. Without a video
// player (or without a playable movie) it goes straight to the logo.

#include <QPointer>
#include <QRect>
#include <QWidget>

#include "platform/Bitmap.h"
#include "platform/Clock.h"
#include "platform/VideoPlayer.h"

class QEventLoop;

class TfmCeremony : public QWidget {
  Q_OBJECT

 public:
  static constexpr int kMovieWidth = 400;
  static constexpr int kMovieHeight = 300;

  static constexpr const char* kMovieName = "abertura.avi";

  // screen: the area the navigator measures as its screen. With withMovie, decides at once
  // whether ShareDir's movie can be played (an error dialog when the player cannot open it)
  // and starts it; otherwise, or when it cannot, loads the logo and finishes. clock paces the
  // movie (the default clock when null).
  TfmCeremony(const QRect& screen, QWidget* parent = nullptr, bool withMovie = false,
              platform::Clock* clock = nullptr);
  ~TfmCeremony() override;

  // Runs until the movie has ended or was skipped (the modal run of the start-up).
  void RunModal();
  platform::VideoPlayer* Player() const { return mpAVI_; }

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
  void CheckMovie();
  void StartMovie();
  void MovieEnded();
  void Skip();

  QWidget* paMovie_;
  MoviePaintBox* pbMovie_;
  platform::VideoPlayer* mpAVI_ = nullptr;  // a child of the window
  QPointer<QEventLoop> modal_;
  platform::Bitmap logo_;
  bool movieAvailable_ = false;
  bool playing_ = true;
  bool finished_ = false;
};
