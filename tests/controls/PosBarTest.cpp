#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <QWidget>
#include <vector>

#include "controls/PosBar.h"
#include "platform/Clock.h"

namespace {

platform::Bitmap Solid(int w, int h, QRgb colour) {
  QImage image(w, h, QImage::Format_RGB32);
  image.fill(colour);
  return platform::Bitmap(image);
}

constexpr QRgb kGrey = 0xFF808080, kRed = 0xFFFF0000, kGreen = 0xFF00FF00, kBlue = 0xFF0000FF;

// A form with the navigator's kind of bar: 16-pixel arrows, a 16x20 thumb, 181 pixels high,
// so the track is 149 pixels long.
struct BarFixture : ::testing::Test {
  platform::ManualClock clock{1000};
  platform::Bitmap background = Solid(200, 300, kGrey);
  std::vector<std::pair<TPosCode, int>> scrolls;
  int changes = 0;
  QWidget form;  // after what its handlers use: it goes first
  TPosBar* bar = nullptr;

  void SetUp() override {
    form.resize(200, 300);
    bar = new TPosBar(&form, &clock);
    bar->move(10, 10);
    bar->SetBackground(&background);
    bar->SetPicUpUP(Solid(16, 16, kRed));
    bar->SetPicUpDO(Solid(16, 16, 0xFF800000));
    bar->SetPicDownUP(Solid(16, 16, kGreen));
    bar->SetPicDownDO(Solid(16, 16, 0xFF008000));
    bar->SetPicSlider(Solid(16, 20, kBlue));
    bar->resize(16, 181);
    bar->OnScroll = [this](QObject*, TPosCode code, int& pos) { scrolls.emplace_back(code, pos); };
    bar->OnChange = [this](QObject*) { ++changes; };
  }

  // Holds the mouse down at point for totalMs, ticking the repeat timer every 10 ms.
  void Hold(QPoint point, uint32_t totalMs) {
    QTest::mousePress(bar, Qt::LeftButton, {}, point);
    for (uint32_t t = 0; t < totalMs; t += 10) {
      clock.Advance(10);
      bar->RepeatTimer().Tick();
    }
    QTest::mouseRelease(bar, Qt::LeftButton, {}, point);
  }

  // The thumb's top row as drawn: the first blue row in the bar's middle column.
  int DrawnThumbTop() {
    const QImage image = bar->grab().toImage();
    for (int y = 0; y < image.height(); ++y)
      if (image.pixel(8, y) == kBlue) return y;
    return -1;
  }
};

TEST_F(BarFixture, SetParamsClampsAndRefusesAContradictoryRange) {
  bar->SetParams(2, 1, 13, 40);  // below Min + VisElems - 1
  EXPECT_EQ(bar->Position(), 13);
  EXPECT_EQ(bar->ChangeLarge(), 12);  // AutoScan
  bar->SetParams(99, 1, 13, 40);
  EXPECT_EQ(bar->Position(), 40);
  bar->SetParams(5, 1, 13, 8);  // the range is smaller than the window: the upper bound wins
  EXPECT_EQ(bar->Position(), 8);

  const int changesBefore = changes;
  bar->SetParams(8, 1, 13, 8);
  EXPECT_EQ(changes, changesBefore) << "nothing changed, no OnChange";

  try {
    bar->SetParams(5, 10, 3, 9);
    FAIL() << "no exception";
  } catch (const EPosBarError& error) {
    EXPECT_EQ(error.Message(), QStringLiteral("Valores mínimos e máximos contraditórios!"));
  }
  EXPECT_EQ(bar->Position(), 8);
  EXPECT_EQ(bar->Min(), 1);
  EXPECT_EQ(bar->Max(), 8);
  EXPECT_EQ(bar->VisElems(), 13) << "a refused call changes nothing";
  EXPECT_THROW(bar->SetMax(0), EPosBarError);
}

TEST_F(BarFixture, KeysStepByLineAndPage) {
  bar->SetParams(13, 1, 13, 40);
  QTest::keyClick(bar, Qt::Key_PageDown);
  EXPECT_EQ(bar->Position(), 25);
  QTest::keyClick(bar, Qt::Key_Up);
  EXPECT_EQ(bar->Position(), 24);
  QTest::keyClick(bar, Qt::Key_End);
  EXPECT_EQ(bar->Position(), 40);
  QTest::keyClick(bar, Qt::Key_PageDown);  // already at the end: reported all the same
  QTest::keyClick(bar, Qt::Key_Home);
  EXPECT_EQ(bar->Position(), 13);
  QTest::keyClick(bar, Qt::Key_Left);  // not a key of a vertical bar
  const std::vector<std::pair<TPosCode, int>> expected = {
      {pcPageDown, 25}, {pcLineUp, 24}, {pcBottom, 40}, {pcPageDown, 40}, {pcTop, 13}};
  EXPECT_EQ(scrolls, expected);
}

TEST_F(BarFixture, AScrollHandlerMayChangeThePosition) {
  bar->SetParams(1, 1, 1, 40);
  bar->OnScroll = [](QObject*, TPosCode, int& pos) { pos = 30; };
  QTest::keyClick(bar, Qt::Key_Down);
  EXPECT_EQ(bar->Position(), 30);
}

TEST_F(BarFixture, AHeldArrowRepeatsAfter200MsThenEveryCycleTime) {
  bar->SetParams(1, 1, 1, 1000);
  Hold(QPoint(8, 176), 1000);  // the down arrow
  // One at the press, one at 200 ms, then 250, 300 ... 1000 ms.
  EXPECT_EQ(scrolls.size(), 18u);
  EXPECT_EQ(bar->Position(), 19);
  for (const auto& scroll : scrolls) EXPECT_EQ(scroll.first, pcLineDown);

  scrolls.clear();
  Hold(QPoint(8, 176), 190);
  EXPECT_EQ(scrolls.size(), 1u) << "no repeat before 200 ms";
  clock.Advance(500);
  EXPECT_FALSE(bar->RepeatTimer().Tick()) << "released: the repeat stopped";

  QTest::mousePress(bar, Qt::LeftButton, {}, QPoint(8, 176));
  bar->setEnabled(false);  // the release can no longer arrive
  clock.Advance(500);
  EXPECT_FALSE(bar->RepeatTimer().Tick());
}

TEST_F(BarFixture, HeldTrackPagesUntilTheThumbReachesTheMouse) {
  bar->SetParams(10, 1, 10, 100);  // pages of 9 over 91 positions
  Hold(QPoint(8, 120), 2000);      // on the track below the thumb
  ASSERT_GE(scrolls.size(), 2u);
  for (const auto& scroll : scrolls) EXPECT_EQ(scroll.first, pcPageDown);
  const QRect thumb = bar->ThumbRect();
  EXPECT_LE(thumb.top(), 120) << "paging stops once the thumb is under the mouse";
  EXPECT_LT(bar->Position(), 100);
}

TEST_F(BarFixture, ThumbSitsAtTheEndsAndInProportionBetween) {
  bar->SetParams(1, 1, 1, 11);  // count 11 over a 149-pixel track, travel 129
  EXPECT_EQ(bar->ThumbOffset(), 0);
  EXPECT_EQ(DrawnThumbTop(), 16);
  bar->SetPosition(6);  // 149 / 11 * 5 = 67.7
  EXPECT_EQ(bar->ThumbOffset(), 68);
  EXPECT_EQ(DrawnThumbTop(), 16 + 68);
  bar->SetPosition(11);
  EXPECT_EQ(bar->ThumbOffset(), 129);
  EXPECT_EQ(DrawnThumbTop(), 16 + 129);

  const QImage image = bar->grab().toImage();
  EXPECT_EQ(image.pixel(8, 0), kRed);
  EXPECT_EQ(image.pixel(8, 180), kGreen);
  EXPECT_EQ(image.pixel(8, 100), kGrey) << "the track shows the window's background";

  bar->SetParams(5, 1, 5, 5);  // a range of exactly one window
  EXPECT_EQ(bar->ThumbOffset(), 0);
}

// The owner places the bar while its window is still hidden, as the navigator does before it
// first shows: the track and the thumb follow the new length at once.
TEST_F(BarFixture, BarPlacedBeforeItsWindowShowsMeasuresItsNewLength) {
  ASSERT_FALSE(form.isVisible());
  bar->SetParams(11, 1, 1, 11);
  bar->setGeometry(10, 10, 16, 121);  // track 89, travel 69
  EXPECT_EQ(bar->TrackLength(), 89);
  EXPECT_EQ(bar->ThumbOffset(), 69);
  EXPECT_EQ(bar->ThumbRect(), QRect(0, 16 + 69, 16, 20));
  EXPECT_EQ(bar->PartAt(QPoint(8, 110)), TPosBar::Part::DownArrow);
  EXPECT_EQ(DrawnThumbTop(), 16 + 69);
}

TEST_F(BarFixture, DraggingTheThumbReportsWholePositions) {
  bar->SetParams(1, 1, 1, 11);
  const QPoint grip(8, 16 + 5);
  QTest::mousePress(bar, Qt::LeftButton, {}, grip);
  QTest::mouseMove(bar, grip + QPoint(0, 13));  // less than one position (13.5 px)
  EXPECT_TRUE(scrolls.empty());
  EXPECT_EQ(bar->ThumbOffset(), 13) << "the thumb follows the mouse";
  QTest::mouseMove(bar, grip + QPoint(0, 28));  // two positions
  ASSERT_EQ(scrolls.size(), 1u);
  EXPECT_EQ(scrolls.back(), std::make_pair(pcPosition, 3));
  QTest::mouseMove(bar, grip + QPoint(30, 40));  // too far to the side: the thumb stays
  EXPECT_EQ(bar->ThumbOffset(), 28);
  QTest::mouseRelease(bar, Qt::LeftButton, {}, grip + QPoint(0, 28));
  EXPECT_EQ(bar->Position(), 3);
  EXPECT_EQ(bar->ThumbOffset(), 27) << "placed for the position on release";
  EXPECT_EQ(scrolls.back(), std::make_pair(pcPosition, 3));

  scrolls.clear();
  const QPoint grip2(8, 16 + 27 + 5);
  QTest::mousePress(bar, Qt::LeftButton, {}, grip2);
  QTest::mouseMove(bar, grip2 + QPoint(0, 120));  // past the end of the travel
  QTest::mouseRelease(bar, Qt::LeftButton, {}, grip2 + QPoint(0, 120));
  EXPECT_EQ(bar->Position(), 11) << "the end of the travel is the last position";
  EXPECT_EQ(bar->ThumbOffset(), 129);
}

TEST_F(BarFixture, TransparentArrowPixelsIgnoreClicks) {
  QImage arrow(16, 16, QImage::Format_RGB32);
  arrow.fill(kRed);
  for (int x = 0; x < 8; ++x) arrow.setPixel(x, 15, 0xFFFF00FF);  // the transparent colour
  bar->SetPicDownUP(platform::Bitmap(arrow));
  bar->SetTranspDownPic(true);
  bar->SetParams(1, 1, 1, 20);
  QTest::mouseClick(bar, Qt::LeftButton, {}, QPoint(2, 180));
  EXPECT_TRUE(scrolls.empty());
  EXPECT_EQ(bar->grab().toImage().pixel(2, 180), kGrey) << "drawn transparently";
  QTest::mouseClick(bar, Qt::LeftButton, {}, QPoint(12, 180));
  EXPECT_EQ(bar->Position(), 2);
}

TEST_F(BarFixture, FocusBlinkDrawsAndRemovesTheMark) {
  form.show();
  bar->SetParams(1, 1, 1, 11);
  bar->setFocus();
  QApplication::processEvents();
  ASSERT_TRUE(bar->hasFocus());
  const QPoint centre = bar->ThumbRect().center();
  clock.Advance(1000);
  EXPECT_TRUE(bar->BlinkTimer().Tick());
  EXPECT_EQ(bar->grab().toImage().pixel(centre), kRed);
  clock.Advance(1000);
  bar->BlinkTimer().Tick();
  EXPECT_EQ(bar->grab().toImage().pixel(centre), kBlue);
  clock.Advance(1000);
  bar->BlinkTimer().Tick();
  EXPECT_TRUE(bar->BlinkMarkShown());
  bar->clearFocus();
  EXPECT_FALSE(bar->BlinkMarkShown()) << "losing the focus removes the mark";
  EXPECT_EQ(bar->grab().toImage().pixel(centre), kBlue);
}

TEST_F(BarFixture, BackgroundComesFromUnderTheBarAndTheBGParent) {
  QImage picture(200, 300, QImage::Format_RGB32);
  for (int y = 0; y < 300; ++y)
    for (int x = 0; x < 200; ++x) picture.setPixel(x, y, qRgb(x, y % 256, 0));
  platform::Bitmap art(picture);
  bar->SetBackground(&art);
  EXPECT_EQ(bar->grab().toImage().pixel(3, 100), qRgb(13, 110, 0));

  QWidget other;
  auto* foreign = new QWidget(&other);
  try {
    bar->SetBGParent(foreign);
    FAIL() << "no exception";
  } catch (const EPosBarError& error) {
    EXPECT_EQ(
        error.Message(),
        QStringLiteral("O TGraphicControl especificado não tem o mesmo parente que o TPosBar."));
  }
  EXPECT_EQ(bar->BGParent(), nullptr);

  auto* sibling = new QWidget(&form);
  sibling->move(5, 2);
  bar->SetBGParent(sibling);
  EXPECT_EQ(bar->grab().toImage().pixel(3, 100), qRgb(8, 108, 0));
  delete sibling;
  EXPECT_EQ(bar->BGParent(), nullptr);
  EXPECT_EQ(bar->grab().toImage().pixel(3, 100), qRgb(13, 110, 0));
}

TEST(PosBarKinds, SliderMeasuresItsPicturesAndFlipsTheSwitch) {
  platform::ManualClock clock;
  QWidget form;
  auto* bar = new TPosBar(&form, &clock);
  bar->SetKind(pkHorzSlider);
  bar->SetPicUpUP(Solid(100, 10, kGrey));    // the track
  bar->SetPicDownUP(Solid(12, 14, kGreen));  // switch off
  bar->SetPicDownDO(Solid(12, 14, kRed));    // switch on
  bar->SetPicSlider(Solid(10, 12, kBlue));
  EXPECT_EQ(bar->size(), QSize(100 + 12 + 6, 14));
  EXPECT_EQ(bar->TrackLength(), 100);

  std::vector<bool> flips;
  bar->OnDesligado = [&](QObject*, bool off) { flips.push_back(off); };
  const QPoint onSwitch(112, 7);
  QTest::mousePress(bar, Qt::LeftButton, {}, onSwitch);
  EXPECT_EQ(bar->grab().toImage().pixel(onSwitch), kRed) << "the other picture while pressed";
  QTest::mouseMove(bar, QPoint(50, 7));
  QTest::mouseRelease(bar, Qt::LeftButton, {}, QPoint(50, 7));
  EXPECT_TRUE(flips.empty()) << "released off the switch";
  EXPECT_EQ(bar->grab().toImage().pixel(onSwitch), kGreen);
  QTest::mouseClick(bar, Qt::LeftButton, {}, onSwitch);
  QTest::keyClick(bar, Qt::Key_Return);
  EXPECT_EQ(flips, (std::vector<bool>{true, false}));

  bar->SetParams(0, 0, 1, 10);
  QTest::keyClick(bar, Qt::Key_Right);
  QTest::keyClick(bar, Qt::Key_Down);  // not a key of a horizontal bar
  EXPECT_EQ(bar->Position(), 1);
  EXPECT_EQ(bar->ThumbRect().top(), (14 - 12) / 2) << "centred across the bar";
}

TEST(PosBarKinds, UpDownBarWithoutArrowsKeepsOnlyThePosition) {
  QWidget form;
  auto* bar = new TPosBar(&form);
  bar->SetPicSlider(Solid(16, 20, kBlue));
  bar->SetParams(5, 0, 1, 10);
  EXPECT_EQ(bar->Position(), 5);
  EXPECT_TRUE(bar->ThumbRect().isNull());
  EXPECT_EQ(bar->height(), 181) << "a new bar is 181 pixels high";
}

}  // namespace

namespace {

struct PaintCount : QObject {
  int paints = 0;
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) ++paints;
    return false;
  }
};

TEST_F(BarFixture, OverDrawnBarHidesWithoutRepaintAndTakesNoInput) {
  auto* below = new QWidget(&form);
  below->setGeometry(0, 0, 200, 300);
  below->lower();
  form.show();
  bar->SetParams(1, 1, 1, 11);
  bar->setFocus();
  QApplication::processEvents();
  PaintCount belowPaints, barPaints;
  below->installEventFilter(&belowPaints);
  bar->installEventFilter(&barPaints);

  bar->SetTotalCtrlOverDraw(true);
  bar->SetVisible(false);
  QApplication::processEvents();
  EXPECT_FALSE(bar->hasFocus());
  QTest::mouseClick(bar, Qt::LeftButton, {}, QPoint(8, 176));
  QTest::keyClick(bar, Qt::Key_Down);
  EXPECT_TRUE(scrolls.empty()) << "a hidden bar takes no input";
  bar->SetVisible(true);
  QApplication::processEvents();
  EXPECT_EQ(belowPaints.paints, 0);
  EXPECT_EQ(barPaints.paints, 0);

  bar->SetTotalCtrlOverDraw(false);
  bar->SetVisible(false);
  QApplication::processEvents();
  EXPECT_GT(belowPaints.paints, 0) << "an ordinary bar leaves its area to be repainted";
}

}  // namespace
