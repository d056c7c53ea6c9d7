#pragma once

// TTotalPaintBox: a drawing area whose owner paints everything itself. It only calls OnPaint;
// with TotalCtrlOverDraw a change of Visible repaints nothing (neither the box nor what lies
// below) and a hidden box ignores paint requests.
//
// The box keeps a back buffer, the surface its Canvas() draws on. The owner draws on it at any
// time, in OnPaint or outside it (a transition, a logo that arrives later); every paint puts
// the buffer on screen. OnPaint runs for the areas the owner invalidates (Invalidate, Repaint)
// and for areas never painted; any other repaint (an expose, a sibling's change) only puts the
// buffer back.
//
// TTotalSpeed: a speed button with the same Visible rule.

#include <QImage>
#include <QRegion>
#include <QToolButton>
#include <QWidget>
#include <memory>

#include "controls/ControlEvents.h"
#include "platform/Canvas.h"

class TTotalPaintBox : public QWidget {
  Q_OBJECT

 public:
  explicit TTotalPaintBox(QWidget* parent = nullptr);
  ~TTotalPaintBox() override;

  bool TotalCtrlOverDraw() const { return totalCtrlOverDraw_; }
  void SetTotalCtrlOverDraw(bool on) { totalCtrlOverDraw_ = on; }
  bool Visible() const { return visible_; }
  void SetVisible(bool visible);
  void setVisible(bool visible) override { SetVisible(visible); }

  QColor Color() const { return color_; }
  void SetColor(const QColor& colour) { color_ = colour; }
  const platform::FontSpec& Font() const { return font_; }
  void SetFont(const platform::FontSpec& font) { font_ = font; }

  // Whether the box holds the mouse (a press on it holds it until the release); writing True
  // takes it, False releases it.
  bool MouseCapture() const;
  void SetMouseCapture(bool capture);

  // The drawing surface. Drawing on it outside OnPaint shows at the next paint, which this
  // call schedules.
  platform::Canvas& Canvas();
  // Asks for OnPaint over the area (the whole box by default), now (Repaint) or at the next
  // paint (Invalidate). Nothing happens while a TotalCtrlOverDraw box is hidden.
  void Invalidate();
  void Invalidate(const QRect& rect);
  void Repaint();
  // Sets the surface's font and brush, then calls OnPaint; the surface's clip rectangle is the
  // area being painted.
  virtual void Paint();
  // In OnPaint, when the whole box waits for it: picture, exactly the box's size, becomes the
  // surface, its pixels shared until the surface is drawn on, and nothing waits for OnPaint
  // any more. False, and nothing done, otherwise; the owner then draws it as usual. Spares a
  // full-screen box a surface of its own (allocated, cleared and copied into) for a picture
  // that hides all of it.
  bool CoverWith(const platform::Bitmap& picture);

  TNotifyEvent OnPaint;
  TNotifyEvent OnClick;
  TNotifyEvent OnDblClick;
  TMouseEvent OnMouseDown;
  TMouseMoveEvent OnMouseMove;
  TMouseEvent OnMouseUp;

 protected:
  bool event(QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;

 private:
  bool Ignoring() const { return totalCtrlOverDraw_ && !visible_; }
  void FitBuffer();
  // What a new size adds waits for OnPaint; the surface itself grows when it is needed.
  void NoteFreshArea();

  bool totalCtrlOverDraw_ = true;
  bool visible_ = true;
  QColor color_ = Qt::white;
  platform::FontSpec font_;
  QImage backBuffer_;
  std::unique_ptr<platform::Canvas> canvas_;
  QRegion invalid_;  // areas waiting for OnPaint
  bool inPaint_ = false;
  bool paintingWhole_ = false;  // OnPaint runs for every pixel of the box
  bool pressed_ = false;
  bool clickPending_ = false;
};

class TTotalSpeed : public QToolButton {
  Q_OBJECT

 public:
  explicit TTotalSpeed(QWidget* parent = nullptr);

  bool TotalCtrlOverDraw() const { return totalCtrlOverDraw_; }
  void SetTotalCtrlOverDraw(bool on) { totalCtrlOverDraw_ = on; }
  bool Visible() const { return visible_; }
  void SetVisible(bool visible);
  void setVisible(bool visible) override { SetVisible(visible); }

 protected:
  bool event(QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  bool totalCtrlOverDraw_ = true;
  bool visible_ = true;
};
