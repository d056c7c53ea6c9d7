// The notification threads: every end is handed to the main thread exactly once, waves free
// themselves inside their own notification, and a player can go while notifications wait.

#include <QCoreApplication>

#include "SoundModuleTestSupport.h"

using namespace soundtest;

namespace {

class SoundModuleThreads : public PlayerTest {
 protected:
  void SetUp() override {
    PlayerTest::SetUp();
    StartSixteenBitPlayer();
    WaveSpec spec;
    spec.data = CountingData(4, 1);
    shortWave = WriteWave("short.wav", spec);
  }
  QString shortWave;
};

TEST_F(SoundModuleThreads, ThousandShortPlaysOnFourChannelsNotifyOnceEach) {
  for (int channel = 0; channel < 4; ++channel) {
    const TAudioInit r = Request(shortWave, channel, true);
    ASSERT_TRUE(player->AddWave(&r));
  }
  for (int i = 0; i < 1000; ++i) {
    for (int channel = 0; channel < 4; ++channel) ASSERT_TRUE(player->Play(channel));
    Render(32, 32);
    ASSERT_EQ(atitudes.size(), 4u * (i + 1)) << "play " << i;
  }
  int perChannel[4] = {};
  for (const auto& a : atitudes) {
    ASSERT_GE(a.channel, 0);
    ASSERT_LT(a.channel, 4);
    EXPECT_EQ(a.code, 0);
    ++perChannel[a.channel];
  }
  for (int count : perChannel) EXPECT_EQ(count, 1000);
}

TEST_F(SoundModuleThreads, WavesFreedInsideTheirOwnNotification) {
  for (int i = 0; i < 300; ++i) {
    const TAudioInit r = Request(shortWave, i % 16, true, false, true);
    ASSERT_TRUE(player->AddWave(&r));
    ASSERT_TRUE(player->Play(i % 16));
    Render(32, 32);
    ASSERT_EQ(player->WaveCount(), 0) << "play " << i;
  }
  EXPECT_EQ(atitudes.size(), 300u);
}

TEST_F(SoundModuleThreads, HandlerMayAddTheNextWaveOnTheSameChannel) {
  // As the navigator's music does: each end adds and starts the next track.
  int tracks = 0;
  player->OnAtitude = [&](QObject*, int32_t channel, int32_t) {
    if (++tracks >= 50) return;
    const TAudioInit next = Request(shortWave, channel, true, false, true);
    ASSERT_TRUE(player->AddWave(&next));
    player->Play(channel);
  };
  const TAudioInit first = Request(shortWave, 15, true, false, true);
  ASSERT_TRUE(player->AddWave(&first));
  ASSERT_TRUE(player->Play(15));
  for (int i = 0; i < 60; ++i) Render(32, 32);
  EXPECT_EQ(tracks, 50);
  EXPECT_EQ(player->WaveCount(), 0);
}

TEST_F(SoundModuleThreads, PlayerGoesWhileNotificationsWait) {
  for (int channel = 0; channel < 16; ++channel) {
    const TAudioInit r = Request(shortWave, channel, true, true);
    ASSERT_TRUE(player->AddWave(&r));
    ASSERT_TRUE(player->Play(channel));
  }
  // Events fire on the render, the threads post their calls, and the player is freed before
  // the main thread runs any of them.
  audio.PullBytes(64);
  player.reset();
  EXPECT_TRUE(PumpUntil([] { return true; }));
  QCoreApplication::processEvents();
  EXPECT_TRUE(atitudes.empty());
}

}  // namespace
