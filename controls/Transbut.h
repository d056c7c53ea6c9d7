#pragma once

// Graphic buttons drawn entirely from skin pictures: a picture per state (up, an alternative
// up picture for toggles, hover, pressed, disabled) drawn centred over a copy of the window's
// background, so the button blends into a skinned window.
//
// TPictureButton holds what all the buttons share: the pictures, the state machine, the
// background cache, painting, hit testing and the mouse. TGButton is the buttons every window
// uses (in the navigator's or the explorer's variant); TTransButton is its focusable twin with
// keyboard handling, and TEscatBtn adds an animated focus picture.
//
// States and the picture each shows (an empty picture never replaces the one shown):
//   0 up       PicUp2 when ShowUp2Pic, else PicUp
//   1 down     PicDown
//   2 hover    PicMove
//   4 disabled PicDisabled
//
// Hit testing: with PicTransp set and FullAreaSense clear, a point is insensitive when PicUp's
// pixel there has the colour of PicUp's pixel at (0, button height - 1); points outside PicUp
// compare as "no colour". A press on an insensitive point does nothing at all.
//
// Mouse capture is Qt's implicit grab while a button is held; hover ends on leaving the
// button (what a capture would have reported as a move outside).

#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <cstdint>

#include "common/Exceptions.h"
#include "controls/ControlEvents.h"
#include "controls/Image.h"
#include "platform/Bitmap.h"

class ETransButError : public Exception {
 public:
  using Exception::Exception;
};

// The exception text for a BGParent that is no sibling of the button.
QString ForeignBGParentMessage();

class TPictureButton : public QWidget {
  Q_OBJECT
 public:
  enum : uint8_t { kUp = 0, kDown = 1, kHover = 2, kDisabled = 4 };

  ~TPictureButton() override;

  int Tag = 0;
  TNotifyEvent OnClick;
  TMouseEvent OnMouseDown;
  TMouseEvent OnMouseUp;
  TMouseMoveEvent OnMouseMove;

  // The pictures (copied in; the button grows to hold each, never shrinks).
  const platform::Bitmap& PicUp() const { return picUp_; }
  const platform::Bitmap& PicUp2() const { return picUp2_; }
  const platform::Bitmap& PicMove() const { return picMove_; }
  const platform::Bitmap& PicDown() const { return picDown_; }
  const platform::Bitmap& PicDisabled() const { return picDisabled_; }
  void SetPicUp(const platform::Bitmap& picture);
  void SetPicUp2(const platform::Bitmap& picture);
  void SetPicMove(const platform::Bitmap& picture);
  void SetPicDown(const platform::Bitmap& picture);
  void SetPicDisabled(const platform::Bitmap& picture);

  // The picture shown, always a copy of one of the pictures (or empty).
  const platform::Bitmap& Current() const { return current_; }
  uint8_t State() const { return state_; }

  bool ShowUp2Pic() const { return showUp2Pic_; }
  void SetShowUp2Pic(bool value);
  bool PicTransp() const { return picTransp_; }
  void SetPicTransp(bool value);
  bool FullAreaSense() const { return fullAreaSense_; }
  void SetFullAreaSense(bool value) { fullAreaSense_ = value; }
  bool TotalCtrlOverDraw() const { return totalCtrlOverDraw_; }
  void SetTotalCtrlOverDraw(bool value);

  // A sibling whose top-left corner is the origin of the external background. Raises
  // ETransButError (and keeps the old value) for a control with another parent.
  QWidget* BGParent() const { return bgParent_; }
  void SetBGParent(QWidget* control);

  // The window's background bitmap the button shows through (not owned; it must outlive the
  // button or be replaced first). nullptr: the parent's colour.
  const platform::Bitmap* ExternalBackground() const;
  void SetBackground(const platform::Bitmap* background);
  // The part of the background under the button, as last copied.
  const platform::Bitmap& BackgroundCache() const { return backgroundCache_; }
  void UpdateBackground();
  // Brings Current and State in line with the pictures (after loading them).
  void RefreshPictures();

  // The palette the button asks to be realised with: the external background's, else PicUp's.
  QVector<QRgb> ButtonPalette() const;

  // Visibility as the system sees it. With TotalCtrlOverDraw a hidden button stays a visible
  // Qt widget that paints nothing and lets the mouse through, so that neither hiding nor
  // showing repaints what lies below; the owner repaints.
  bool Visible() const { return visible_; }
  void setVisible(bool visible) override;

  bool Enabled() const { return !testAttribute(Qt::WA_ForceDisabled); }
  void SetEnabled(bool value) { setEnabled(value); }
  void SetHint(const QString& hint) { setToolTip(hint); }
  QString Hint() const { return toolTip(); }

  // The picture as painted: background cache with Current centred over it.
  QImage Compose() const;
  // A click as the keyboard or an assistive tool gives it (no pointer position).
  void Click() { Clicked(false, 0, 0); }
  // Whether a press at (x, y) would act (the transparency hit test).
  bool IsSensitive(int x, int y) const;
  // The transparency test alone (FullAreaSense aside): (x, y) is not of PicUp's transparent
  // colour.
  bool IsOnPicture(int x, int y) const;

 protected:
  explicit TPictureButton(QWidget* parent);

  void SetState(uint8_t newState);
  // The picture a state shows, or nullptr for an unknown state.
  const platform::Bitmap* PictureOf(uint8_t state) const;
  // The picture shown in state up (TTransButton shows its focus picture there).
  virtual const platform::Bitmap& UpPicture() const;
  void ShowPicture(const platform::Bitmap& picture);
  // Capture bookkeeping: the explorer's buttons return to up when they lose it.
  virtual void CaptureLost() {}
  virtual void Clicked(bool byMouse, int x, int y);
  bool Inside(int x, int y) const { return x > 0 && x < width() && y > 0 && y < height(); }

  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void moveEvent(QMoveEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void changeEvent(QEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  enum class Which { Up, Up2, Move, Down, Disabled };
  void PictureChanged(Which which);
  void SetPicture(Which which, const platform::Bitmap& picture);

  platform::Bitmap picUp_, picUp2_, picMove_, picDown_, picDisabled_;
  platform::Bitmap current_;
  platform::Bitmap backgroundCache_;
  const platform::Bitmap* externalBackground_ = nullptr;
  QPointer<QWidget> bgParent_;
  uint8_t state_ = kUp;
  bool inPaint_ = false;
  bool showUp2Pic_ = false;
  bool picTransp_ = true;
  bool fullAreaSense_ = false;
  bool totalCtrlOverDraw_ = false;
  bool visible_ = true;
  bool enabled_ = true;
  bool captured_ = false;  // the button holds the (emulated) capture
  bool pressed_ = false;   // a left press was accepted and not yet released
  QRect lastBounds_;

  friend class TGButton;
};

// The graphic button of every window.
class TGButton : public TPictureButton {
  Q_OBJECT
 public:
  // Navigator: OnMouseIn/OnMouseOut and hover ending on leaving. Explorer: no enter or leave
  // events; losing the capture (leaving, the window losing activation, hiding) returns the
  // button to up; the background comes from an image control (BGPic).
  enum class Variant { Navigator, Explorer };

  explicit TGButton(QWidget* parent = nullptr, Variant variant = Variant::Navigator);

  Variant ButtonVariant() const { return variant_; }

  TNotifyEvent OnMouseIn;
  TNotifyEvent OnMouseOut;

  // Explorer: the image control whose picture is the background; cleared when it is
  // destroyed.
  TImage* BGPic() const { return bgPic_; }
  void SetBGPic(TImage* image);

 protected:
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void changeEvent(QEvent* event) override;
  void CaptureLost() override;
  // With the focus (a window that gives the button a Tab stop), Enter or Space pressed shows
  // the button pressed and released clicks it.
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;

 private:
  Variant variant_;
  bool keyPressed_ = false;
  QPointer<TImage> bgPic_;
};

// The windowed, focusable twin of TGButton: Tab stop, a focus picture, keyboard events;
// Enter (or Space) pressed acts as a press, released clicks, Escape cancels a keyboard press.
class TTransButton : public TPictureButton {
  Q_OBJECT
 public:
  explicit TTransButton(QWidget* parent = nullptr);

  TKeyEvent OnKeyDown;
  TKeyEvent OnKeyUp;
  TNotifyEvent OnEnter;  // took the focus
  TNotifyEvent OnExit;   // lost it

  // Shown in state up while the button has the focus (when not empty).
  const platform::Bitmap& PicFocused() const { return picFocused_; }
  void SetPicFocused(const platform::Bitmap& picture);
  bool TabStop() const { return focusPolicy() != Qt::NoFocus; }
  void SetTabStop(bool value) { setFocusPolicy(value ? Qt::StrongFocus : Qt::NoFocus); }

 protected:
  const platform::Bitmap& UpPicture() const override;
  // The focus picture as shown (TEscatBtn shows one frame of it).
  virtual platform::Bitmap FocusedFrame() const { return picFocused_; }
  void RefreshUp();
  // Escape during a keyboard press; true when the press is to be cancelled.
  virtual bool EscapePressed() { return true; }

  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;

  platform::Bitmap picFocused_;
  platform::Bitmap focusedShown_;
  bool keyPressed_ = false;
};

// Escape event of TEscatBtn: cancel (true on entry) says whether the keyboard press ends
// without a click.
using TOnEscat = std::function<void(QObject* sender, bool& cancel)>;

// A TTransButton whose focus picture is a strip of FocusFrames frames side by side, shown one
// after another while the button has the focus.
class TEscatBtn : public TTransButton {
  Q_OBJECT
 public:
  explicit TEscatBtn(QWidget* parent = nullptr);

  // A mouse click released on the picture itself, not on its transparent colour (keyboard
  // clicks and FullAreaSense clicks around the picture give only OnClick).
  TNotifyEvent OnInnerClick;
  TOnEscat OnEscat;

  int FocusFrames() const { return focusFrames_; }
  void SetFocusFrames(int frames);
  int FocusFrame() const { return focusFrame_; }
  // Shows the next frame (wrapping); the frame timer calls it while the button has the focus.
  void NextFocusFrame();
  // Milliseconds between two frames.
  static constexpr int kFrameMs = 100;

 protected:
  platform::Bitmap FocusedFrame() const override;
  bool EscapePressed() override;
  void Clicked(bool byMouse, int x, int y) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;

 private:
  int focusFrames_ = 1;
  int focusFrame_ = 0;
  QTimer frameTimer_;
};
