#pragma once

// The list box lbDemos and the position bar PosBar in both views: a list mode shows the demo
// titles of a category, a description mode the wrapped lines of the description. The list
// holds one placeholder item per visible row; the window draws into each row the item the
// scroll position puts there.

#include <QRect>
#include <QString>
#include <cstdint>

#include "navigator/ViewContext.h"

struct LayoutRect;

class ListView {
 public:
  explicit ListView(ViewContext& context);

  // Hooks the list's and the bar's events to this view.
  void Attach();

  // Fills and shows the list of category mode; entering does the full set-up, otherwise only
  // the logo area is drawn again (a repaint of the mode).
  void ShowCategoryList(int mode, int previousMode, bool entering);

  // Lays the list out for a view: item height, height of min(items, rows) rows at region's
  // top left, a placeholder per row, shown.
  void PrepareList(int itemHeight, int items, int rows, const LayoutRect& region, bool hand);
  // Places the bar right of region and sets it up for items of which rows are visible.
  void SetUpBar(int items, int rows, const LayoutRect& region);

  void DrawRow(int row, int state, const QRect& rect);
  // Draws one row of the list again in the given state (kRowSelected, kRowFocused).
  void RedrawRow(int row, int state);
  void RedrawRows();
  void SetFirstVisible(int first);
  void PosBarScroll(int position);
  void UpdateSelectionState();

  // Event handlers of lbDemos.
  void Click();
  void MouseRun();

  // Rows of the current mode's view (1 outside the list and description modes).
  int VisibleRows() const;
  // The highest FirstVisible the current view allows (1 outside them).
  int LastFirst() const;

  // Pixels of rows drawn so far (for the figures).
  int64_t PixelsDrawn() const { return pixelsDrawn_; }

 private:
  int ItemCount() const;
  void ScheduleLogo(const DemoRef& demo);

  ViewContext& ctx_;
  int64_t pixelsDrawn_ = 0;
};
