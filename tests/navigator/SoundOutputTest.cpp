// The main window's sound output on a virtual sound card: which back-end it takes, the level it
// sends to it, going quiet in the background and getting a blocked device back.

#include <gtest/gtest.h>

#include <QApplication>

#include "MainWindowFixture.h"
#include "SoundWindowFixture.h"
#include "audio/SoundModule.h"
#include "audio/WaveMix.h"
#include "controls/Transbut.h"
#include "platform/Timer.h"
#include "platform/VirtualAudioOutput.h"

namespace {

using soundwindow::CopyTree;

class SoundOutputTest : public MainWindowTest {
 protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    platform::SetAudioSystem(&card_);
  }
  void TearDown() override { platform::SetAudioSystem(nullptr); }

  void SeedVolume(int level) {
    SeedEdition();
    QSettings kvr(QSettings::NativeFormat, QSettings::UserScope, "velOrbint", "KVR");
    kvr.setValue("VolumeLevel", level);
  }
  TGButton* Master(TfmMain& fm) { return qobject_cast<TGButton*>(fm.Control("gtbMaster")); }

  platform::VirtualAudioSystem card_;
};

TEST_F(SoundOutputTest, PlayerTakesTheEffectsAndTheLevelGoesToItsMasterVolume) {
  SeedEdition();
  auto fm = Start("800x600x32");
  ASSERT_FALSE(fm->Terminated());
  ASSERT_TRUE(fm->SoundPlayer);
  EXPECT_FALSE(fm->Mixer);
  EXPECT_TRUE(fm->SoundPlayer->Active());
  for (int i = 0; i < kEffectCount; ++i) EXPECT_NE(fm->SoundPlayer->FindWave(i), nullptr) << i;
  // The first theme track has a channel of its own.
  ASSERT_NE(fm->SoundPlayer->FindWave(15), nullptr);
  EXPECT_TRUE(fm->SoundPlayer->FindWave(15)->FileName().endsWith("Theme1.wav"));
  // No stored level: the player starts at full volume, applied when the window shows.
  EXPECT_EQ(fm->VolumeLevel(), 99);
  EXPECT_EQ(fm->SoundPlayer->MasterVolume(), 0);
  EXPECT_TRUE(Master(*fm)->isEnabled());

  fm->SetVolumeLevel(0);
  fm->ApplyVolumeLevel();
  EXPECT_EQ(fm->SoundPlayer->MasterVolume(), -10000);
  fm->SetVolumeLevel(50);
  fm->ApplyVolumeLevel();
  EXPECT_EQ(fm->SoundPlayer->MasterVolume(), 5051 - 10000);

  // In the background the player lets the device go; coming back takes it again, effects and
  // level included, without a word.
  fm->ApplicationDeactivated();
  EXPECT_FALSE(fm->SoundPlayer->Active());
  EXPECT_EQ(card_.Output(), nullptr);
  fm->ApplicationActivated();
  EXPECT_TRUE(fm->SoundPlayer->Active());
  EXPECT_EQ(fm->SoundPlayer->MasterVolume(), 5051 - 10000);
  EXPECT_TRUE(fm->SoundPlayer->FindWave(12)->Prepared());
  EXPECT_TRUE(dialogs_->Messages().empty());
}

TEST_F(SoundOutputTest, StoredLevelIsKeptAndTheWindowLetsTheDeviceGoAtTheEnd) {
  SeedVolume(40);
  {
    auto fm = Start("800x600x32");
    ASSERT_TRUE(fm->SoundPlayer);
    EXPECT_EQ(fm->VolumeLevel(), 40);
    EXPECT_NE(card_.Output(), nullptr);
  }
  EXPECT_EQ(card_.Output(), nullptr);
  QSettings kvr(QSettings::NativeFormat, QSettings::UserScope, "velOrbint", "KVR");
  EXPECT_EQ(kvr.value("VolumeLevel").toInt(), 40);
}

TEST_F(SoundOutputTest, BlockedDeviceFallsBackToTheMixerAndIsRetriedEveryTwoSeconds) {
  SeedEdition();
  card_.SetHeld(true);
  card_.SetWaveVolume(0, 0x4000C000);  // left 49152: level 74 (rounded), 74 (truncated)
  auto fm = Start("800x600x32");
  ASSERT_FALSE(fm->Terminated());
  // The player could not start, so the mixer holds the effects but cannot play yet.
  EXPECT_FALSE(fm->SoundPlayer);
  ASSERT_TRUE(fm->Mixer);
  EXPECT_FALSE(fm->Mixer->Activated());
  for (int i = 0; i < kEffectCount; ++i) EXPECT_NE(fm->WaveSlots[size_t(i)], nullptr) << i;
  EXPECT_EQ(fm->WaveSlots[15], nullptr);
  EXPECT_TRUE(fm->DeviceRetrying);
  EXPECT_FALSE(Master(*fm)->isEnabled());
  EXPECT_TRUE(Master(*fm)->ShowUp2Pic());
  EXPECT_TRUE(fm->TurnWave->Enabled());
  EXPECT_TRUE(dialogs_->Messages().empty());  // the blockage found at start-up is silent

  // Two seconds later the device is still held: no message, the retry goes on.
  clock_.Advance(2000);
  EXPECT_TRUE(fm->TurnWave->Tick());
  EXPECT_FALSE(fm->Mixer->Activated());
  EXPECT_TRUE(dialogs_->Messages().empty());
  EXPECT_TRUE(fm->TurnWave->Enabled());

  // Released: the mixer plays, the switch is back on, the level comes from the device and
  // message 29 says so once.
  card_.SetHeld(false);
  clock_.Advance(2000);
  EXPECT_TRUE(fm->TurnWave->Tick());
  EXPECT_TRUE(fm->Mixer->Activated());
  EXPECT_FALSE(fm->DeviceRetrying);
  EXPECT_FALSE(fm->TurnWave->Enabled());
  EXPECT_TRUE(Master(*fm)->isEnabled());
  EXPECT_FALSE(Master(*fm)->ShowUp2Pic());
  EXPECT_EQ(MessageCodes(), std::vector<int>{29});
  EXPECT_EQ(fm->VolumeLevel(), 74);
  EXPECT_EQ(card_.WaveVolume(0), (74u * 662) | (74u * 662) << 16);

  // The volume buttons now drive the device's own level, both channels alike.
  fm->SetVolumeLevel(99);
  fm->ApplyVolumeLevel();
  EXPECT_EQ(card_.WaveVolume(0), 0xFFFFFFFFu);
}

TEST_F(SoundOutputTest, DeviceTakenWhileInTheBackgroundIsReportedOnceOnReturn) {
  SeedVolume(30);
  card_.SetHeld(true);
  auto fm = Start("800x600x32");
  ASSERT_TRUE(fm->Mixer);
  card_.SetHeld(false);
  clock_.Advance(2000);
  fm->TurnWave->Tick();
  ASSERT_TRUE(fm->Mixer->Activated());
  dialogs_->Clear();

  fm->ApplicationDeactivated();
  EXPECT_FALSE(fm->Mixer->Activated());
  card_.SetHeld(true);
  fm->ApplicationActivated();  // another program kept the device: message 22, switch off
  EXPECT_EQ(MessageCodes(), std::vector<int>{22});
  EXPECT_FALSE(Master(*fm)->isEnabled());
  EXPECT_TRUE(fm->TurnWave->Enabled());
  fm->ApplicationActivated();  // the same blockage is not reported again
  EXPECT_EQ(MessageCodes(), std::vector<int>{22});

  card_.SetHeld(false);
  clock_.Advance(2000);
  fm->TurnWave->Tick();
  EXPECT_EQ(MessageCodes(), (std::vector<int>{22, 29}));
  EXPECT_TRUE(Master(*fm)->isEnabled());
  EXPECT_FALSE(Master(*fm)->ShowUp2Pic());
}

TEST_F(SoundOutputTest, WithoutVolumeControlTheButtonsAreOffEvenWhileTheLevelIsUnset) {
  SeedEdition();  // no stored level, and the held device gives none: it stays unset
  platform::AudioDeviceInfo fixedVolume;
  fixedVolume.Name = "Fixed";
  fixedVolume.VolumeControl = false;
  card_.SetDevices({fixedVolume});
  card_.SetHeld(true);
  auto fm = Start("800x600x32");
  ASSERT_FALSE(fm->Terminated());
  ASSERT_EQ(fm->VolumeLevel(), kVolumeUnset);
  for (const char* name : {"gtbVolUp", "gtbVolDo"})
    EXPECT_FALSE(fm->Control(name)->isEnabled()) << name;
  EXPECT_EQ(fm->Control("gtbVolUp")->toolTip(),
            "O dispositivo wave não suporta alterações de volume.");
}

TEST_F(SoundOutputTest, WithoutAnyDeviceTheSwitchIsOffAndTheLevelIsNeverSaved) {
  SeedVolume(42);
  card_.SetDevices({});
  card_.SetHeld(true);  // and no stream either
  {
    auto fm = Start("800x600x32");
    ASSERT_FALSE(fm->Terminated());
    EXPECT_FALSE(fm->SoundPlayer);
    EXPECT_FALSE(fm->Mixer);
    EXPECT_FALSE(Master(*fm)->isEnabled());
    EXPECT_TRUE(Master(*fm)->ShowUp2Pic());
    fm->SetVolumeLevel(7);
    fm->ApplicationActivated();  // nothing to retry without sound
    EXPECT_TRUE(dialogs_->Messages().empty());
  }
  QSettings kvr(QSettings::NativeFormat, QSettings::UserScope, "velOrbint", "KVR");
  EXPECT_EQ(kvr.value("VolumeLevel").toInt(), 42);
}

// A missing or damaged effect is that effect gone, not a device held by another program: the
// others load, the mixer plays at once, and no retry (nor its message 29) follows.
TEST_F(SoundOutputTest, MissingEffectsAreSkippedWithoutStartingTheDeviceRetry) {
  QTemporaryDir root;
  ASSERT_TRUE(CopyTree(disc_ + "/QUARX", root.filePath("QUARX")));
  ASSERT_TRUE(CopyTree(disc_ + "/SHAREDIR", root.filePath("SHAREDIR")));
  const QString waves = root.filePath("QUARX/Resour/waves/");
  ASSERT_TRUE(QFile::remove(waves + "MiniBts.wav"));
  ASSERT_TRUE(QFile::remove(waves + "1gen.wav"));
  ASSERT_TRUE(testsupport::WriteFile(waves + "GetBack.wav", QByteArray("RIFF\x04\0\0\0WAVE", 12)));
  SeedVolume(50);
  auto fm = Start("800x600x32", root.path());
  ASSERT_FALSE(fm->Terminated());
  // The player refuses a missing effect, so the mixer takes over.
  EXPECT_FALSE(fm->SoundPlayer);
  ASSERT_TRUE(fm->Mixer);
  EXPECT_TRUE(fm->Mixer->Activated());
  for (int i = 0; i < kEffectCount; ++i) {
    EXPECT_EQ(fm->WaveSlots[size_t(i)] == nullptr, i == 0 || i == 2 || i == 8) << i;
  }
  EXPECT_FALSE(fm->DeviceRetrying);
  EXPECT_FALSE(fm->TurnWave->Enabled());
  EXPECT_TRUE(Master(*fm)->isEnabled());
  clock_.Advance(2000);
  EXPECT_FALSE(fm->TurnWave->Tick());
  fm->ApplicationActivated();
  EXPECT_TRUE(dialogs_->Messages().empty());
}

}  // namespace
