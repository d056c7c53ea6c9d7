#pragma once

// TDrawBox: the owner-drawn list box of a window that paints its whole surface itself. On top
// of an ordinary owner-draw list box it sees its keys before the window's key preview
// (OverKeyDown), selects the row under the pointer and reports it with OnMouseRun (MoveSense),
// and shows and hides without a redraw (TotalCtrlOverDraw).
//
// Drawing: the box keeps a back buffer of its client area, the surface its Canvas() draws on.
// The box draws an item (through OnDrawItem) into it whenever the list needs it, and the owner
// may draw on it at any time, also outside a paint; every paint puts the buffer on screen. The
// control never highlights a selected item nor draws a focus frame itself: OnDrawItem draws
// every state.

#include <QImage>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "common/Exceptions.h"
#include "controls/ControlEvents.h"
#include "controls/KeyPreview.h"
#include "controls/ListBoxWindow.h"
#include "platform/Canvas.h"

enum TListBoxStyle { lbStandard, lbOwnerDrawFixed, lbOwnerDrawVariable };
enum TBorderStyle { bsNone, bsSingle };

// The owner-draw state byte.
using TOwnerDrawState = uint8_t;
constexpr TOwnerDrawState odSelected = 0x01;
constexpr TOwnerDrawState odGrayed = 0x02;
constexpr TOwnerDrawState odDisabled = 0x04;
constexpr TOwnerDrawState odChecked = 0x08;
constexpr TOwnerDrawState odFocused = 0x10;

// (Sender, Index, Rect, State)
using TDrawItemEvent =
    std::function<void(QObject* sender, int index, const QRect& rect, TOwnerDrawState state)>;
// (Sender, Index, Height): the handler may change the height of a variable-height item.
using TMeasureItemEvent = std::function<void(QObject* sender, int index, int& height)>;
// (Sender)
using TOnMouseRun = std::function<void(QObject* sender)>;

class TCustomDrawListBox;

// The Items of a list box: every operation goes to the box's system list.
class TListBoxStrings {
 public:
  explicit TListBoxStrings(TCustomDrawListBox& box) : box_(box) {}

  int Count() const;
  // Throw EListError "List index out of bounds (%d)" for an index the list rejects.
  QString Get(int index) const;
  uint32_t Objects(int index) const;
  QString operator[](int index) const { return Get(index); }
  // Replaces the item's text, keeping its value and the box's selected index.
  void Put(int index, const QString& text);
  void PutObject(int index, uint32_t value);
  // Return the new item's index; throw EOutOfResources "Unable to insert a line" when the
  // list refuses it.
  int Add(const QString& text);
  int AddObject(const QString& text, uint32_t value);
  void Insert(int index, const QString& text);
  void Delete(int index);
  void Clear();
  int IndexOf(const QString& text) const;
  // Redrawing stops at the first BeginUpdate and resumes, with a repaint, at the last
  // EndUpdate.
  void BeginUpdate();
  void EndUpdate();

 private:
  TCustomDrawListBox& box_;
  int updateCount_ = 0;
};

class TCustomDrawListBox : public QWidget, public TKeyFirstControl {
  Q_OBJECT

 public:
  explicit TCustomDrawListBox(QWidget* parent = nullptr);
  ~TCustomDrawListBox() override;

  TListBoxStrings& Items() { return items_; }
  const TListBoxStrings& Items() const { return items_; }

  // Standard style: the height of the system's item; otherwise the stored height.
  int ItemHeight() const;
  // A height of 0 or less is ignored.
  void SetItemHeight(int height);
  TListBoxStyle Style() const { return style_; }
  void SetStyle(TListBoxStyle style);
  TBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TBorderStyle style);
  int Columns() const { return columns_; }
  void SetColumns(int columns);
  int TabWidth() const { return tabWidth_; }
  void SetTabWidth(int width);
  bool Sorted() const { return sorted_; }
  void SetSorted(bool sorted);
  bool MultiSelect() const { return multiSelect_; }
  void SetMultiSelect(bool multiSelect);
  bool ExtendedSelect() const { return extendedSelect_; }
  void SetExtendedSelect(bool extendedSelect);
  bool IntegralHeight() const { return integralHeight_; }
  void SetIntegralHeight(bool integralHeight);

  QColor Color() const { return color_; }
  void SetColor(const QColor& colour);
  const platform::FontSpec& Font() const { return font_; }
  void SetFont(const platform::FontSpec& font);

  bool TotalCtrlOverDraw() const { return totalCtrlOverDraw_; }
  void SetTotalCtrlOverDraw(bool on) { totalCtrlOverDraw_ = on; }
  bool OverKeyDown() const { return overKeyDown_; }
  void SetOverKeyDown(bool on) { overKeyDown_ = on; }
  bool Visible() const { return visible_; }
  // Without a size, move, z-order or activation change; with TotalCtrlOverDraw without any
  // redraw (the owner repaints).
  void SetVisible(bool visible);
  void setVisible(bool visible) override { SetVisible(visible); }
  // Visible, enabled and inside a visible window.
  bool CanFocus() const;

  // The selected item (multiple selection: the caret); -1 for none. Writing sends the
  // selection only when it differs, and fires nothing.
  int ItemIndex() const;
  void SetItemIndex(int index);
  int TopIndex() const;
  void SetTopIndex(int index);
  // Throws EListError for an index the list rejects.
  bool Selected(int index) const;
  void SetSelected(int index, bool selected);
  // -1 outside the client area; else the first item from TopIndex on whose rectangle holds
  // the point; failing that -1 when existing is set, else the item count.
  int ItemAtPos(const QPoint& point, bool existing) const;
  // The item's rectangle; for the count, the place of a new item below the last; beyond
  // that an empty rectangle.
  QRect ItemRect(int index) const;
  void Clear() { items_.Clear(); }

  // The drawing surface: the client area's back buffer. Drawing on it outside a paint shows
  // at the next paint, which this call schedules.
  platform::Canvas& Canvas();
  // Paints the items into target at origin, as the box would paint them itself (item by item
  // from TopIndex down to the control's height).
  void PaintTo(platform::Canvas& target, const QPoint& origin);

  TDrawItemEvent OnDrawItem;
  TMeasureItemEvent OnMeasureItem;
  TNotifyEvent OnClick;
  TNotifyEvent OnDblClick;
  TKeyEvent OnKeyDown;
  TMouseEvent OnMouseDown;
  TMouseEvent OnMouseUp;

  // How many times the system list has been created; for tests of re-creation.
  int WindowGeneration() const { return generation_; }

  // TKeyFirstControl
  bool WantsKeysFirst() const override { return overKeyDown_ && bool(OnKeyDown); }
  void KeyDownFirst(int& key, Qt::KeyboardModifiers shift) override;

 protected:
  bool event(QEvent* event) override;
  // The draw-item step: OnDrawItem, or a fill and the item's text at (left + 2, top).
  virtual void DrawItem(int index, const QRect& rect, TOwnerDrawState state);
  virtual void MeasureItem(int index, int& height);

  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void changeEvent(QEvent* event) override;

  QPoint ClientOrigin() const;
  QSize ClientSize() const;

 private:
  friend class TListBoxStrings;

  ListBoxWindow& Window();
  const ListBoxWindow& Window() const;
  ListBoxParams MakeParams() const;
  void CreateWnd();
  void DestroyWnd();
  void RecreateWnd();
  void FitBuffer();

  // Drawing requests of the system list.
  TOwnerDrawState StateOf(int index) const;
  void DrawItemRequest(int index, const QRect& rect, TOwnerDrawState state);
  // Draws items now (when shown and redrawing), then puts them on screen.
  void RedrawItemsNow(std::initializer_list<int> indexes);
  // Marks the whole client area for drawing at the next paint.
  void InvalidateItems();
  void DrawInvalid();
  void SetRedraw(bool on);

  // Selection changed by the user: the system's notification.
  void SelectionChangedByUser();
  void MoveCaretByKey(int key, Qt::KeyboardModifiers shift);
  void SelectByMouse(int index, Qt::KeyboardModifiers shift);

  TListBoxStrings items_;
  std::unique_ptr<ListBoxWindow> window_;
  int generation_ = 0;
  // What a re-creation carries over.
  struct SavedItems {
    std::vector<std::pair<QString, uint32_t>> items;
    int top = 0;
    int selected = -1;
  };
  std::optional<SavedItems> saved_;

  int itemHeight_ = 16;
  TListBoxStyle style_ = lbStandard;
  TBorderStyle borderStyle_ = bsSingle;
  int columns_ = 0;
  int tabWidth_ = 0;
  bool sorted_ = false;
  bool multiSelect_ = false;
  bool extendedSelect_ = true;
  bool integralHeight_ = false;
  QColor color_ = Qt::white;
  platform::FontSpec font_;
  bool totalCtrlOverDraw_ = true;
  bool overKeyDown_ = true;
  bool visible_ = true;
  bool redraw_ = true;

  QImage backBuffer_;
  std::unique_ptr<platform::Canvas> canvas_;
  bool inPaint_ = false;
  bool invalid_ = true;  // every item waits to be drawn
  int anchor_ = 0;       // extended selection's Shift anchor
  int pressedItem_ = -1;
};

class TDrawBox : public TCustomDrawListBox {
  Q_OBJECT

 public:
  explicit TDrawBox(QWidget* parent = nullptr);

  // The selection follows the pointer.
  bool MoveSense() const { return moveSense_; }
  void SetMoveSense(bool on) { moveSense_ = on; }
  // The last pointer position seen, (0, 0) at creation.
  int LastX() const { return lastX_; }
  int LastY() const { return lastY_; }

  TOnMouseRun OnMouseRun;

 protected:
  // Replaces the ordinary mouse-move handling: no OnMouseMove, no drag selection.
  void mouseMoveEvent(QMouseEvent* event) override;

 private:
  bool moveSense_ = true;
  int lastX_ = 0;
  int lastY_ = 0;
};
