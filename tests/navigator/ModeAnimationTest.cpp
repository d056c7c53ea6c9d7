#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <vector>

#include "navigator/ModeAnimation.h"
#include "platform/Drives.h"
#include "tools/discwriter/Bmp.h"
#include "tools/discwriter/BpkWriter.h"

namespace {

QRgb Shade(int i) {
  return qRgb(10 + 40 * i, 200 - 20 * i, 7 * i);
}

QByteArray Frame(int i) {
  QImage image(16, 12, QImage::Format_RGB32);
  image.fill(Shade(i));
  return discwriter::EncodeBmp(image);
}

class ModeAnimationTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    QDir(dir_.path()).mkpath("SKIN");
    platform::Drives() = platform::DriveMap::Default(dir_.path());
  }
  void TearDown() override { platform::Drives() = platform::DriveMap(); }

  void Write(const QString& name, const QByteArray& bytes) {
    QFile f(dir_.path() + "/SKIN/" + name + ".bpk");
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
  }
  // frames frames of delay delayMs; the frame numbered damaged (if any) is no bitmap.
  // first: the shade of the first frame.
  QByteArray Movie(int frames, int delayMs, int damaged = -1, int first = 0) {
    discwriter::BpkWriter w;
    for (int i = 0; i < frames; ++i)
      w.AddFrame(i == damaged ? QByteArray(Frame(i).size(), 'x') : Frame(first + i), delayMs);
    return w.Build();
  }
  // Steps until the movie is over; false when it never ends.
  bool PlayOut(int elapsedMs) {
    for (int i = 0; i < 1000; ++i)
      if (player.StepAnimation(elapsedMs)) return true;
    return false;
  }

  QTemporaryDir dir_;
  std::vector<QRgb> drawn;  // the colour of each frame drawn; 0 for a filled area
  std::vector<std::pair<int, int>> effects;
  std::vector<QString> unusable;
  std::vector<QRgb> backgrounds;
  int depth_ = 32;
  ModeAnimation player{[] { return QStringLiteral("D:\\SKIN\\"); }, [this] { return depth_; },
                       ModeAnimation::Output{
                           [this](const platform::Bitmap& f) { drawn.push_back(f.Image().pixel(3, 3)); },
                           [this] { drawn.push_back(0); },
                           [this](int e, int c) { effects.emplace_back(e, c); },
                           [this](platform::Bitmap f) { backgrounds.push_back(f.Image().pixel(0, 0)); },
                           [this](const QString& p) { unusable.push_back(p); },
                       }};
};

TEST_F(ModeAnimationTest, FramesFollowTheElapsedTimeOnePerStepAtMost) {
  Write("dettin", Movie(5, 45));
  ASSERT_TRUE(player.OpenAnimation(AnimationKind::DescriptionEntry));
  EXPECT_FALSE(player.StepAnimation(-1));  // the first frame at once
  EXPECT_EQ(drawn, std::vector<QRgb>{Shade(0)});
  EXPECT_EQ(effects, (std::vector<std::pair<int, int>>{{6, 5}}));
  EXPECT_EQ(player.MsUntilNextFrame(), 45);

  EXPECT_FALSE(player.StepAnimation(20));
  EXPECT_EQ(drawn.size(), 1u);
  EXPECT_EQ(player.MsUntilNextFrame(), 25);
  EXPECT_FALSE(player.StepAnimation(30));  // 50 ms: the next frame, 5 ms carried over
  EXPECT_EQ(drawn.back(), Shade(1));
  EXPECT_EQ(player.MsUntilNextFrame(), 40);

  // A long pause brings one frame, not a burst: nothing is skipped.
  EXPECT_FALSE(player.StepAnimation(500));
  EXPECT_EQ(drawn.back(), Shade(2));
  EXPECT_FALSE(player.StepAnimation(0));
  EXPECT_EQ(drawn.size(), 3u);
  EXPECT_FALSE(player.StepAnimation(45));
  EXPECT_TRUE(player.StepAnimation(45));
  EXPECT_EQ(drawn, (std::vector<QRgb>{Shade(0), Shade(1), Shade(2), Shade(3), Shade(4)}));
  // The last frame becomes the background; the effect played once.
  EXPECT_EQ(backgrounds, std::vector<QRgb>{Shade(4)});
  EXPECT_EQ(effects.size(), 1u);
  EXPECT_TRUE(unusable.empty());
}

TEST_F(ModeAnimationTest, ExitsSoundTheirOwnEffectAndADelayOfZeroIsDueAtOnce) {
  Write("gbttout", Movie(3, 0));
  ASSERT_TRUE(player.OpenAnimation(AnimationKind::ListExit));
  EXPECT_EQ(player.MsUntilNextFrame(), 0);
  EXPECT_FALSE(player.StepAnimation(-1));
  EXPECT_FALSE(player.StepAnimation(0));
  EXPECT_TRUE(player.StepAnimation(0));
  EXPECT_EQ(drawn.size(), 3u);
  EXPECT_EQ(effects, (std::vector<std::pair<int, int>>{{7, 5}}));
}

TEST_F(ModeAnimationTest, AMissingFileIsSkippedQuietlyAndAnUnusableOneIsReported) {
  EXPECT_FALSE(player.OpenAnimation(AnimationKind::ListEntry));
  EXPECT_TRUE(unusable.empty());
  EXPECT_FALSE(player.AnimationOpen());

  discwriter::BpkWriter wrongVersion;
  wrongVersion.Version = 109;
  wrongVersion.AddFrame(Frame(0), 45);
  Write("gbttin", wrongVersion.Build());
  EXPECT_FALSE(player.OpenAnimation(AnimationKind::ListEntry));
  Write("dettout", Movie(0, 45));
  EXPECT_FALSE(player.OpenAnimation(AnimationKind::DescriptionExit));
  EXPECT_EQ(unusable, (std::vector<QString>{"D:\\SKIN\\gbttin.bpk", "D:\\SKIN\\dettout.bpk"}));
  EXPECT_TRUE(drawn.empty());
}

TEST_F(ModeAnimationTest, ADamagedFrameIsFilledAndTheMovieStillEnds) {
  Write("gbttin", Movie(5, 45, /*damaged=*/2));
  ASSERT_TRUE(player.OpenAnimation(AnimationKind::ListEntry));
  player.StepAnimation(-1);
  ASSERT_TRUE(PlayOut(45));
  EXPECT_EQ(drawn, (std::vector<QRgb>{Shade(0), Shade(1), 0, Shade(3), Shade(4)}));
  EXPECT_EQ(backgrounds, std::vector<QRgb>{Shade(4)});
}

TEST_F(ModeAnimationTest, ATruncatedFileEndsWithoutTakingABackground) {
  QByteArray bytes = Movie(6, 45);
  bytes.truncate(bytes.size() / 2);
  Write("gbttin", bytes);
  ASSERT_TRUE(player.OpenAnimation(AnimationKind::ListEntry));
  player.StepAnimation(-1);
  ASSERT_TRUE(PlayOut(45));
  EXPECT_EQ(drawn.size(), 6u);
  EXPECT_EQ(drawn.back(), 0u);
  EXPECT_TRUE(backgrounds.empty());
}

TEST_F(ModeAnimationTest, AnAbsurdDelayIsShortened) {
  Write("dettin", Movie(2, 3'600'000));
  ASSERT_TRUE(player.OpenAnimation(AnimationKind::DescriptionEntry));
  player.StepAnimation(-1);
  EXPECT_EQ(player.MsUntilNextFrame(), ModeAnimation::kMaxDelayMs);
  EXPECT_TRUE(player.StepAnimation(ModeAnimation::kMaxDelayMs));

  discwriter::BpkWriter negative;
  negative.AddFrame(Frame(0), -5);
  negative.AddFrame(Frame(1), -5);
  Write("dettin", negative.Build());
  ASSERT_TRUE(player.OpenAnimation(AnimationKind::DescriptionEntry));
  player.StepAnimation(-1);
  EXPECT_EQ(player.MsUntilNextFrame(), 0);
  EXPECT_TRUE(player.StepAnimation(0));
}

// Movies are held opened ahead on the worker; one is taken only when the file holds the same
// bytes and the depth is the same, so a changed, removed or damaged file is read as it is now.
TEST_F(ModeAnimationTest, PreloadedMoviesAreTakenOnlyWhileTheFileIsUnchanged) {
  Write("gbttin", Movie(3, 45));
  Write("dettin", Movie(2, 45, -1, /*first=*/5));
  player.Preload();
  player.WaitForWorker();
  ASSERT_TRUE(player.OpenAnimation(AnimationKind::DescriptionEntry));
  EXPECT_EQ(player.PreloadsTaken(), 1);
  player.StepAnimation(-1);
  ASSERT_TRUE(PlayOut(45));
  EXPECT_EQ(drawn, (std::vector<QRgb>{Shade(5), Shade(6)}));
  EXPECT_EQ(backgrounds, std::vector<QRgb>{Shade(6)});

  // Opening held it ahead again, and it plays again from its first frame.
  player.WaitForWorker();
  drawn.clear();
  ASSERT_TRUE(player.OpenAnimation(AnimationKind::DescriptionEntry));
  EXPECT_EQ(player.PreloadsTaken(), 2);
  player.StepAnimation(-1);
  ASSERT_TRUE(PlayOut(45));
  EXPECT_EQ(drawn, (std::vector<QRgb>{Shade(5), Shade(6)}));

  // Changed after it was held: the new bytes are played.
  player.WaitForWorker();
  Write("dettin", Movie(2, 45, -1, /*first=*/1));
  drawn.clear();
  ASSERT_TRUE(player.OpenAnimation(AnimationKind::DescriptionEntry));
  EXPECT_EQ(player.PreloadsTaken(), 2);
  player.StepAnimation(-1);
  ASSERT_TRUE(PlayOut(45));
  EXPECT_EQ(drawn, (std::vector<QRgb>{Shade(1), Shade(2)}));

  // Another depth: not the one held.
  player.WaitForWorker();
  depth_ = 8;
  ASSERT_TRUE(player.OpenAnimation(AnimationKind::ListEntry));
  EXPECT_EQ(player.PreloadsTaken(), 2);
  player.CloseAnimation();

  // Removed, or no animation any more, after it was held: missing is quiet, unusable reported.
  player.WaitForWorker();
  ASSERT_TRUE(QFile::remove(dir_.path() + "/SKIN/gbttin.bpk"));
  EXPECT_FALSE(player.OpenAnimation(AnimationKind::ListEntry));
  Write("dettin", "not an animation");
  EXPECT_FALSE(player.OpenAnimation(AnimationKind::DescriptionEntry));
  EXPECT_EQ(unusable, std::vector<QString>{"D:\\SKIN\\dettin.bpk"});
  EXPECT_EQ(player.PreloadsTaken(), 2);
}

}  // namespace
