// The advertisement panel: the list, the pacing with the carried remainder (the elapsed times
// are the test's clock), the replay and the switch, damaged files, the mask, and the click.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QImage>

#include "DemoActionsFixture.h"
#include "navigator/AdvPanel.h"
#include "navigator/FrameLoop.h"
#include "platform/Clock.h"
#include "tools/discwriter/Bmp.h"
#include "tools/discwriter/BpkWriter.h"

namespace {

QByteArray Frame(QRgb colour, int width = 48, int height = 10) {
  QImage image(width, height, QImage::Format_RGB32);
  image.fill(colour);
  return discwriter::EncodeBmp(image);
}

// An animation of frames with the given delays, frame k coloured (k+1, base, 0).
QByteArray Movie(const std::vector<int>& delays, int base = 0) {
  discwriter::BpkWriter writer;
  for (size_t k = 0; k < delays.size(); ++k) writer.AddFrame(Frame(qRgb(int(k) + 1, base, 0)), delays[k]);
  return writer.Build();
}

platform::Bitmap Solid(int w, int h, QRgb colour) {
  QImage image(w, h, QImage::Format_RGB32);
  image.fill(colour);
  return platform::Bitmap(image);
}

class AdvPanelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(tmp_.isValid());
    saved_ = platform::Drives();
    platform::Drives().Clear();
    platform::Drives().Map('D', tmp_.path(), platform::DriveType::CdRom);
    mask_ = Solid(48, 10, qRgb(255, 255, 255));
    background_ = Solid(800, 600, qRgb(0, 0, 200));
    AdvPanel::Skin skin;
    skin.SkinDir = "D:\\SKIN\\";
    skin.Mask = &mask_;
    skin.Background = &background_;
    skin.AdvRect = QRect(150, 509, 48, 10);
    panel_.SetSkin(skin);
    panel_.OnDraw = [this](const QImage& image) { shown_ << image.pixel(0, 0); };
  }
  void TearDown() override { platform::Drives() = saved_; }
  void Add(const QString& name, const QByteArray& bytes) {
    ASSERT_TRUE(testsupport::WriteFile(tmp_.path() + "/SKIN/Advs/" + name, bytes));
  }

  QTemporaryDir tmp_;
  platform::DriveMap saved_;
  platform::Bitmap mask_, background_;
  AdvPanel panel_;
  QList<QRgb> shown_;
};

TEST_F(AdvPanelTest, AdvertisementsPlayInNameOrderWithoutRegardToCase) {
  Add("FURY.BPK", Movie({100}, 2));
  Add("army.bpk", Movie({100}, 1));
  Add("Cola.bpk", Movie({100}, 3));
  Add("notes.txt", "x");
  panel_.SetActive(true);
  EXPECT_EQ(panel_.AdvList, (QStringList{"army.bpk", "Cola.bpk", "FURY.BPK"}));
  for (int i = 0; i < 3; ++i) panel_.StepAdvPanel(100);
  EXPECT_EQ(shown_, (QList<QRgb>{qRgb(1, 1, 0), qRgb(1, 3, 0), qRgb(1, 2, 0), qRgb(1, 1, 0)}));
  EXPECT_EQ(panel_.AdvShownIndex, 0);
}

TEST_F(AdvPanelTest, OneFramePerStepWithTheRemainderCarried) {
  Add("a.bpk", Movie({100, 100, 100, 100, 100}));
  panel_.SetActive(true);  // the first frame at once
  ASSERT_EQ(panel_.FramesDrawn, 1);
  EXPECT_EQ(panel_.MsUntilNextFrame(), 100);
  panel_.StepAdvPanel(250);  // two and a half frames due: one drawn, 50 ms kept
  EXPECT_EQ(panel_.FramesDrawn, 2);
  EXPECT_EQ(panel_.AdvElapsed, 50);
  EXPECT_EQ(panel_.MsUntilNextFrame(), 50);
  panel_.StepAdvPanel(40);
  EXPECT_EQ(panel_.FramesDrawn, 2);
  panel_.StepAdvPanel(10);
  EXPECT_EQ(panel_.FramesDrawn, 3);
  EXPECT_EQ(panel_.AdvElapsed, 0);
  panel_.Paint();  // a repaint shows the next frame at once and restarts the count
  EXPECT_EQ(panel_.FramesDrawn, 4);
  EXPECT_EQ(shown_.last(), qRgb(4, 0, 0));
}

TEST_F(AdvPanelTest, ADelayOfZeroShowsTheNextFrameAtTheNextStep) {
  Add("a.bpk", Movie({0, 100, 100}));
  panel_.SetActive(true);
  EXPECT_EQ(panel_.MsUntilNextFrame(), 0);
  panel_.StepAdvPanel(1);
  EXPECT_EQ(shown_, (QList<QRgb>{qRgb(1, 0, 0), qRgb(2, 0, 0)}));
  panel_.StepAdvPanel(1);
  EXPECT_EQ(shown_.size(), 2);
}

TEST_F(AdvPanelTest, ASingleAdvertisementReplaysFromItsOpenFile) {
  Add("only.bpk", Movie({50, 50}));
  panel_.SetActive(true);
  // Gone from the folder: a reopening would fail and stop the panel.
  ASSERT_TRUE(QFile::remove(tmp_.path() + "/SKIN/Advs/only.bpk"));
  for (int i = 0; i < 5; ++i) panel_.StepAdvPanel(50);
  EXPECT_TRUE(panel_.Active());
  EXPECT_EQ(shown_, (QList<QRgb>{qRgb(1, 0, 0), qRgb(2, 0, 0), qRgb(1, 0, 0), qRgb(2, 0, 0),
                                 qRgb(1, 0, 0), qRgb(2, 0, 0)}));
}

TEST_F(AdvPanelTest, ADamagedFrameSkipsToTheNextAdvertisement) {
  // The table names a second frame whose data the stream does not hold.
  discwriter::BpkWriter damaged;
  const QByteArray frame = Frame(qRgb(9, 9, 9));
  damaged.AddFrame(frame, 30);
  damaged.TableOverride = {{int32_t(frame.size()), 30}, {int32_t(frame.size()), 30}};
  damaged.FrameCountOverride = 2;
  Add("a.bpk", damaged.Build());
  Add("b.bpk", Movie({30}, 7));
  panel_.SetActive(true);
  ASSERT_EQ(shown_, QList<QRgb>{qRgb(9, 9, 9)});
  panel_.StepAdvPanel(30);  // the broken frame: nothing drawn, on to b
  EXPECT_EQ(panel_.AdvIndex, 1);
  panel_.StepAdvPanel(30);
  EXPECT_EQ(shown_.last(), qRgb(1, 7, 0));
  EXPECT_EQ(panel_.AdvShownIndex, 1);
}

TEST_F(AdvPanelTest, NoUsableFileStopsThePanelSilently) {
  platform::ScopedScriptedDialogs dialogs;
  // No folder: the panel stops instead of looking again at every step of the frame loop.
  panel_.SetActive(true);
  EXPECT_FALSE(panel_.Active());
  EXPECT_EQ(panel_.MsUntilNextFrame(), -1);
  // The next list mode looks again.
  Add("junk.bpk", "not an animation");
  Add("empty.bpk", "");
  panel_.SetActive(true);
  EXPECT_FALSE(panel_.Active());
  EXPECT_TRUE(shown_.isEmpty());
  EXPECT_TRUE(dialogs->Records().empty());
  EXPECT_EQ(panel_.MsUntilNextFrame(), -1);
}

TEST_F(AdvPanelTest, NegativeDelaysCountAsZero) {
  Add("a.bpk", Movie({-500, 100, 100}));
  panel_.SetActive(true);
  EXPECT_EQ(panel_.AdvFrameDelay, 0);
  panel_.StepAdvPanel(16);
  EXPECT_EQ(panel_.FramesDrawn, 2);
}

TEST(AdvMask, BlackShowsTheBackgroundAndWhiteTheFrame) {
  const platform::Bitmap frame = Solid(4, 2, qRgb(200, 0, 0));  // stretched to 8 x 4
  QImage maskImage(8, 4, QImage::Format_RGB32);
  maskImage.fill(qRgb(0, 0, 0));
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 3; ++x) maskImage.setPixel(x, y, qRgb(255, 255, 255));
  QImage back(20, 20, QImage::Format_RGB32);
  back.fill(qRgb(1, 2, 3));
  for (int y = 10; y < 14; ++y) back.setPixel(15, y, qRgb(0, 90, 0));
  const QImage result = AdvPanel::ComposeFrame(frame, platform::Bitmap(maskImage),
                                               platform::Bitmap(back), QRect(8, 10, 8, 4));
  ASSERT_EQ(result.size(), QSize(8, 4));
  for (int y = 0; y < 4; ++y) {
    for (int x = 0; x < 3; ++x) EXPECT_EQ(result.pixel(x, y), qRgb(200, 0, 0)) << x << "," << y;
    for (int x = 3; x < 8; ++x)
      EXPECT_EQ(result.pixel(x, y), x == 7 ? qRgb(0, 90, 0) : qRgb(1, 2, 3)) << x << "," << y;
  }
}

TEST_F(AdvPanelTest, TheFrameLoopSleepsUntilTheNextFrame) {
  Add("a.bpk", Movie({100, 100, 100, 100}));
  platform::ManualClock clock(1000);
  FrameLoop loop(
      [this](uint32_t elapsed) {
        panel_.StepAdvPanel(int(elapsed));
        return panel_.MsUntilNextFrame();
      },
      clock);
  loop.ResetTime();
  panel_.SetActive(true);
  // Steady runs 100 ms apart draw one frame each and ask to sleep 100 ms.
  for (int i = 0; i < 3; ++i) {
    clock.Advance(100);
    loop.RunOnce();
  }
  EXPECT_EQ(panel_.MsUntilNextFrame(), 100);
  EXPECT_GE(panel_.FramesDrawn, 3);
  EXPECT_LE(loop.Runs(), 3u);
}

// The click and its cursors; a click starts the trailer of the advertisement shown.
TEST_F(AdvPanelTest, PressMoveOutReleaseInsideStartsNothing) {
  Add("a.bpk", Movie({100}));
  Add("b.bpk", Movie({100}));
  QList<int> trailers, cursors;
  panel_.OnTrailer = [&](int index) { trailers << index; };
  panel_.OnCursor = [&](int cursor) { cursors << cursor; };
  panel_.SetActive(true);
  const QSize size(48, 10);
  panel_.MouseDown(true);
  panel_.MouseMove({60, 5}, size);
  panel_.MouseUp({5, 5}, size);
  EXPECT_TRUE(trailers.isEmpty());
  EXPECT_EQ(cursors, (QList<int>{2, 0}));
  panel_.MouseDown(false);  // another button or a modifier
  panel_.MouseUp({5, 5}, size);
  EXPECT_TRUE(trailers.isEmpty());

  panel_.StepAdvPanel(100);  // the second advertisement
  cursors.clear();
  panel_.MouseMove({5, 5}, size);
  panel_.MouseDown(true);
  panel_.MouseMove({6, 5}, size);
  panel_.MouseUp({6, 5}, size);
  EXPECT_EQ(trailers, QList<int>{1});
  EXPECT_EQ(cursors, (QList<int>{1, 2, 1}));
  EXPECT_EQ(AdvPanel::TrailerPath("D:\\", 1), "D:\\demos\\trailers\\furydemo.exe");
  EXPECT_EQ(AdvPanel::TrailerPath("D:\\", 2), "");
}

TEST_F(DemoActionsTest, ATrailerOfTheSampleDiscIsStartedAndRecorded) {
  const QString sample = testsupport::SampleDisc();
  if (!QDir(sample).exists()) GTEST_SKIP() << "no sample disc";
  platform::Drives().Map('D', sample, platform::DriveType::CdRom);
  qputenv("QUARX_STANDIN_LOG", tools_.LogPath().toLocal8Bit());
  actions_.StartTrailer(1);
  actions_.StartTrailer(2);  // beyond the table: nothing
  qunsetenv("QUARX_STANDIN_LOG");
  ASSERT_TRUE(tools_.WaitForCalls(1));
  EXPECT_EQ(QFileInfo(tools_.Calls().at(0).at(0)).fileName(), "furydemo.exe");
  EXPECT_EQ(window_.Events, (QStringList{"minimise"}));
  EXPECT_TRUE(dialogs_->Records().empty());
}

}  // namespace
