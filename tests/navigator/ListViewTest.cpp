#include <QApplication>

#include "ViewsFixture.h"

namespace {

const QRgb kIndicator = qRgb(250, 0, 0);

TEST_F(ViewsTest, NineteenDemosInTenRowsScrollOverOneToNineteen) {
  ASSERT_EQ(layout_.ListRows, 10);
  views_->ShowList(0, -1, true);
  EXPECT_TRUE(list_->Visible());
  EXPECT_EQ(list_->Items().Count(), 10);
  EXPECT_EQ(list_->geometry(),
            QRect(layout_.ListRegion.Left, layout_.ListRegion.Top, layout_.ListRegion.Width(),
                  10 * layout_.ListRowHeight));
  EXPECT_EQ(bar_->Min(), 1);
  EXPECT_EQ(bar_->Max(), 19);
  EXPECT_EQ(bar_->VisElems(), 10);
  EXPECT_EQ(bar_->Position(), 10);
  EXPECT_EQ(bar_->ChangeLarge(), 9);
  EXPECT_TRUE(bar_->Visible());
  EXPECT_EQ(bar_->x(), layout_.ListRegion.Right + layout_.Margin);
  // The first demo is selected at start: install enabled, its logo scheduled.
  EXPECT_TRUE(install_);
  EXPECT_EQ(State().PendingLogo, (DemoRef{0, 1}));
  EXPECT_EQ(list_->ItemIndex(), 0);

  // End: the bar's last position shows demos 10 to 19.
  bar_->SetPosition(19);
  EXPECT_EQ(State().FirstVisible, 10);
  // The highlight stayed on row 0, which now holds demo 10.
  EXPECT_EQ(list_->ItemIndex(), 0);
  EXPECT_EQ(State().SelectedEntry[0], 10);
  // Positions outside 1..10 are ignored.
  views_->List().SetFirstVisible(11);
  EXPECT_EQ(State().FirstVisible, 10);
  views_->List().SetFirstVisible(0);
  EXPECT_EQ(State().FirstVisible, 10);
}

TEST_F(ViewsTest, ScrollingKeepsTheHighlightOnTheSameScreenRow) {
  State().SelectedEntry[0] = 3;
  views_->ShowList(0, -1, true);
  const int h = layout_.ListRowHeight;
  EXPECT_EQ(list_->ItemIndex(), 2);
  EXPECT_EQ(ListPixel(8, 2 * h + h / 2), kIndicator);
  bar_->SetPosition(bar_->Position() + 4);
  EXPECT_EQ(State().FirstVisible, 5);
  EXPECT_EQ(list_->ItemIndex(), 2);
  EXPECT_EQ(State().SelectedEntry[0], 7);
  EXPECT_EQ(ListPixel(8, 2 * h + h / 2), kIndicator);
  EXPECT_NE(ListPixel(8, 0 * h + h / 2), kIndicator);
  // The logo of the newly selected demo is asked for.
  EXPECT_EQ(State().PendingLogo, (DemoRef{0, 7}));
  // Only the rows were drawn: ten rows of the list's width, nothing of pbMain.
  const int64_t before = views_->List().PixelsDrawn();
  views_->List().SetFirstVisible(6);
  EXPECT_EQ(views_->List().PixelsDrawn() - before, int64_t(10) * h * list_->width());
}

TEST_F(ViewsTest, ScrollingWithNoRowHighlightedSelectsNothingNew) {
  // The selected demo lies below the rows shown: no row is highlighted, and scrolling must
  // not make a demo above the view (or none at all) the selection.
  State().SelectedEntry[0] = 15;
  views_->ShowList(0, -1, true);
  EXPECT_EQ(list_->ItemIndex(), -1);
  bar_->SetPosition(bar_->Position() + 1);
  EXPECT_EQ(State().FirstVisible, 2);
  EXPECT_EQ(State().SelectedEntry[0], 15);
  EXPECT_EQ(list_->ItemIndex(), -1);
  // Scrolled into view, its row shows the highlight.
  bar_->SetPosition(19);
  EXPECT_EQ(list_->ItemIndex(), 5);
}

TEST_F(ViewsTest, MovingOverRowsSelectsThemAndSchedulesTheLogoOnce) {
  views_->ShowList(0, -1, true);
  window_.activateWindow();
  QApplication::setActiveWindow(&window_);
  ASSERT_TRUE(views_->StepLogo());  // the first demo's logo, drawn at the frame step
  EXPECT_EQ(State().ShownLogo, (DemoRef{0, 1}));
  EXPECT_FALSE(views_->LogoPending());
  const int wakes = logoWakes_;
  const int h = layout_.ListRowHeight;

  MoveOverRow(4);
  EXPECT_EQ(list_->ItemIndex(), 4);
  EXPECT_EQ(State().SelectedEntry[0], 5);
  EXPECT_EQ(State().PendingLogo, (DemoRef{0, 5}));
  EXPECT_EQ(logoWakes_, wakes + 1);
  EXPECT_EQ(ListPixel(8, 4 * h + h / 2), kIndicator);
  EXPECT_NE(ListPixel(8, 0 * h + h / 2), kIndicator);
  if (list_->hasFocus()) {
    // The focused row carries the red frame on its left edge once the list repainted.
    list_->repaint();
    EXPECT_EQ(ListPixel(0, 4 * h + h / 2), qRgb(255, 0, 0));
  }
  // Moving on the same row again schedules nothing new; after the logo was drawn, coming back
  // to its row does not draw it again.
  MoveOverRow(4);
  EXPECT_EQ(logoWakes_, wakes + 1);
  views_->StepLogo();
  MoveOverRow(5);
  EXPECT_EQ(State().PendingLogo, (DemoRef{0, 6}));
  // Back on the demo whose logo shows before the next step: the other logo is not drawn.
  MoveOverRow(4);
  EXPECT_FALSE(views_->LogoPending());
  EXPECT_FALSE(views_->StepLogo());
  EXPECT_EQ(State().ShownLogo, (DemoRef{0, 5}));
}

TEST_F(ViewsTest, AClickOpensTheDemoKeepingTheScrollOfTheSameDemoOnly) {
  views_->ShowList(0, -1, true);
  MoveOverRow(1);
  list_->OnClick(list_);
  ASSERT_EQ(modeRequests_, std::vector<int>{5});
  EXPECT_EQ(effects_.back(), (std::pair<int, int>{1, 2}));
  EXPECT_EQ(State().DescribedMode, 5);
  EXPECT_EQ(State().DescribedEntry, 2);
  EXPECT_EQ(State().ImageNumber, 1);

  // The page of that demo scrolled and stepped, then left.
  State().SavedFirstVisible[5] = 4;
  State().ImageNumber = 3;
  views_->ShowList(0, 5, true);
  MoveOverRow(1);
  list_->OnClick(list_);
  EXPECT_EQ(State().SavedFirstVisible[5], 4);
  EXPECT_EQ(State().ImageNumber, 3);
  // Another demo starts at the top with its first screenshot.
  MoveOverRow(2);
  list_->OnClick(list_);
  EXPECT_EQ(State().DescribedEntry, 3);
  EXPECT_EQ(State().SavedFirstVisible[5], 1);
  EXPECT_EQ(State().ImageNumber, 1);
}

TEST_F(ViewsTest, AnEmptyCategoryShowsNoRowsNoBarAndNothingToInstall) {
  install_ = true;
  views_->ShowList(3, 0, true);
  EXPECT_EQ(list_->height(), 0);
  EXPECT_EQ(list_->Items().Count(), 0);
  EXPECT_FALSE(bar_->Visible());
  EXPECT_FALSE(install_);
  EXPECT_FALSE(views_->LogoPending());
  list_->OnClick(list_);
  EXPECT_TRUE(modeRequests_.empty());
  // A category that fits entirely shows no bar either.
  AddDemo(4, "Only", 0);
  views_->ShowList(4, 3, true);
  EXPECT_EQ(list_->Items().Count(), 1);
  EXPECT_FALSE(bar_->Visible());
  EXPECT_TRUE(install_);
}

TEST_F(ViewsTest, LogoIsDrawnInTheAreaOfTheModeAndForgottenWhenLeaving) {
  catalogue_.Entry(0, 1).Logo = {100, 2000};  // a logo whose file cannot be read
  views_->ShowList(0, -1, true);
  views_->StepLogo();
  const LayoutRect& area = layout_.LogoListRegion;
  // No file behind the demo: its substitute shows in aqua inside the area.
  auto aqua = [&] {
    int n = 0;
    const platform::Canvas& c = main_->Canvas();
    for (int y = area.Top; y < area.Bottom; ++y)
      for (int x = area.Left; x < area.Right; ++x) n += c.Pixel(x, y) == qRgb(0, 255, 255);
    return n;
  };
  EXPECT_GT(aqua(), 20);
  EXPECT_FALSE(views_->Logo().LogoBitmap().isNull());
  views_->LeaveMode();
  EXPECT_TRUE(views_->Logo().LogoBitmap().isNull());
  EXPECT_FALSE(State().ShownLogo.Names());
  EXPECT_EQ(State().SavedFirstVisible[0], State().FirstVisible);
  // A change to an empty category (no animation between lists) shows no logo of the list
  // before it: neither the one on screen nor one still waiting for the frame step.
  views_->ShowList(3, 0, true);
  EXPECT_FALSE(views_->LogoPending());
  EXPECT_EQ(aqua(), 0);
  EXPECT_EQ(main_->Canvas().Pixel(area.Left + area.Width() / 2, area.Top + area.Height() / 2),
            qRgb(0, 0, 90));
  views_->LeaveMode();
  views_->ShowList(0, 3, true);
  ASSERT_EQ(State().PendingLogo, (DemoRef{0, 1}));
  views_->LeaveMode();
  views_->ShowList(3, 0, true);
  EXPECT_FALSE(views_->LogoPending());
}

}  // namespace
