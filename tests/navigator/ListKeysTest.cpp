#include <gtest/gtest.h>

#include <Qt>
#include <algorithm>
#include <vector>

#include "navigator/ListKeys.h"

namespace {

// A list of items shown rows at a time; the bar's position is the last visible item.
class FakeList : public ListKeyTarget {
 public:
  FakeList(int items, int rows) : items_(items), rows_(std::min(items, rows)) {}

  bool InListMode() const override { return listMode; }
  int ItemIndex() const override { return index; }
  void SetItemIndex(int row) override { index = row; }
  int RowCount() const override { return rows_; }
  int FirstVisible() const override { return first; }
  int LastFirstVisible() const override { return std::max(1, items_ - rows_ + 1); }
  int BarPosition() const override { return first + rows_ - 1; }
  int BarMin() const override { return 1; }
  int BarMax() const override { return items_; }
  int BarVisibleElements() const override { return rows_; }
  int BarLargeStep() const override { return rows_ - 1; }
  void SetBarPosition(int position) override {
    position = std::clamp(position, rows_, items_);
    first = position - rows_ + 1;
  }
  void RedrawRowSelected(int row) override { redrawn.push_back(row); }
  void ListClick() override { ++clicks; }
  void MouseRun() override { ++runs; }

  // Presses key; true when it was consumed.
  bool Press(int key) {
    ListKeyDown(*this, key);
    return key == 0;
  }

  bool listMode = true;
  int index = 0;
  int first = 1;
  int clicks = 0;
  int runs = 0;
  std::vector<int> redrawn;

 private:
  int items_;
  int rows_;
};

TEST(ListKeys, PagingThroughNineteenDemosInTenRows) {
  FakeList l(19, 10);
  EXPECT_TRUE(l.Press(Qt::Key_PageDown));
  EXPECT_EQ(l.first, 10);  // 10 + 9 = 19, the last item in the last row
  EXPECT_EQ(l.index, 9);
  EXPECT_EQ(l.redrawn, std::vector<int>{9});
  EXPECT_TRUE(l.Press(Qt::Key_PageDown));  // at the end: only the selection moves
  EXPECT_EQ(l.first, 10);
  EXPECT_EQ(l.redrawn.size(), 1u);
  EXPECT_TRUE(l.Press(Qt::Key_PageUp));
  EXPECT_EQ(l.first, 1);
  EXPECT_EQ(l.index, 0);
  EXPECT_TRUE(l.Press(Qt::Key_End));
  EXPECT_EQ(l.first, 10);
  EXPECT_EQ(l.index, 9);
  EXPECT_TRUE(l.Press(Qt::Key_Home));
  EXPECT_EQ(l.first, 1);
  EXPECT_EQ(l.index, 0);
  EXPECT_EQ(l.runs, 5);
}

TEST(ListKeys, ArrowsMoveTheSelectionThenScrollAtTheEdges) {
  FakeList l(12, 10);
  l.index = 8;
  EXPECT_TRUE(l.Press(Qt::Key_Down));
  EXPECT_EQ(l.index, 9);
  EXPECT_TRUE(l.Press(Qt::Key_Right));  // last row: the view scrolls under it
  EXPECT_EQ(l.index, 9);
  EXPECT_EQ(l.first, 2);
  l.Press(Qt::Key_Down);
  l.Press(Qt::Key_Down);  // nothing more below
  EXPECT_EQ(l.first, 3);
  EXPECT_EQ(l.index, 9);

  l.index = 0;
  EXPECT_TRUE(l.Press(Qt::Key_Up));
  EXPECT_EQ(l.first, 2);
  EXPECT_EQ(l.index, 0);
  l.Press(Qt::Key_Left);
  EXPECT_TRUE(l.Press(Qt::Key_Up));  // at the top: nothing moves, the key is still taken
  EXPECT_EQ(l.first, 1);
  EXPECT_EQ(l.index, 0);

  l.index = -1;  // no selection: Down selects the first row, Up nothing
  l.Press(Qt::Key_Up);
  EXPECT_EQ(l.index, -1);
  l.Press(Qt::Key_Down);
  EXPECT_EQ(l.index, 0);
}

TEST(ListKeys, EnterOpensFromAListOnlyAndOtherKeysPassOn) {
  FakeList l(3, 10);
  EXPECT_TRUE(l.Press(Qt::Key_Return));
  EXPECT_EQ(l.clicks, 1);
  l.listMode = false;
  EXPECT_FALSE(l.Press(Qt::Key_Return));
  EXPECT_EQ(l.clicks, 1);
  EXPECT_FALSE(l.Press(Qt::Key_Escape));
  EXPECT_FALSE(l.Press(Qt::Key_A));
  EXPECT_EQ(l.runs, 1);
  // A short list never scrolls.
  l.Press(Qt::Key_PageDown);
  EXPECT_EQ(l.first, 1);
  EXPECT_EQ(l.index, 2);
}

}  // namespace
