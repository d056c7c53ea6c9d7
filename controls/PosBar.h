#pragma once

// TPosBar: a skinned scroll bar drawn entirely from pictures over the part of the window's
// background that lies under it. Its Position names the last visible element of a window of
// VisElems elements over [Min, Max]; the thumb travels the track between the two arrows
// (up-and-down kinds) or along a track picture with a switch button at the far end (slider
// kinds). Auto-repeat and the focus blink run on platform::Timer, so tests drive them with a
// ManualClock.

#include <QImage>
#include <QPointer>
#include <QWidget>
#include <functional>

#include "common/Exceptions.h"
#include "controls/ControlEvents.h"
#include "platform/Bitmap.h"
#include "platform/Timer.h"

class EPosBarError : public Exception {
 public:
  using Exception::Exception;
};

enum TPosBarKind { pkVertUpDown, pkVertSlider, pkHorzUpDown, pkHorzSlider };

// Scroll codes: what a user action did. The bar never reports pcTrack; its owner may pass
// pcPosition for a change it made itself.
enum TPosCode {
  pcLineUp = 0,
  pcLineDown = 1,
  pcPageUp = 2,
  pcPageDown = 3,
  pcPosition = 4,
  pcTrack = 5,
  pcTop = 6,
  pcBottom = 7,
};

// (Sender, Code, Pos): after a user action; the handler may change Pos.
using TPosEvent = std::function<void(QObject* sender, TPosCode code, int& pos)>;
// (Sender, Desligado): the switch of a slider kind changed.
using TDesligadoEvent = std::function<void(QObject* sender, bool desligado)>;

class TPosBar : public QWidget {
  Q_OBJECT

 public:
  // Where a point of the bar lies.
  enum class Part { None, UpArrow, DownArrow, TrackBefore, TrackAfter, Thumb, Switch };

  explicit TPosBar(QWidget* parent = nullptr, platform::Clock* clock = nullptr);
  ~TPosBar() override;

  TPosBarKind Kind() const { return kind_; }
  void SetKind(TPosBarKind kind);

  int Position() const { return position_; }
  int Min() const { return min_; }
  int Max() const { return max_; }
  int VisElems() const { return visElems_; }
  void SetPosition(int position) { SetParams(position, min_, visElems_, max_); }
  void SetMin(int min) { SetParams(position_, min, visElems_, max_); }
  void SetMax(int max) { SetParams(position_, min_, visElems_, max); }
  void SetVisElems(int visElems) { SetParams(position_, min_, visElems, max_); }
  // The one place where the model changes: clamps the position into
  // [min + VisElems - 1, max] (the upper bound wins) and fires OnChange after a change.
  // Throws EPosBarError when max < min, leaving the model as it was.
  void SetParams(int position, int min, int visElems, int max);

  int ChangeSmall() const { return changeSmall_; }
  int ChangeLarge() const { return changeLarge_; }
  // Both are kept within 1..32767.
  void SetChangeSmall(int change);
  void SetChangeLarge(int change);
  // Derive ChangeLarge from VisElems (VisElems - 1, at least 1) whenever VisElems changes.
  bool AutoScan() const { return autoScan_; }
  void SetAutoScan(bool autoScan) { autoScan_ = autoScan; }
  uint32_t CycleTime() const { return cycleTimeMs_; }
  void SetCycleTime(uint32_t cycleTimeMs) { cycleTimeMs_ = cycleTimeMs; }
  QColor BlinkColor() const { return blinkColor_; }
  void SetBlinkColor(const QColor& colour);

  bool Visible() const { return visible_; }
  void SetVisible(bool visible);
  void setVisible(bool visible) override { SetVisible(visible); }
  bool TotalCtrlOverDraw() const { return totalCtrlOverDraw_; }
  void SetTotalCtrlOverDraw(bool on) { totalCtrlOverDraw_ = on; }

  // The sibling whose picture lies behind the bar; the background is taken from the window's
  // picture offset by its position. Throws EPosBarError for a control with another parent.
  QWidget* BGParent() const { return bgParent_; }
  void SetBGParent(QWidget* control);
  // The window's background picture (not owned; nullptr: the parent's colour).
  void SetBackground(const platform::Bitmap* background);

  // Up/left arrow released and pressed (slider kinds: the track picture).
  const platform::Bitmap& PicUpUP() const { return pics_[kUpUp].source; }
  const platform::Bitmap& PicUpDO() const { return pics_[kUpDo].source; }
  // Down/right arrow released and pressed (slider kinds: the switch, off and on).
  const platform::Bitmap& PicDownUP() const { return pics_[kDownUp].source; }
  const platform::Bitmap& PicDownDO() const { return pics_[kDownDo].source; }
  const platform::Bitmap& PicSlider() const { return pics_[kSlider].source; }
  void SetPicUpUP(const platform::Bitmap& picture) { SetPicture(kUpUp, picture); }
  void SetPicUpDO(const platform::Bitmap& picture) { SetPicture(kUpDo, picture); }
  void SetPicDownUP(const platform::Bitmap& picture) { SetPicture(kDownUp, picture); }
  void SetPicDownDO(const platform::Bitmap& picture) { SetPicture(kDownDo, picture); }
  void SetPicSlider(const platform::Bitmap& picture) { SetPicture(kSlider, picture); }
  // Draw the pictures with their bottom-left colour transparent and ignore clicks there.
  bool TranspUpPic() const { return transpUp_; }
  bool TranspDownPic() const { return transpDown_; }
  bool TranspSliderPic() const { return transpSlider_; }
  void SetTranspUpPic(bool on);
  void SetTranspDownPic(bool on);
  void SetTranspSliderPic(bool on);

  // The switch of a slider kind: true when switched off.
  bool Desligado() const { return desligado_; }

  TNotifyEvent OnChange;
  TPosEvent OnScroll;
  TDesligadoEvent OnDesligado;

  // Layout, for the owner and for tests: track length in pixels, the thumb's offset along
  // the track, the thumb's rectangle in the bar, and what lies under a point.
  int TrackLength() const {
    Fit();
    return trackLength_;
  }
  int ThumbOffset() const {
    Fit();
    return thumbOffset_;
  }
  QRect ThumbRect() const;
  Part PartAt(const QPoint& point) const;
  bool BlinkMarkShown() const { return blinkOn_; }

  // The two timers (auto-repeat, focus blink), so tests can fire their ticks.
  platform::Timer& RepeatTimer() { return repeat_; }
  platform::Timer& BlinkTimer() { return blink_; }

 protected:
  bool event(QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void moveEvent(QMoveEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void changeEvent(QEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  enum PicIndex { kUpUp, kUpDo, kDownUp, kDownDo, kSlider, kPicCount };
  struct Picture {
    platform::Bitmap source;
    QImage rgb;    // RGB32
    QImage keyed;  // ARGB32, the transparent colour cleared
    bool IsEmpty() const { return rgb.isNull(); }
  };

  bool Horizontal() const { return kind_ == pkHorzUpDown || kind_ == pkHorzSlider; }
  bool Slider() const { return kind_ == pkVertSlider || kind_ == pkHorzSlider; }
  int Along(const QSize& size) const { return Horizontal() ? size.width() : size.height(); }
  int Across(const QSize& size) const { return Horizontal() ? size.height() : size.width(); }
  int AlongOf(const QPoint& p) const { return Horizontal() ? p.x() : p.y(); }
  int AcrossOf(const QPoint& p) const { return Horizontal() ? p.y() : p.x(); }
  QRect BarRect(int along, int across, int alongLen, int acrossLen) const;
  QSize PicSize(PicIndex index) const { return pics_[index].rgb.size(); }
  int First() const { return min_ + visElems_ - 1; }
  int Clamp(int position) const;
  bool HasThumb() const;
  bool PictureTransparent(PicIndex index) const;

  void SetPicture(PicIndex index, const platform::Bitmap& picture);
  void Rekey(PicIndex index);
  void Measure();
  // Qt holds a hidden widget's resize back until it shows: the layout follows the geometry as
  // soon as anyone asks for it, so that a bar placed before its window shows measures right.
  void Fit() const;
  void PlaceThumb();
  void TakeBackground();
  QRect PictureRect(PicIndex index, int along) const;
  QRect UpArrowRect() const;
  QRect DownArrowRect() const;
  QRect SwitchRect() const;
  QRect TrackRect() const;
  bool OpaqueAt(PicIndex index, const QRect& where, const QPoint& point) const;
  void DrawPicture(QPainter& painter, PicIndex index, const QRect& where) const;

  // Input (PosBarInput.cpp).
  void Press(const QPoint& point);
  void Step(TPosCode code);
  void StartRepeat();
  void StopRepeat();
  void RepeatTick();
  void DragTo(const QPoint& point);
  void EndDrag();
  void FlipSwitch();
  void ReleaseHeld();
  void ReportScroll(TPosCode code);
  void BlinkTick();

  TPosBarKind kind_ = pkVertUpDown;
  int position_ = 0;
  int min_ = 0;
  int max_ = 10;
  int visElems_ = 1;
  int changeSmall_ = 1;
  int changeLarge_ = 1;
  bool autoScan_ = true;
  uint32_t cycleTimeMs_ = 50;
  QColor blinkColor_{255, 0, 0};
  bool visible_ = true;
  bool totalCtrlOverDraw_ = false;
  QPointer<QWidget> bgParent_;
  const platform::Bitmap* external_ = nullptr;
  QImage background_;
  Picture pics_[kPicCount];
  bool transpUp_ = false;
  bool transpDown_ = false;
  bool transpSlider_ = false;
  bool desligado_ = false;

  // Layout along the bar: the track's start and length, the thumb's length and offset.
  int trackStart_ = 0;
  int trackLength_ = 0;
  int thumbOffset_ = 0;
  QSize measuredSize_;  // the size the layout above was measured for
  bool measuring_ = false;

  // The action of the mouse button held down.
  Part pressed_ = Part::None;
  TPosCode pressedCode_ = pcLineUp;
  bool repeatStarted_ = false;
  QPoint lastMouse_;
  // Thumb drag: where it began, in 1/10000 pixel where it matters.
  int dragStartAlong_ = 0;
  int dragStartOffset_ = 0;
  int dragStartPosition_ = 0;
  bool dragging_ = false;
  bool switchDown_ = false;

  platform::Timer repeat_;
  platform::Timer blink_;
  bool blinkOn_ = false;
};
