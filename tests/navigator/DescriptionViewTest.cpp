#include "ViewsFixture.h"

namespace {

QString LongText() {
  QString text;
  for (int p = 0; p < 6; ++p) {
    for (int w = 0; w < 40; ++w) text += QStringLiteral("palavra ");
    text += QStringLiteral("fim\r\n");
  }
  return text + QStringLiteral("ultima");
}

class DescriptionViewTest : public ViewsTest {
 protected:
  void Open(int entry) {
    // As a click on the list opens a demo: another demo starts at its first screenshot.
    if (State().DescribedEntry != entry) State().ImageNumber = 1;
    State().DescribedMode = 5;
    State().DescribedEntry = entry;
    views_->ShowDescription(5, true);
  }
};

TEST_F(DescriptionViewTest, FillsTheListWithTheWrappedLinesAndSetsUpTheBar) {
  catalogue_.Entry(0, 1).Description = LongText();
  Open(1);
  const ViewState& s = State();
  ASSERT_GT(s.Text.Count(), layout_.TextLines);
  EXPECT_EQ(list_->Items().Count(), layout_.TextLines);
  EXPECT_EQ(list_->ItemHeight(), layout_.TextLineHeight);
  EXPECT_EQ(list_->pos(), QPoint(layout_.TextRegion.Left, layout_.TextRegion.Top));
  EXPECT_EQ(list_->cursor().shape(), Qt::ArrowCursor);
  EXPECT_EQ(bar_->Max(), s.Text.Count());
  EXPECT_EQ(bar_->x(), layout_.TextRegion.Right + layout_.Margin);
  EXPECT_TRUE(bar_->Visible());
  EXPECT_EQ(s.SelectedEntry[5], 1);
  EXPECT_EQ(list_->ItemIndex(), 0);
  EXPECT_EQ(s.PendingLogo, (DemoRef{0, 1}));
  // Every paragraph's last line ends a paragraph; the lines are no wider than the text box.
  int ends = 0;
  for (int i = 0; i < s.Text.Count(); ++i) ends += s.Text.LineEndsParagraph[i];
  EXPECT_EQ(ends, 7);
  const int width = layout_.TextRegion.Width() - 3 * 8;
  const TextWidthFn measure = WidthInFont(TextLineFont(1.0));
  for (const QString& line : s.Text.Lines) EXPECT_LE(measure(line.trimmed()), width);

  // A click on the last row pages down, on row 0 up again.
  list_->SetItemIndex(layout_.TextLines - 1);
  list_->OnClick(list_);
  EXPECT_EQ(s.FirstVisible, layout_.TextLines);
  list_->SetItemIndex(0);
  list_->OnClick(list_);
  EXPECT_EQ(s.FirstVisible, 1);
}

TEST_F(DescriptionViewTest, JustifiedAndRaggedLinesEndWhereTheyShould) {
  catalogue_.Entry(0, 1).Description = LongText();
  auto rightmostWhite = [this](int row) {
    const int h = list_->ItemHeight();
    int right = -1;
    for (int y = row * h; y < (row + 1) * h; ++y)
      for (int x = 0; x < list_->width(); ++x)
        if (ListPixel(x, y) == qRgb(255, 255, 255)) right = std::max(right, x);
    return right;
  };
  Open(1);
  ASSERT_EQ(State().Text.LineEndsParagraph[0], 0);
  const int justified = rightmostWhite(0);
  EXPECT_GE(justified, list_->width() - 2 * 8 - 3);
  EXPECT_LT(justified, list_->width() - 2 * 8);
  ragged_ = true;
  views_->List().RedrawRows();
  EXPECT_LT(rightmostWhite(0), justified - 3);
}

TEST_F(DescriptionViewTest, AWrappingTitleHidesTheSubtitle) {
  catalogue_.Entry(0, 1).Title = QStringLiteral("Curto");
  Open(1);
  EXPECT_EQ(State().TitleLines, (QStringList{"Curto", "Sub Demo 1"}));
  catalogue_.Entry(0, 2).Title =
      QStringLiteral("O Dragão de Cristal: A Lenda das Sete Montanhas Perdidas do Reino");
  Open(2);
  ASSERT_GE(State().TitleLines.size(), 3);
  EXPECT_TRUE(State().TitleLines[1] != QStringLiteral("Sub Demo 2"));
  // The title block: aqua title right-aligned in the title region, outlined in blue.
  const LayoutRect& r = layout_.TitleRegion;
  int aqua = 0;
  int blue = 0;
  for (int y = r.Top - 1; y < r.Bottom; ++y)
    for (int x = r.Left - 40; x < r.Right; ++x) {
      aqua += main_->Canvas().Pixel(x, y) == qRgb(0, 255, 255);
      blue += main_->Canvas().Pixel(x, y) == qRgb(0, 0, 255);
    }
  EXPECT_GT(aqua, 30);
  EXPECT_GT(blue, 30);
}

TEST_F(DescriptionViewTest, ThreeScreenshotsWrapBothWaysAndOneStaysPut) {
  tela_->setGeometry(layout_.ScreenshotRegion.Left, layout_.ScreenshotRegion.Top,
                     layout_.ScreenshotRegion.Width(), layout_.ScreenshotRegion.Height());
  tela_->SetVisible(true);
  Open(2);  // three screenshots, none readable
  EXPECT_EQ(State().ImageNumber, 1);
  views_->StepScreenshot(true);
  views_->StepScreenshot(true);
  EXPECT_EQ(State().ImageNumber, 3);
  views_->StepScreenshot(true);
  EXPECT_EQ(State().ImageNumber, 1);
  views_->StepScreenshot(false);
  EXPECT_EQ(State().ImageNumber, 3);
  EXPECT_EQ(effects_, (std::vector<std::pair<int, int>>{{3, 4}, {3, 4}, {3, 4}, {4, 5}}));
  // The right button on the picture steps backward, the left forward.
  tela_->OnMouseUp(tela_, Qt::RightButton, Qt::NoModifier, 5, 5);
  EXPECT_EQ(State().ImageNumber, 2);
  tela_->OnMouseUp(tela_, Qt::LeftButton, Qt::NoModifier, 5, 5);
  EXPECT_EQ(State().ImageNumber, 3);
  // The page shows the substitute of an unreadable picture in aqua.
  int aqua = 0;
  const platform::Canvas& c = tela_->Canvas();
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 200; ++x) aqua += c.Pixel(x, y) == qRgb(0, 255, 255);
  EXPECT_GT(aqua, 20);

  effects_.clear();
  Open(1);  // one screenshot: nothing moves
  views_->StepScreenshot(true);
  tela_->OnMouseUp(tela_, Qt::LeftButton, Qt::NoModifier, 5, 5);
  EXPECT_EQ(State().ImageNumber, 1);
  EXPECT_TRUE(effects_.empty());
}

}  // namespace

namespace {

TEST_F(DescriptionViewTest, HowToPanelShowsInTheInformationRegionAndGoesAgain) {
  catalogue_.Entry(0, 1).HowTo = QStringLiteral("//exC:\\Jogos\\Demo\\");
  Open(1);
  const LayoutRect& r = layout_.InfoRegion;
  auto yellow = [&] {
    int n = 0;
    for (int y = r.Top; y < r.Bottom; ++y)
      for (int x = r.Left; x < r.Right; ++x) n += main_->Canvas().Pixel(x, y) == qRgb(255, 255, 0);
    return n;
  };
  EXPECT_FALSE(views_->HowToBuilt());
  views_->DrawHowTo(true);
  EXPECT_TRUE(views_->HowToBuilt());
  EXPECT_GT(yellow(), 50);
  views_->DrawHowTo(false);
  EXPECT_EQ(yellow(), 0);
  EXPECT_EQ(main_->Canvas().Pixel(r.Left + 5, r.Top + 5), qRgb(0, 0, 90));
  // Another page builds its panel afresh.
  Open(2);
  EXPECT_FALSE(views_->HowToBuilt());
}

}  // namespace
