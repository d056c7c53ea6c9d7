#pragma once

// The advertisement panel pbAdv of the list modes: the BPK files of SkinDir + "Advs\" played
// one after the other in name order, each frame shown for its own delay with the remainder
// carried to the next, drawn through the skin's mask over the window's background. A click
// on the panel starts the advertised product's trailer from the disc.
//
// The panel knows nothing of the window: it is given its pictures and rectangle, hands each
// finished picture to OnDraw, and asks OnTrailer to start a trailer. Between frames it tells
// the frame loop how long it may sleep.

#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

#include "platform/Bitmap.h"

class TBPKMovie;

class AdvPanel {
 public:
  AdvPanel();
  ~AdvPanel();
  AdvPanel(const AdvPanel&) = delete;
  AdvPanel& operator=(const AdvPanel&) = delete;

  // What the panel draws with. advRect: the panel's rectangle in background; panelSize: the
  // panel's size on screen (the size of every picture handed to OnDraw).
  struct Skin {
    QString SkinDir;                               // Windows path, with trailing backslash
    const platform::Bitmap* Mask = nullptr;        // white: the frame, black: the background
    const platform::Bitmap* Background = nullptr;  // the window's design background
    QRect AdvRect;
    int ColourDepth = 32;
  };
  void SetSkin(const Skin& skin) { skin_ = skin; }

  // The composed picture to show at (0, 0) of the panel.
  std::function<void(const QImage&)> OnDraw;
  // Starts the trailer of the advertisement at a position of the list (TrailerPath).
  std::function<void(int index)> OnTrailer;
  // The panel's cursor: 0 arrow, 1 pointing hand, 2 pressed hand.
  std::function<void(int cursor)> OnCursor;

  // The list modes switch the panel on and off. Switching on draws the next frame at once.
  void SetActive(bool active);
  bool Active() const { return AdvActive; }

  // One step: elapsedMs since the previous step, or -1 to draw the next frame at once.
  void StepAdvPanel(int elapsedMs);
  // A repaint of the panel shows the next frame.
  void Paint();
  // Milliseconds until a frame falls due (0: at the next step); -1 while inactive.
  int MsUntilNextFrame() const;

  // The click: a left press alone, moves, and the release (panel coordinates).
  void MouseDown(bool leftOnly);
  void MouseMove(QPoint pos, QSize panelSize);
  void MouseUp(QPoint pos, QSize panelSize);

  // The trailer program of the advertisement at a position of the list, below demosRoot;
  // empty beyond the table's two entries.
  static QString TrailerPath(const QString& demosRoot, int index);

  // State, named as the window's own.
  QStringList AdvList;
  std::unique_ptr<TBPKMovie> AdvMovie;
  int AdvIndex = 0;
  int AdvShownIndex = 0;
  bool AdvActive = false;
  int AdvFrameDelay = 0;
  int AdvElapsed = 0;
  int AdvFramesDue = 0;
  bool AdvPressed = false;
  int Cursor = 0;
  int FramesDrawn = 0;  // for tests and the benchmark

  // The picture the panel shows for a frame: the frame stretched to the panel where the mask
  // is white, the background under the panel where it is black.
  static QImage ComposeFrame(const platform::Bitmap& frame, const platform::Bitmap& mask,
                             const platform::Bitmap& background, QRect advRect);

 private:
  bool FindAdvertisements();
  bool OpenAt(int index);
  void SetCursor(int cursor);
  Skin skin_;
};
