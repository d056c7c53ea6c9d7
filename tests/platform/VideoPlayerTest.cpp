// The video player on the sample disc's clip, paced by the virtual sound card's clock: the
// frame on screen is the one the file stamps for that moment, the sound starts with the first
// frame and stays in step, the end is reported once, and bad files give the device's errors.

#include <gtest/gtest.h>

#include <QFileInfo>
#include <QTemporaryDir>
#include <QWidget>
#include <cmath>

#include "platform/AudioSystem.h"
#include "platform/VideoPlayer.h"
#include "platform/VirtualAudioOutput.h"
#include "support/TestSupport.h"

using namespace platform;

namespace {

class VideoPlayerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    clip_ = testsupport::SampleDisc() + "/Midia/Videos/vinheta.avi";
    if (!QFileInfo(clip_).isFile()) GTEST_SKIP() << "no sample disc";
    SetAudioSystem(&card_);
    player_ = std::make_unique<VideoPlayer>(nullptr, &card_.Clock());
    player_->SetDisplay(&panel_);
    player_->OnNotify = [this](VideoNotify how) { notes_.push_back(how); };
  }
  void TearDown() override {
    player_.reset();
    SetAudioSystem(nullptr);
  }
  // Moves time on in steps of at most 20 ms, letting the decoder keep ahead as it would.
  void Advance(int ms) {
    while (ms > 0) {
      const int step = std::min(ms, 20);
      player_->WaitDecodedUntil(player_->PositionMs() + step + 200);
      card_.AdvanceMs(uint32_t(step));
      player_->Tick();
      ms -= step;
    }
  }

  QString clip_;
  VirtualAudioSystem card_;
  QWidget panel_;
  std::unique_ptr<VideoPlayer> player_;
  std::vector<VideoNotify> notes_;
};

// The clip's sound, as it was written: four tones swelling in over 1.5 s.
double ClipSound(double t) {
  const double swell = std::min(1.0, t / 1.5) * std::min(1.0, (2.0 - t) / 0.5);
  double v = 0;
  for (double hz : {130.81, 196.0, 261.63, 329.63}) v += std::sin(2 * M_PI * hz * t);
  return v / 4 * 0.7 * swell;
}

TEST_F(VideoPlayerTest, FramesShowAtTheirStampsAndTheEndIsReportedOnce) {
  ASSERT_TRUE(player_->Open(clip_));
  EXPECT_TRUE(player_->CanPlay());
  EXPECT_EQ(player_->DisplayRect(), QRect(0, 0, 160, 120));
  ASSERT_TRUE(player_->Play());
  EXPECT_EQ(player_->CurrentFrameMs(), 0);  // the first frame at once
  EXPECT_FALSE(player_->CurrentFrame().isNull());
  for (int t : {40, 100, 150, 333, 1000, 1550, 1899}) {
    Advance(t - int(player_->PositionMs()));
    const int64_t shown = player_->CurrentFrameMs();
    EXPECT_LE(shown, t) << t;
    EXPECT_GT(shown, t - 100) << t;  // 10 frames a second: within one frame
  }
  EXPECT_TRUE(notes_.empty());
  Advance(400);
  EXPECT_FALSE(player_->Playing());
  EXPECT_EQ(notes_, std::vector<VideoNotify>{VideoNotify::Successful});
  EXPECT_EQ(player_->DroppedFrames(), 0);
  EXPECT_EQ(player_->CurrentFrameMs(), 1900);  // the last frame stays
  // Playing again starts over.
  ASSERT_TRUE(player_->Play());
  EXPECT_EQ(player_->CurrentFrameMs(), 0);
}

TEST_F(VideoPlayerTest, SoundStartsWithTheFirstFrameAndKeepsInStep) {
  ASSERT_TRUE(player_->Open(clip_));
  card_.TakeOutput();
  ASSERT_TRUE(player_->Play());
  Advance(1200);
  const QByteArray out = card_.TakeOutput();
  const AudioFormat f = card_.StreamFormat();
  ASSERT_EQ(f.bits, 16);
  const int frames = int(out.size() / f.BytesPerFrame());
  ASSERT_GE(frames, f.rateHz);
  auto left = [&](int i) {
    return double(reinterpret_cast<const int16_t*>(out.constData())[i * f.channels]);
  };
  // The lag at which the output best matches the clip's sound is (about) zero.
  int bestLag = 0;
  double best = -2;
  const int from = f.rateHz / 5, to = f.rateHz * 9 / 10;
  for (int lag = -100; lag <= 100; ++lag) {
    double xy = 0, xx = 0, yy = 0;
    for (int i = from; i < to; ++i) {
      const double x = left(i + lag), y = ClipSound(double(i) / f.rateHz);
      xy += x * y;
      xx += x * x;
      yy += y * y;
    }
    const double r = xy / std::sqrt(xx * yy + 1e-9);
    if (r > best) {
      best = r;
      bestLag = lag;
    }
  }
  EXPECT_GT(best, 0.95);
  EXPECT_LE(std::abs(bestLag), f.rateHz / 500);  // within 2 ms
}

TEST_F(VideoPlayerTest, StopAndCloseAbortThePlay) {
  ASSERT_TRUE(player_->Open(clip_));
  ASSERT_TRUE(player_->Play());
  Advance(300);
  player_->Stop();
  EXPECT_EQ(notes_, std::vector<VideoNotify>{VideoNotify::Aborted});
  const int64_t at = player_->PositionMs();
  card_.AdvanceMs(500);
  EXPECT_EQ(player_->PositionMs(), at);  // stopped where it was
  ASSERT_TRUE(player_->Play());
  Advance(100);
  EXPECT_GE(player_->CurrentFrameMs(), 300);
  player_->Close();
  EXPECT_EQ(notes_, (std::vector<VideoNotify>{VideoNotify::Aborted, VideoNotify::Aborted}));
  EXPECT_FALSE(player_->IsOpen());
  EXPECT_FALSE(player_->Play());
  EXPECT_EQ(player_->ErrorCode(), VideoPlayer::kErrorNotOpen);
}

TEST_F(VideoPlayerTest, MissingAndDamagedFilesGiveTheDevicesErrors) {
  EXPECT_FALSE(player_->Open("/nonexistent/abertura.avi"));
  EXPECT_EQ(player_->ErrorCode(), VideoPlayer::kErrorFileNotFound);
  EXPECT_FALSE(player_->ErrorText().isEmpty());

  QTemporaryDir dir;
  const QByteArray whole = testsupport::ReadFile(clip_);
  testsupport::WriteFile(dir.filePath("text.avi"), "RIFF this is no movie at all");
  testsupport::WriteFile(dir.filePath("empty.avi"), QByteArray());
  testsupport::WriteFile(dir.filePath("head.avi"), whole.left(200));
  for (const char* name : {"text.avi", "empty.avi", "head.avi"}) {
    EXPECT_FALSE(player_->Open(dir.filePath(name))) << name;
    EXPECT_EQ(player_->ErrorCode(), VideoPlayer::kErrorInvalidFile) << name;
    EXPECT_FALSE(player_->IsOpen());
  }

  // A clip cut in the middle plays what it holds and ends.
  testsupport::WriteFile(dir.filePath("half.avi"), whole.left(whole.size() / 2));
  if (player_->Open(dir.filePath("half.avi"))) {
    ASSERT_TRUE(player_->Play());
    Advance(2500);
    EXPECT_EQ(notes_, std::vector<VideoNotify>{VideoNotify::Successful});
  }
  // Bytes flipped all over: opened or refused, never a crash.
  for (int i = 0; i < whole.size(); i += whole.size() / 23) {
    QByteArray bad = whole;
    for (int k = i; k < std::min<int>(i + 64, whole.size()); ++k) bad[k] = char(bad[k] ^ 0x5a);
    testsupport::WriteFile(dir.filePath("bad.avi"), bad);
    if (player_->Open(dir.filePath("bad.avi")) && player_->Play()) Advance(400);
    player_->Close();
  }
}

}  // namespace
