// The players: activation, settings, the static waves' ends, volumes, lost buffers, and the
// explorer's variant.

#include "SoundModuleTestSupport.h"

using namespace soundtest;

namespace {

class SoundModulePlayer : public PlayerTest {
 protected:
  void SetUp() override {
    PlayerTest::SetUp();
    player = std::make_unique<TMyDxSound>(form.get());
    player->SetBitsPerSample(16);
    Listen(*player);
  }
  QString Short(const QString& name, uint32_t frames = 4) {
    WaveSpec spec;
    spec.data = CountingData(frames, 1);
    return WriteWave(name, spec);
  }
};

TEST_F(SoundModulePlayer, OwnerMustBeAForm) {
  QObject plain;
  QWidget child(form.get());
  try {
    TMyDxSound bad(&plain);
    FAIL() << "accepted a plain object";
  } catch (const EInvalidOperation& e) {
    EXPECT_EQ(e.Message(), QStringLiteral("O Owner do TMyDxSound não é do tipo TCustomForm"));
  }
  EXPECT_THROW(TMyDxSound bad(&child), EInvalidOperation);
  try {
    TDXSound bad(nullptr);
    FAIL() << "accepted no owner";
  } catch (const EInvalidOperation& e) {
    EXPECT_EQ(e.Message(), QStringLiteral("O Owner do TDXSound não é do tipo TCustomForm"));
  }
}

TEST_F(SoundModulePlayer, InactivePlayerAddsNothingAndActivatesToPlay) {
  EXPECT_FALSE(player->Active());
  EXPECT_EQ(DevicesMade(), 0);  // the navigator's player waits to be activated
  const TAudioInit r = Request(Short("a.wav"), 3);
  EXPECT_FALSE(player->AddWave(&r));
  EXPECT_FALSE(player->AddWave(nullptr));
  EXPECT_EQ(player->GetVolume(-1), -10001);
  player->SetActive(true);
  ASSERT_TRUE(player->AddWave(&r));
  player->SetActive(false);
  EXPECT_FALSE(player->FindWave(3)->Prepared());  // kept, unprepared
  EXPECT_FALSE(player->Play(7));                  // nothing on that channel
  ASSERT_TRUE(player->Play(3));                   // activates again
  EXPECT_TRUE(player->Active());
  EXPECT_EQ(Render(20), CountingData(4, 1) + QByteArray(4, 0));
}

TEST_F(SoundModulePlayer, RefusedDeviceRaisesTheLowWordOfTheResult) {
  audio.SetHeld(true);
  try {
    player->SetActive(true);
    FAIL() << "activated without a device";
  } catch (const EMyDxSound& e) {
    EXPECT_EQ(e.Message(), QStringLiteral("Falha ao criar interface para DSound: (10)"));
  }
  EXPECT_FALSE(player->Active());
  player->SetCooperativeLevel(9);  // refused by the device
  audio.SetHeld(false);
  EXPECT_THROW(player->SetActive(true), EMyDxSound);
  EXPECT_FALSE(player->Active());
}

TEST_F(SoundModulePlayer, SettingsReachThePrimaryBufferAndReactivate) {
  player->SetActive(true);
  ASSERT_NE(player->PrimaryBuffer(), nullptr);
  platform::WaveFormatEx format;
  ASSERT_EQ(player->PrimaryBuffer()->GetFormat(format), platform::kDsOk);
  EXPECT_EQ(format.BitsPerSample, 8);  // level 1 may not set the format
  player->SetCooperativeLevel(3);
  EXPECT_EQ(DevicesMade(), 2);  // a changed setting builds the device again
  player->SetCooperativeLevel(3);
  EXPECT_EQ(DevicesMade(), 2);
  ASSERT_EQ(player->PrimaryBuffer()->GetFormat(format), platform::kDsOk);
  EXPECT_EQ(format.BitsPerSample, 16);
  EXPECT_EQ(format.SamplesPerSec, 22050u);
  EXPECT_EQ(format.BlockAlign, 4);
  EXPECT_EQ(format.AvgBytesPerSec, 88200u);
  uint32_t status = 0;
  ASSERT_EQ(player->PrimaryBuffer()->GetStatus(status), platform::kDsOk);
  EXPECT_TRUE(status & platform::kDsbStatusPlaying);
  EXPECT_EQ(player->Device()->CooperativeLevel(), 3u);
}

TEST_F(SoundModulePlayer, VolumesAreClampedAndGoToEveryWave) {
  player->SetActive(true);
  const TAudioInit a = Request(Short("a.wav"), 0);
  const TAudioInit b = Request(Short("b.wav"), 1);
  ASSERT_TRUE(player->AddWave(&a));
  ASSERT_TRUE(player->AddWave(&b));
  EXPECT_EQ(player->GetVolume(-1), 0);  // the primary buffer has no volume control
  player->SetVolume(0, -20000);
  EXPECT_EQ(player->GetVolume(0), -10000);
  EXPECT_EQ(player->FindWave(0)->Volume(), -10000);
  player->SetVolume(0, 500);
  EXPECT_EQ(player->GetVolume(0), 0);
  player->SetVolume(-1, -1500);
  EXPECT_EQ(player->MasterVolume(), -1500);
  EXPECT_EQ(player->GetVolume(0), -1500);
  EXPECT_EQ(player->GetVolume(1), -1500);
  EXPECT_EQ(player->GetVolume(5), -10001);
  // A wave added later sounds at the player's volume from the start.
  const TAudioInit c = Request(Short("c.wav"), 2);
  ASSERT_TRUE(player->AddWave(&c));
  EXPECT_EQ(player->GetVolume(2), -1500);
  // Deactivating and activating keeps each wave's volume on its new buffer.
  player->SetActive(false);
  EXPECT_EQ(player->GetVolume(0), -10001);
  player->SetActive(true);
  EXPECT_EQ(player->GetVolume(1), -1500);
}

TEST_F(SoundModulePlayer, StaticNotifyEndsRewoundAndFreeAfterPlayRemoves) {
  player->SetActive(true);
  const TAudioInit keep = Request(Short("keep.wav"), 0, true);
  const TAudioInit gone = Request(Short("gone.wav"), 1, true, false, true);
  ASSERT_TRUE(player->AddWave(&keep));
  ASSERT_TRUE(player->AddWave(&gone));
  ASSERT_TRUE(player->Play(0));
  ASSERT_TRUE(player->Play(1));
  Render(40, 4);
  ASSERT_EQ(atitudes.size(), 2u);
  EXPECT_EQ(atitudes[0].code, 0);
  EXPECT_EQ(atitudes[1].code, 0);
  EXPECT_EQ(player->FindWave(1), nullptr);
  ASSERT_NE(player->FindWave(0), nullptr);
  // Played again from its start.
  ASSERT_TRUE(player->Play(0));
  EXPECT_EQ(Render(16), CountingData(4, 1));
  EXPECT_EQ(atitudes.size(), 3u);
}

TEST_F(SoundModulePlayer, StaticLoopWithNotifyNotifiesEveryPassWithoutNotifyNever) {
  player->SetActive(true);
  const TAudioInit loud = Request(Short("loop.wav", 8), 0, true, true);
  ASSERT_TRUE(player->AddWave(&loud));
  ASSERT_TRUE(player->Play(0));
  // The last byte's notification restarts the wave from its start each pass.
  const QByteArray out = Render(32 * 5, 4);
  EXPECT_EQ(atitudes.size(), 5u);
  for (const auto& a : atitudes) EXPECT_EQ(a.channel, 0);
  EXPECT_EQ(out.left(32), CountingData(8, 1));
  EXPECT_EQ(out.mid(64, 32), CountingData(8, 1));
  uint32_t status = 0;
  ASSERT_EQ(player->FindWave(0)->Buffer()->GetStatus(status), platform::kDsOk);
  EXPECT_TRUE(status & platform::kDsbStatusLooping);

  player->RemoveWave(0);
  atitudes.clear();
  const TAudioInit quiet = Request(Short("quiet.wav", 8), 0, false, true);
  ASSERT_TRUE(player->AddWave(&quiet));
  EXPECT_EQ(player->FindWave(0)->Notifier(), nullptr);
  ASSERT_TRUE(player->Play(0));
  EXPECT_EQ(Render(64, 4), CountingData(8, 1) + CountingData(8, 1));
  EXPECT_TRUE(atitudes.empty());
}

TEST_F(SoundModulePlayer, StopKeepsThePositionOfAPlainWave) {
  player->SetActive(true);
  const TAudioInit r = Request(Short("a.wav", 8), 0);
  ASSERT_TRUE(player->AddWave(&r));
  ASSERT_TRUE(player->Play(0));
  EXPECT_EQ(Render(12), CountingData(3, 1));
  player->Stop(0);
  EXPECT_EQ(Render(8), QByteArray(8, 0));
  ASSERT_TRUE(player->Play(0));
  EXPECT_EQ(Render(8), CountingData(2, 4));
}

TEST_F(SoundModulePlayer, LostBufferIsBuiltAgainOnPlay) {
  player->SetActive(true);
  const TAudioInit r = Request(Short("a.wav"), 0);
  ASSERT_TRUE(player->AddWave(&r));
  player->Device()->LoseBuffers();
  ASSERT_TRUE(player->Play(0));
  uint32_t status = 0;
  ASSERT_EQ(player->FindWave(0)->Buffer()->GetStatus(status), platform::kDsOk);
  EXPECT_EQ(status, platform::kDsbStatusPlaying);
  EXPECT_EQ(Render(16), CountingData(4, 1));
}

TEST_F(SoundModulePlayer, ListOperations) {
  player->SetActive(true);
  const TAudioInit a = Request(Short("a.wav"), 5);
  const TAudioInit b = Request(Short("b.wav"), 6);
  ASSERT_TRUE(player->AddWave(&a));
  ASSERT_TRUE(player->AddWave(&b));
  ASSERT_TRUE(player->AddWave(&a));  // callers avoid two waves on a channel; the first is found
  EXPECT_EQ(player->FindWave(5), player->WaveAt(0));
  EXPECT_THROW(player->DeleteAt(3), EListError);
  player->DeleteAt(1);
  EXPECT_EQ(player->FindWave(6), nullptr);
  player->RemoveWave(5);
  EXPECT_EQ(player->WaveCount(), 1);
  player->RemoveWave(5);
  player->RemoveWave(5);
  EXPECT_EQ(player->WaveCount(), 0);
  // A channel outside the slots is not written past the table: the wave stays unprepared.
  const TAudioInit far = Request(Short("far.wav"), 16);
  ASSERT_TRUE(player->AddWave(&far));
  EXPECT_FALSE(player->FindWave(16)->Prepared());
  EXPECT_EQ(player->Device()->BufferCount(), 0);
}

TEST_F(SoundModulePlayer, ExplorerVariantActivatesItselfWithEightSlots) {
  player.reset();
  TDXSound explorer(form.get());
  EXPECT_TRUE(explorer.Active());
  EXPECT_EQ(explorer.SlotCount(), 8);
  EXPECT_EQ(explorer.Device()->CooperativeLevel(), platform::kDssclNormal);
  ASSERT_NE(explorer.PrimaryBuffer(), nullptr);
  const TAudioInit r = Request(Short("a.wav"), 7, true);
  ASSERT_TRUE(explorer.AddWave(&r));
  const TAudioInit far = Request(Short("b.wav"), 8);
  ASSERT_TRUE(explorer.AddWave(&far));
  EXPECT_FALSE(explorer.FindWave(8)->Prepared());
  explorer.SetActive(false);
  audio.SetHeld(true);
  try {
    explorer.Play(7);
    FAIL() << "played without a device";
  } catch (const EDXSound& e) {
    EXPECT_EQ(e.Message(), QStringLiteral("Falha ao criar interface para DSound: (10)"));
  }
  audio.SetHeld(false);
  ASSERT_TRUE(explorer.Play(7));
}

}  // namespace
