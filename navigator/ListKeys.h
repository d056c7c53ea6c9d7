#pragma once

// The keys of the demo list and of the description text (the list box sees them before the
// window). Only Enter and the paging and arrow keys are handled; a handled key is consumed
// and the selection state is brought up to date afterwards.

// The list box, its scroll position and its position bar as the keys see them. The bar's
// position is the last visible item; moving it scrolls the view.
class ListKeyTarget {
 public:
  virtual bool InListMode() const = 0;
  virtual int ItemIndex() const = 0;  // the selected row, -1 for none
  virtual void SetItemIndex(int row) = 0;
  virtual int RowCount() const = 0;
  virtual int FirstVisible() const = 0;      // 1-based item shown in row 0
  virtual int LastFirstVisible() const = 0;  // the highest FirstVisible allowed, at least 1
  virtual int BarPosition() const = 0;
  virtual int BarMin() const = 0;
  virtual int BarMax() const = 0;
  virtual int BarVisibleElements() const = 0;
  virtual int BarLargeStep() const = 0;
  virtual void SetBarPosition(int position) = 0;
  // The row drawn selected and focused after a scroll that keeps it.
  virtual void RedrawRowSelected(int row) = 0;
  // Enter on a list: what a click on the selected title does.
  virtual void ListClick() = 0;
  // After a consumed key: focus and the selection state.
  virtual void MouseRun() = 0;

 protected:
  ~ListKeyTarget() = default;
};

// key: a Qt::Key; set to 0 when consumed.
void ListKeyDown(ListKeyTarget& list, int& key);
