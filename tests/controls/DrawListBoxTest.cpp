#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>
#include <QTest>
#include <QWidget>
#include <vector>

#include "controls/DrawListBox.h"
#include "controls/KeyPreview.h"
#include "controls/TotalPaintBox.h"

namespace {

constexpr QRgb kRowColours[] = {0xFF102030, 0xFF203040, 0xFF304050, 0xFF405060, 0xFF506070};
constexpr QRgb kSelected = 0xFFFF0000, kFocusMark = 0xFFFFFF00, kBlack = 0xFF000000;

// Counts the paint events a widget receives.
struct PaintCounter : QObject {
  int paints = 0;
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) ++paints;
    return false;
  }
};

// The navigator's kind of list: owner-drawn, 16-pixel rows, no border, ten visible rows, drawn
// by a handler that paints each state in its own colour.
struct ListFixture : ::testing::Test {
  int mouseRuns = 0, clicks = 0;
  std::vector<int> drawn;
  QWidget form;  // after what its handlers use: it goes first
  TTotalPaintBox* background = nullptr;
  TDrawBox* box = nullptr;

  void SetUp() override {
    form.resize(300, 240);
    background = new TTotalPaintBox(&form);
    background->setGeometry(0, 0, 300, 240);
    background->OnPaint = [this](QObject*) {
      background->Canvas().Fill(background->Canvas().ClipRect(), QColor(0, 0, 255));
    };
    box = new TDrawBox(&form);
    box->SetBorderStyle(bsNone);
    box->SetStyle(lbOwnerDrawFixed);
    box->SetItemHeight(16);
    box->SetColor(Qt::black);
    box->setGeometry(20, 20, 200, 160);
    box->OnDrawItem = [this](QObject*, int index, const QRect& rect, TOwnerDrawState state) {
      drawn.push_back(index);
      auto& canvas = box->Canvas();
      canvas.Fill(rect, QColor::fromRgb((state & odSelected) ? kSelected : kRowColours[index % 5]));
      if (state & odFocused) canvas.Fill(QRect(rect.topLeft(), QSize(4, 4)), QColor(kFocusMark));
    };
    box->OnMouseRun = [this](QObject*) { ++mouseRuns; };
    box->OnClick = [this](QObject*) { ++clicks; };
    for (int i = 0; i < 5; ++i) box->Items().Add(QStringLiteral("Empty"));
    form.show();
    QApplication::processEvents();
  }

  void Move(QPoint point) {
    QMouseEvent move(QEvent::MouseMove, point, box->mapToGlobal(point), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(box, &move);
  }

  QRgb ScreenPixel(QPoint inBox) { return form.grab().toImage().pixel(inBox + box->pos()); }
};

TEST_F(ListFixture, SelectionFollowsThePointerOncePerNewPoint) {
  Move(QPoint(50, 40));
  EXPECT_EQ(box->ItemIndex(), 2);
  EXPECT_EQ(mouseRuns, 1);
  Move(QPoint(50, 40));
  EXPECT_EQ(mouseRuns, 1) << "the same point twice fires once";
  Move(QPoint(51, 41));
  EXPECT_EQ(mouseRuns, 2) << "every new point over a row fires, the row unchanged";
  EXPECT_EQ(box->LastX(), 51);
  EXPECT_EQ(box->LastY(), 41);

  Move(QPoint(50, 100));  // row 6 of a five-item box
  EXPECT_EQ(box->ItemIndex(), 2);
  EXPECT_EQ(mouseRuns, 2) << "below the last item nothing happens";
  EXPECT_EQ(clicks, 0) << "moving selects without a notification";

  box->SetMoveSense(false);
  Move(QPoint(50, 10));
  EXPECT_EQ(box->ItemIndex(), 2);
  EXPECT_EQ(mouseRuns, 2);
}

// A pointer dragged a little above the box still counts as over its first row (the row is the
// signed position divided toward zero); a whole row above there is no row.
TEST_F(ListFixture, PointerJustAboveTheBoxSelectsTheFirstRow) {
  Move(QPoint(50, 40));
  ASSERT_EQ(box->ItemIndex(), 2);
  Move(QPoint(50, -5));
  EXPECT_EQ(box->ItemIndex(), 0);
  EXPECT_EQ(mouseRuns, 2);
  Move(QPoint(50, -15));
  EXPECT_EQ(box->ItemIndex(), 0);
  EXPECT_EQ(mouseRuns, 3);
  Move(QPoint(50, -16));
  EXPECT_EQ(box->ItemIndex(), 0);
  EXPECT_EQ(mouseRuns, 3) << "a whole row above: nothing";
}

TEST_F(ListFixture, ItemGeometryAroundTheEnd) {
  EXPECT_EQ(box->ItemRect(4), QRect(0, 64, 200, 16));
  EXPECT_EQ(box->ItemRect(5), QRect(0, 80, 200, 16)) << "where a new item would appear";
  EXPECT_EQ(box->ItemRect(6), QRect(0, 0, 0, 0));
  EXPECT_EQ(box->ItemAtPos(QPoint(10, 70), true), 4);
  EXPECT_EQ(box->ItemAtPos(QPoint(10, 120), true), -1);
  EXPECT_EQ(box->ItemAtPos(QPoint(10, 120), false), 5);
  EXPECT_EQ(box->ItemAtPos(QPoint(-1, 10), false), -1) << "outside the client area";

  box->Clear();
  EXPECT_EQ(box->ItemRect(0), QRect(0, 0, 200, 16)) << "an empty box still places item 0";
}

TEST_F(ListFixture, RowsAreDrawnOnlyByTheHandler) {
  box->SetItemIndex(1);
  QApplication::processEvents();
  EXPECT_EQ(ScreenPixel(QPoint(100, 8)), kRowColours[0]);
  EXPECT_EQ(ScreenPixel(QPoint(100, 24)), kSelected);
  EXPECT_EQ(ScreenPixel(QPoint(100, 72)), kRowColours[4]);
  EXPECT_EQ(ScreenPixel(QPoint(100, 100)), kBlack) << "below the rows: the box's colour";

  // Selection changes redraw the two rows at once, through the handler.
  drawn.clear();
  box->SetItemIndex(3);
  EXPECT_EQ(drawn, (std::vector<int>{1, 3}));
  QApplication::processEvents();
  EXPECT_EQ(ScreenPixel(QPoint(100, 24)), kRowColours[1]);
  EXPECT_EQ(ScreenPixel(QPoint(100, 56)), kSelected);

  // The focused row is marked by the handler only: the control draws no focus frame.
  box->setFocus();
  QApplication::processEvents();
  EXPECT_EQ(ScreenPixel(QPoint(1, 49)), kFocusMark);
  EXPECT_EQ(ScreenPixel(QPoint(100, 49)), kSelected);

  // The owner draws on the list outside any paint; it shows with the next paint.
  box->Canvas().Fill(QRect(0, 0, 200, 16), QColor(0, 255, 0));
  QApplication::processEvents();
  EXPECT_EQ(ScreenPixel(QPoint(100, 8)), 0xFF00FF00);
}

TEST_F(ListFixture, ClicksAndKeysNotifyAsTheUserChangesTheSelection) {
  QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(30, 20));
  EXPECT_EQ(box->ItemIndex(), 1);
  EXPECT_EQ(clicks, 1);
  QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(30, 20));
  EXPECT_EQ(clicks, 2) << "a click on the selected row notifies again";
  QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(30, 150));
  EXPECT_EQ(clicks, 2) << "not below the rows";
  QTest::keyClick(box, Qt::Key_Down);
  EXPECT_EQ(box->ItemIndex(), 2);
  EXPECT_EQ(clicks, 3);
  QTest::keyClick(box, Qt::Key_End);
  EXPECT_EQ(box->ItemIndex(), 4);
}

TEST_F(ListFixture, KeysReachTheListBeforeTheWindowsPreview) {
  TKeyPreview preview(&form);
  std::vector<QString> order;
  preview.OnKeyDown = [&](QObject*, int& key, Qt::KeyboardModifiers) {
    order.push_back(QStringLiteral("form %1").arg(key));
  };
  box->OnKeyDown = [&](QObject*, int& key, Qt::KeyboardModifiers) {
    order.push_back(QStringLiteral("list %1").arg(key));
    if (key == Qt::Key_PageDown) key = 0;
  };
  box->SetItemIndex(0);
  box->setFocus();

  QTest::keyClick(box, Qt::Key_PageDown);
  EXPECT_EQ(order, (std::vector<QString>{QStringLiteral("list %1").arg(Qt::Key_PageDown)}));
  EXPECT_EQ(box->ItemIndex(), 0) << "a consumed key does not move the list either";

  order.clear();
  QTest::keyClick(box, Qt::Key_Down);
  EXPECT_EQ(order, (std::vector<QString>{QStringLiteral("list %1").arg(Qt::Key_Down),
                                         QStringLiteral("form %1").arg(Qt::Key_Down)}));
  EXPECT_EQ(box->ItemIndex(), 1) << "an unconsumed key takes the ordinary route";

  order.clear();
  box->SetOverKeyDown(false);
  QTest::keyClick(box, Qt::Key_Down);
  EXPECT_EQ(order, (std::vector<QString>{QStringLiteral("form %1").arg(Qt::Key_Down),
                                         QStringLiteral("list %1").arg(Qt::Key_Down)}));
}

TEST_F(ListFixture, RecreationKeepsItemsTopAndSelection) {
  box->Clear();
  for (int i = 0; i < 30; ++i) box->Items().AddObject(QStringLiteral("item %1").arg(i), 100 + i);
  box->SetTopIndex(5);
  box->SetItemIndex(7);
  const int generation = box->WindowGeneration();

  box->SetItemHeight(20);
  EXPECT_EQ(box->WindowGeneration(), generation + 1);
  ASSERT_EQ(box->Items().Count(), 30);
  EXPECT_EQ(box->Items()[29], QStringLiteral("item 29"));
  EXPECT_EQ(box->Items().Objects(12), 112u);
  EXPECT_EQ(box->TopIndex(), 5);
  EXPECT_EQ(box->ItemIndex(), 7);
  EXPECT_EQ(box->ItemRect(7), QRect(0, 40, 200, 20));

  box->SetItemHeight(0);
  EXPECT_EQ(box->ItemHeight(), 20) << "a height of 0 is refused";
  EXPECT_EQ(box->WindowGeneration(), generation + 1);

  box->SetTopIndex(25);
  EXPECT_EQ(box->TopIndex(), 22) << "no further than a full last page";

  box->SetSorted(true);  // re-created; the items come back in order
  EXPECT_EQ(box->Items()[1], QStringLiteral("item 1"));
  EXPECT_EQ(box->Items()[2], QStringLiteral("item 10"));
}

TEST_F(ListFixture, ItemsErrorsAndReplacement) {
  try {
    (void)box->Items().Get(5);
    FAIL() << "no exception";
  } catch (const EListError& error) {
    EXPECT_EQ(error.Message(), QStringLiteral("List index out of bounds (5)"));
  }
  EXPECT_THROW((void)box->Items().Objects(-1), EListError);
  EXPECT_THROW((void)box->Selected(9), EListError);
  try {
    box->Items().Insert(7, QStringLiteral("x"));
    FAIL() << "no exception";
  } catch (const EOutOfResources& error) {
    EXPECT_EQ(error.Message(), QStringLiteral("Unable to insert a line"));
  }
  EXPECT_THROW(box->Items().Put(5, QStringLiteral("x")), EListError);
  EXPECT_EQ(box->Items().Count(), 5);

  box->Items().PutObject(2, 42);
  box->SetItemIndex(3);
  box->Items().Put(2, QStringLiteral("Title"));
  EXPECT_EQ(box->Items()[2], QStringLiteral("Title"));
  EXPECT_EQ(box->Items().Objects(2), 42u) << "the value stays with the item";
  EXPECT_EQ(box->ItemIndex(), 3);
  EXPECT_TRUE(box->Selected(3));
}

TEST_F(ListFixture, HidingAndShowingRepaintNothingBelow) {
  PaintCounter below, list;
  background->installEventFilter(&below);
  box->installEventFilter(&list);
  QApplication::processEvents();
  ASSERT_TRUE(box->hasFocus()) << "the window gave the list the focus";
  box->hide();  // Qt's calls follow the same rule
  QApplication::processEvents();
  EXPECT_FALSE(box->Visible());
  EXPECT_FALSE(box->hasFocus());
  box->show();
  QApplication::processEvents();
  EXPECT_EQ(below.paints, 0);
  EXPECT_EQ(list.paints, 0) << "the owner repaints the list";

  box->SetVisible(false);
  QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(30, 20));
  EXPECT_EQ(clicks, 0) << "a hidden list takes no clicks";

  box->SetTotalCtrlOverDraw(false);
  box->SetVisible(true);
  QApplication::processEvents();
  EXPECT_GT(list.paints, 0) << "an ordinary list repaints when shown";
  box->SetVisible(false);
  QApplication::processEvents();
  EXPECT_GT(below.paints, 0) << "and what lay below repaints when it hides";
}

TEST(DrawListBox, DefaultsAndAStandardList) {
  QWidget form;
  TDrawBox box(&form);
  EXPECT_EQ(box.size(), QSize(121, 97));
  EXPECT_TRUE(box.MoveSense());
  EXPECT_TRUE(box.TotalCtrlOverDraw());
  EXPECT_TRUE(box.OverKeyDown());
  EXPECT_EQ(box.LastX(), 0);
  // A standard list measures its rows by its font and draws the text itself.
  EXPECT_GT(box.ItemHeight(), 0);
  box.SetTabWidth(-3);
  EXPECT_EQ(box.TabWidth(), 0);
}

}  // namespace

namespace {

TEST(DrawListBox, VariableRowsAreMeasuredAndPaintIntoAnotherSurface) {
  QWidget form;
  TDrawBox box(&form);
  box.SetBorderStyle(bsNone);
  box.SetStyle(lbOwnerDrawVariable);
  box.setGeometry(0, 0, 60, 40);
  box.OnMeasureItem = [](QObject*, int index, int& height) { height = 10 + 2 * index; };
  box.OnDrawItem = [&](QObject*, int index, const QRect& rect, TOwnerDrawState) {
    box.Canvas().Fill(rect, QColor::fromRgb(kRowColours[index]));
  };
  for (int i = 0; i < 4; ++i) box.Items().Add(QStringLiteral("row"));
  EXPECT_EQ(box.ItemRect(2), QRect(0, 22, 60, 14));
  EXPECT_EQ(box.ItemAtPos(QPoint(5, 35), true), 2);
  EXPECT_EQ(box.ItemRect(4), QRect(0, 52, 60, 16)) << "below the last, at its height";

  QImage target(100, 100, QImage::Format_RGB32);
  target.fill(Qt::white);
  platform::Canvas canvas(target);
  box.PaintTo(canvas, QPoint(10, 50));
  EXPECT_EQ(canvas.Pixel(15, 55), kRowColours[0]);
  EXPECT_EQ(canvas.Pixel(15, 50 + 22 + 5), kRowColours[2]);
  EXPECT_EQ(canvas.Pixel(15, 49), 0xFFFFFFFF);
}

}  // namespace
