#pragma once

// The screenshot box pbTela: the description page's picture, the full-screen viewer (mode 10)
// and the credits screen (mode 11), the screenshot number, and the block transitions that
// black the window out before the viewer and bring it back afterwards.

#include <QImage>
#include <QRect>
#include <QSize>

#include "navigator/ViewContext.h"

class Viewer {
 public:
  explicit Viewer(ViewContext& context);

  // Hooks pbTela's paint and mouse-up to this view.
  void Attach();
  // While closing the viewer and the credits can no longer be left by a click.
  void DetachMouseUp();
  bool MouseUpAttached() const { return mouseUp_; }

  // Decodes screenshot ImageNumber of the described demo into the screenshot bitmap and the
  // page's cut picture; false when it failed (the substitute picture is shown).
  bool DecodeScreenshot();
  // Next (forward) or previous screenshot, wrapping; nothing for a demo with fewer than two.
  void StepScreenshot(bool forward);
  void PaintTela();
  void MouseUp(Qt::MouseButton button);

  // The set-up of mode 10 or 11 when it is being entered: pbTela as the largest 4:3 box
  // centred in the window, the window blacked out block by block, then the box painted.
  void EnterViewerMode(int mode, int returnMode, bool entering);
  static QRect ViewerBox(const QSize& client);

  // The transitions of the viewer and of the list area.
  void Blackout();     // pbMain to black (block 4)
  void BlankViewer();  // pbTela to black (block 6)
  void RestoreMain();  // pbMain from the background (block 4)
  // The list area (relative to pbMain) from the background (block 2); without an area, the
  // list's region as wide as the list, the margin and the bar, as high as the list.
  void RestoreListArea(const QRect& area);
  void RestoreListArea();

  const QImage& ScaledScreenshot() const { return scaled_; }
  // The demo the screenshots belong to: its category, or -1 when no page is described.
  int ScreenshotCategory() const;

 private:
  void Transition(TTotalPaintBox* box, const QImage& source, const QRect& sourceRect,
                  const QPoint& destPoint, int block);
  void PaintViewer();
  void PaintCredits();

  ViewContext& ctx_;
  QImage scaled_;
  bool mouseUp_ = true;
};
