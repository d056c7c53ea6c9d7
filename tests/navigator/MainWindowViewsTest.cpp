#include <QApplication>
#include <QMouseEvent>
#include <QTest>

#include "MainWindowFixture.h"
#include "controls/DrawListBox.h"
#include "controls/PosBar.h"
#include "controls/TotalPaintBox.h"
#include "formats/DemoFile.h"
#include "navigator/NavigatorViews.h"

namespace {

// The entry of a description file in the window's catalogue.
DemoRef Find(const TfmMain& fm, const QString& demFile) {
  for (int c = 0; c < kCategoryCount; ++c)
    for (int i = 1; i <= fm.Catalogue->Counts[c]; ++i)
      if (fm.Catalogue->Entry(c, i).DemFile.compare(demFile, Qt::CaseInsensitive) == 0)
        return {c, i};
  return {};
}

int CountColour(const platform::Canvas& c, const QRect& r, QRgb colour) {
  int n = 0;
  for (int y = r.top(); y <= r.bottom(); ++y)
    for (int x = r.left(); x <= r.right(); ++x) n += c.Pixel(x, y) == colour;
  return n;
}

TEST_F(MainWindowTest, ViewsShowTheGamesListAndItsLogosOnTheSampleDisc) {
  auto fm = Start("800x600x32");
  ASSERT_FALSE(fm->Terminated());
  ASSERT_EQ(fm->Catalogue->Counts[0], 19);
  FinishOpening(*fm);
  NavigatorViews& views = *fm->Views;
  views.ShowList(0, -1, true);
  auto* list = qobject_cast<TDrawBox*>(fm->Control("lbDemos"));
  auto* bar = qobject_cast<TPosBar*>(fm->Control("PosBar"));
  ASSERT_TRUE(list && bar);
  EXPECT_TRUE(list->Visible());
  EXPECT_EQ(list->Items().Count(), fm->Layout.ListRows);
  EXPECT_EQ(bar->Max(), 19);
  EXPECT_TRUE(bar->Visible());
  EXPECT_TRUE(fm->Control("gtbInst")->isEnabled());
  // The row's title is drawn over the background: its gradient differs from the background.
  const int h = fm->Layout.ListRowHeight;
  int changed = 0;
  const QPoint at = list->pos() - fm->pbMain()->pos();
  for (int x = 0; x < list->width(); ++x)
    changed += list->Canvas().Pixel(x, h / 2) != fm->BackgroundBitmap.Pixel(at.x() + x, at.y() + h / 2);
  EXPECT_GT(changed, 20);

  // The frame step draws the logo of the selected demo into the list's logo area.
  ASSERT_TRUE(views.LogoPending());
  fm->Frames().RunOnce();
  EXPECT_FALSE(views.LogoPending());
  EXPECT_EQ(views.State().ShownLogo, (DemoRef{0, 1}));
  const LayoutRect& area = fm->Layout.LogoListRegion;
  int logoPixels = 0;
  for (int y = area.Top; y < area.Bottom; y += 2)
    for (int x = area.Left; x < area.Right; x += 2)
      logoPixels += fm->pbMain()->Canvas().Pixel(x, y) != fm->BackgroundBitmap.Pixel(x, y);
  EXPECT_GT(logoPixels, 50);

  // Hovering row 3 selects demo 4 and schedules its logo.
  const QPoint p(30, 3 * h + h / 2);
  QMouseEvent move(QEvent::MouseMove, p, list->mapToGlobal(p), Qt::NoButton, Qt::NoButton,
                   Qt::NoModifier);
  QApplication::sendEvent(list, &move);
  EXPECT_EQ(views.State().SelectedEntry[0], 4);
  EXPECT_EQ(views.State().PendingLogo, (DemoRef{0, 4}));
  EXPECT_TRUE(fm->Frames().Scheduled() || !fm->Frames().Running());

  // The disc has no screen savers: their list shows no logo of the games, neither the one on
  // screen nor the one just asked for.
  fm->ChangeMode(3);
  ASSERT_EQ(fm->Modes().CurrentMode(), 3);
  fm->Frames().RunOnce();
  int left = 0;
  for (int y = area.Top; y < area.Bottom; y += 2)
    for (int x = area.Left; x < area.Right; x += 2)
      left += fm->pbMain()->Canvas().Pixel(x, y) != fm->BackgroundBitmap.Pixel(x, y);
  EXPECT_EQ(left, 0);
  EXPECT_FALSE(views.LogoPending());
}

TEST_F(MainWindowTest, ViewsShowADescriptionPageWithItsScreenshotCutToTheSkin) {
  auto fm = Start("800x600x32");
  ASSERT_FALSE(fm->Terminated());
  ASSERT_TRUE(QTest::qWaitForWindowExposed(fm.get()));
  const DemoRef dragao = Find(*fm, "Dragao.dem");
  ASSERT_TRUE(dragao.Names());
  NavigatorViews& views = *fm->Views;
  ViewState& s = views.State();
  s.DescribedMode = dragao.Category + 5;
  s.DescribedEntry = dragao.Entry;
  auto* tela = qobject_cast<TTotalPaintBox*>(fm->Control("pbTela"));
  const LayoutRect& r = fm->Layout.ScreenshotRegion;
  tela->setGeometry(r.Left, r.Top, r.Width(), r.Height());
  tela->SetVisible(true);
  views.ShowDescription(dragao.Category + 5, true);
  // The title wraps: both title lines are title text.
  ASSERT_GE(s.TitleLines.size(), 3);
  EXPECT_EQ(s.TitleLines.last(), fm->Catalogue->Entry(dragao.Category, dragao.Entry).Subtitle);
  EXPECT_GT(s.Text.Count(), fm->Layout.TextLines);
  // The screenshot decoded at its own size, the page shows it cut by the skin's mask.
  EXPECT_EQ(fm->ScreenshotBitmap.Width(), 640);
  EXPECT_EQ(views.Screen().ScaledScreenshot().size(), QSize(r.Width(), r.Height()));
  const platform::Canvas& c = tela->Canvas();
  const QImage mask = fm->GameMaskBitmap.ToRgb32();
  int outside = 0;
  int mismatched = 0;
  for (int y = 0; y < r.Height(); y += 3)
    for (int x = 0; x < r.Width(); x += 3)
      if (mask.pixel(x, y) == qRgb(0, 0, 0)) {
        ++outside;
        mismatched += c.Pixel(x, y) != fm->BackgroundBitmap.Pixel(x + r.Left, y + r.Top);
      }
  EXPECT_GT(outside, 0);
  EXPECT_EQ(mismatched, 0) << fm->GameMaskBitmap.Width() << "x" << fm->GameMaskBitmap.Height()
                           << " area " << r.Width() << "x" << r.Height();
  if (mismatched) {
    for (int y = 0; y < r.Height(); y += 3)
      for (int x = 0; x < r.Width(); x += 3)
        if (mask.pixel(x, y) == qRgb(0, 0, 0) &&
            c.Pixel(x, y) != fm->BackgroundBitmap.Pixel(x + r.Left, y + r.Top)) {
          ADD_FAILURE() << x << "," << y << " " << std::hex << c.Pixel(x, y) << " vs "
                        << fm->BackgroundBitmap.Pixel(x + r.Left, y + r.Top);
          y = r.Height();
          break;
        }
  }
  // Stepping through five screenshots wraps.
  for (int i = 0; i < 5; ++i) views.StepScreenshot(true);
  EXPECT_EQ(s.ImageNumber, 1);

  // The viewer shows the 640 x 480 screenshot at its own size in the 800 x 600 box.
  views.EnterViewerMode(kViewerMode, dragao.Category + 5, true);
  EXPECT_EQ(tela->geometry(), QRect(0, 0, 800, 600));
  const platform::Canvas& viewer = tela->Canvas();
  EXPECT_EQ(viewer.Pixel(79, 300), qRgb(0, 0, 0));
  EXPECT_NE(viewer.Pixel(80, 300), qRgb(0, 0, 0));
  EXPECT_LT(CountColour(viewer, QRect(80, 60, 640, 480), qRgb(0, 0, 0)), 640 * 480 / 2);
}

}  // namespace
