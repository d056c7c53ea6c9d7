#include <QFile>
#include <QTemporaryDir>

#include "ViewsFixture.h"
#include "platform/Drives.h"

namespace {

TEST(ViewerBoxTest, LargestFourByThreeBoxCentredInTheWindow) {
  EXPECT_EQ(Viewer::ViewerBox({1024, 768}), QRect(0, 0, 1024, 768));
  EXPECT_EQ(Viewer::ViewerBox({1280, 1024}), QRect(0, 32, 1280, 960));
  EXPECT_EQ(Viewer::ViewerBox({800, 600}), QRect(0, 0, 800, 600));
  EXPECT_EQ(Viewer::ViewerBox({1920, 1080}), QRect(240, 0, 1440, 1080));
}

class ViewerTest : public ViewsTest {
 protected:
  // Where the picture shows in the viewer: the bounding box of non-black pixels of the box.
  QRect Shown() {
    const platform::Canvas& c = tela_->Canvas();
    QRect box;
    for (int y = 0; y < c.Height(); ++y)
      for (int x = 0; x < c.Width(); ++x)
        if (c.Pixel(x, y) != qRgb(0, 0, 0)) box |= QRect(x, y, 1, 1);
    return box;
  }
  void ViewPicture(QSize window, QSize picture) {
    window_.resize(window);
    main_->resize(window);
    screenshot_ = Solid(picture.width(), picture.height(), qRgb(10, 200, 30));
    views_->EnterViewerMode(kViewerMode, 5, true);
  }
};

TEST_F(ViewerTest, NarrowPicturesKeepTheirSizeAndWideOnesFillTheBox) {
  ViewPicture({1024, 768}, {320, 200});
  EXPECT_EQ(tela_->geometry(), QRect(0, 0, 1024, 768));
  EXPECT_EQ(Shown(), QRect(352, 284, 320, 200));
  ViewPicture({800, 600}, {800, 600});
  EXPECT_EQ(Shown(), QRect(0, 0, 800, 600));
  ViewPicture({800, 600}, {640, 480});
  EXPECT_EQ(Shown(), QRect(80, 60, 640, 480));
  // Wider than the box: stretched over all of it.
  ViewPicture({800, 600}, {1024, 300});
  EXPECT_EQ(Shown(), QRect(0, 0, 800, 600));
  // Entering hid the bar, the emblem and pbMain, and showed the box.
  EXPECT_FALSE(main_->Visible());
  EXPECT_FALSE(emblem_->isVisible());
  EXPECT_TRUE(tela_->Visible());
  // A click leads back to where the viewer came from.
  tela_->OnMouseUp(tela_, Qt::LeftButton, Qt::NoModifier, 1, 1);
  EXPECT_EQ(modeRequests_, std::vector<int>{5});
  views_->Screen().DetachMouseUp();
  EXPECT_FALSE(tela_->OnMouseUp);
}

TEST_F(ViewerTest, MissingCreditsShowTheirTextOnAquaCentredOnBlack) {
  views_->ShowCredits(0, true);
  const QRect shown = Shown();
  ASSERT_FALSE(shown.isEmpty());
  EXPECT_EQ(tela_->Canvas().Pixel(shown.center().x(), shown.top()), qRgb(0, 255, 255));
  EXPECT_NEAR(shown.center().x(), 400, 1);
  EXPECT_NEAR(shown.center().y(), 300, 1);
  EXPECT_LT(shown.width(), 400);

  // A credits picture on the disc is shown centred instead.
  QTemporaryDir disc;
  QDir(disc.path()).mkpath("SHAREDIR");
  QImage credits(200, 100, QImage::Format_RGB32);
  credits.fill(qRgb(100, 50, 25));
  ASSERT_TRUE(credits.save(disc.path() + "/SHAREDIR/credits.bmp", "BMP"));
  const platform::DriveMap saved = platform::Drives();
  platform::Drives() = platform::DriveMap::Default(disc.path());
  Env().ShareDir = QStringLiteral("D:\\SHAREDIR\\");
  tela_->Repaint();
  EXPECT_EQ(Shown(), QRect(300, 250, 200, 100));
  platform::Drives() = saved;
}

TEST_F(ViewerTest, BlackoutReachesTheScreenPieceByPieceWhileTheThreadSleeps) {
  main_->Canvas().Fill(QRect(0, 0, 800, 600), Qt::white);
  std::vector<int> blackFractions;  // per mille of pbMain black, at every presentation
  views_->Context().TransitionShown = [this, &blackFractions] {
    if (!main_->Visible()) return;
    const QImage shot = main_->grab().toImage().convertToFormat(QImage::Format_RGB32);
    int black = 0;
    for (int y = 0; y < shot.height(); y += 3)
      for (int x = 0; x < shot.width(); x += 3) black += shot.pixel(x, y) == qRgb(0, 0, 0);
    blackFractions.push_back(black * 1000 / ((shot.height() / 3 + 1) * (shot.width() / 3 + 1)));
  };
  screenshot_ = Solid(320, 200, qRgb(10, 200, 30));
  views_->EnterViewerMode(kViewerMode, 5, true);
  ASSERT_GT(blackFractions.size(), 10u);
  // The screen saw partial states between the first piece and the last.
  int partial = 0;
  for (int f : blackFractions) partial += f > 50 && f < 950;
  EXPECT_GT(partial, 5);
  EXPECT_GE(blackFractions.back(), 990);
  EXPECT_TRUE(std::is_sorted(blackFractions.begin(), blackFractions.end()));
  // The pace: some 1600 line pieces of 0.25 ms, the thread asleep between frames.
  EXPECT_GE(sleptMs_, 300);
  EXPECT_LE(sleptMs_, 450);

  // Leaving: the box blanks, pbMain comes back from the background.
  sleptMs_ = 0;
  views_->Screen().BlankViewer();
  EXPECT_EQ(tela_->Canvas().Pixel(512, 300), qRgb(0, 0, 0));
  main_->SetVisible(true);
  views_->Screen().RestoreMain();
  EXPECT_EQ(main_->Canvas().Pixel(400, 300), qRgb(0, 0, 90));
  EXPECT_GT(sleptMs_, 300);
}

}  // namespace
