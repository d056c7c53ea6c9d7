// What the user hears from the main window, on both back-ends: every effect, the theme tracks
// in order and round again, the two sound switches, the background, a device held by another
// program, and music files that cannot be read.

#include <algorithm>

#include "SoundWindowFixture.h"

namespace {

using namespace soundwindow;

class SoundBackEnds : public SoundWindowTest, public ::testing::WithParamInterface<BackEnd> {};

INSTANTIATE_TEST_SUITE_P(Both, SoundBackEnds, ::testing::Values(BackEnd::Player, BackEnd::Mixer),
                         [](const auto& info) {
                           return std::string(info.param == BackEnd::Player ? "Player" : "Mixer");
                         });

int Frames(int ms) {
  return 22050 * ms / 1000;
}

int FramesOf(const std::vector<int>& out, int value) {
  return int(std::count(out.begin(), out.end(), value));
}

TEST_P(SoundBackEnds, EveryEffectSoundsWholeAndTheMasterSwitchSilencesThem) {
  Seed(/*musicWanted=*/false);
  StartWith(GetParam(), MakeDisc({}));
  ASSERT_TRUE(Silent(Render(50)));
  for (int i = 0; i < kEffectCount; ++i) {
    fm_->PlayEffect(i);
    const std::vector<Stretch> runs = Runs(Render(kEffectMs + 60));
    ASSERT_FALSE(runs.empty()) << i;
    bool found = false;
    for (const Stretch& r : runs) {
      if (r.value != EffectValue(i)) continue;
      found = true;
      EXPECT_GE(r.length, Frames(kEffectMs) - 2) << "effect " << i << " cut short";
      EXPECT_LE(r.start, Frames(20)) << "effect " << i << " starts late";
    }
    EXPECT_TRUE(found) << "effect " << i << " not heard";
  }
  fm_->gtbMasterClick();
  EXPECT_TRUE(fm_->SoundsOff());
  fm_->PlayEffect(fxGen1);
  EXPECT_TRUE(Silent(Render(150)));
  fm_->gtbMasterClick();
  fm_->PlayEffect(fxGen1);
  EXPECT_EQ(Sequence(Render(150)), std::vector<int>{EffectValue(fxGen1)});
}

TEST_P(SoundBackEnds, MusicPlaysTheTracksInOrderAndWrapsAround) {
  Seed(/*musicWanted=*/true);
  StartWith(GetParam(), MakeDisc({{"Theme1.wav", SteadyWave(kTheme1, 300)},
                                  {"Theme2.wav", SteadyWave(kTheme2, 200)}}));
  const std::vector<int> out = Render(1500);
  const std::vector<int> seq = Sequence(out);
  ASSERT_GE(seq.size(), 4u);
  EXPECT_EQ(std::vector<int>(seq.begin(), seq.begin() + 4),
            (std::vector<int>{kTheme1, kTheme2, kTheme1, kTheme2}));
  // Each track whole, the gap between two at most a block of the mixer (8192 bytes).
  // Runs cut by the render's start (the first began under the opening's sound) or end are
  // not whole.
  bool firstTheme1 = true;
  for (const Stretch& r : Runs(out)) {
    if (r.value == kTheme1) {
      if (!firstTheme1 && r.start + r.length < int(out.size())) {
        EXPECT_GE(r.length, Frames(300) - 2);
      }
      firstTheme1 = false;
    }
    if (r.value == 0 && r.start > Frames(100) && r.start + r.length < int(out.size())) {
      EXPECT_LE(r.length, 4096);
    }
  }
  EXPECT_TRUE(fm_->MusicOn);
}

TEST_P(SoundBackEnds, ASingleTrackPlaysAgainAndAgain) {
  Seed(/*musicWanted=*/true);
  StartWith(GetParam(), MakeDisc({{"Theme1.wav", SteadyWave(kTheme1, 200)}}));
  // Three passes and more in 1200 ms: a pass and a gap of at most one mixer block each.
  EXPECT_GE(FramesOf(Render(1200), kTheme1), Frames(3 * 200) - 10);
}

TEST_P(SoundBackEnds, NoMusicFilesStartNothingAndTheMusicSwitchOnlyChangesItsLook) {
  Seed(/*musicWanted=*/true);
  StartWith(GetParam(), MakeDisc({}));
  EXPECT_TRUE(Silent(Render(300)));
  EXPECT_FALSE(fm_->MusicOn);
  fm_->gtbMusicClick();
  EXPECT_TRUE(fm_->MusicOn);  // what the switch says, with nothing to play
  EXPECT_FALSE(fm_->ShowsAlternatePicture("gtbMusic"));
  EXPECT_EQ(Button("gtbMusic")->toolTip(), QString("Desligar Música"));
  fm_->gtbMusicClick();
  EXPECT_TRUE(fm_->ShowsAlternatePicture("gtbMusic"));
  EXPECT_EQ(Button("gtbMusic")->toolTip(), QString("Ligar Música"));
  EXPECT_FALSE(fm_->Settings.MusicWanted);
  EXPECT_TRUE(Silent(Render(300)));
  EXPECT_TRUE(dialogs_->Messages().empty());
}

TEST_P(SoundBackEnds, MasterOffStopsTheMusicAndDisablesItsSwitchAndOnRestartsIt) {
  Seed(/*musicWanted=*/true);
  StartWith(GetParam(), MakeDisc({{"Theme1.wav", SteadyWave(kTheme1, 2000)}}));
  ASSERT_EQ(Sequence(Render(200)), std::vector<int>{kTheme1});
  fm_->gtbMasterClick();
  EXPECT_FALSE(Button("gtbMusic")->isEnabled());
  EXPECT_EQ(Button("gtbMaster")->toolTip(), QString("Ligar sons"));
  EXPECT_TRUE(fm_->ShowsAlternatePicture("gtbMaster"));
  EXPECT_FALSE(fm_->MusicOn);
  // Stopped at once, not after what was mixed ahead.
  EXPECT_TRUE(Silent(Render(300), size_t(Frames(20))));
  fm_->gtbMasterClick();
  EXPECT_TRUE(Button("gtbMusic")->isEnabled());
  EXPECT_EQ(Button("gtbMaster")->toolTip(), QString("Desligar sons"));
  EXPECT_TRUE(fm_->MusicOn) << "the music is still wanted";
  EXPECT_EQ(Sequence(Render(300)), std::vector<int>{kTheme1});
  EXPECT_TRUE(fm_->Settings.MusicWanted);
}

TEST_P(SoundBackEnds, MusicSwitchStopsAndResumesTheMusic) {
  Seed(/*musicWanted=*/true);
  StartWith(GetParam(), MakeDisc({{"Theme1.wav", SteadyWave(kTheme1, 2000)},
                                  {"Theme2.wav", SteadyWave(kTheme2, 2000)}}));
  ASSERT_EQ(Sequence(Render(200)), std::vector<int>{kTheme1});
  fm_->gtbMusicClick();
  EXPECT_FALSE(fm_->Settings.MusicWanted);
  EXPECT_TRUE(Silent(Render(300), size_t(Frames(20))));
  fm_->PlayEffect(fxDetails);  // the effects go on without the music
  EXPECT_EQ(Sequence(Render(200)), std::vector<int>{EffectValue(fxDetails)});
  fm_->gtbMusicClick();
  // The mixer plays the track it stopped in again; the player's track, held whole in memory,
  // reported its end when it was stopped, so the next one follows.
  EXPECT_EQ(Sequence(Render(300)),
            std::vector<int>{GetParam() == BackEnd::Mixer ? kTheme1 : kTheme2});
}

TEST_P(SoundBackEnds, DeactivationSilencesAtOnceAndActivationResumesTheMusic) {
  Seed(/*musicWanted=*/true);
  StartWith(GetParam(), MakeDisc({{"Theme1.wav", SteadyWave(kTheme1, 3000)}}));
  ASSERT_EQ(Sequence(Render(200)), std::vector<int>{kTheme1});
  fm_->ApplicationDeactivated();
  EXPECT_TRUE(Silent(Render(300)));
  fm_->ApplicationActivated();
  EXPECT_EQ(Sequence(Render(300)), std::vector<int>{kTheme1});
  EXPECT_TRUE(dialogs_->Messages().empty());
}

// On the test clock: message 22 once when another program holds the device, a retry every
// 2000 ms, message 29 once when it is free again, and the music back without a restart.
TEST_P(SoundBackEnds, HeldDeviceIsReportedOnceRetriedEveryTwoSecondsAndSoundComesBack) {
  Seed(/*musicWanted=*/true);
  StartWith(GetParam(), MakeDisc({{"Theme1.wav", SteadyWave(kTheme1, 5000)}}));
  ASSERT_EQ(Sequence(Render(100)), std::vector<int>{kTheme1});
  fm_->ApplicationDeactivated();
  card_.SetHeld(true);
  fm_->ApplicationActivated();
  EXPECT_EQ(MessageCodes(), std::vector<int>{22});
  EXPECT_FALSE(Button("gtbMaster")->isEnabled());
  EXPECT_TRUE(fm_->TurnWave->Enabled());
  fm_->PlayEffect(fxGen2);  // skipped while held
  EXPECT_TRUE(Silent(Render(100)));
  clock_.Advance(1999);
  EXPECT_FALSE(fm_->TurnWave->Tick());
  clock_.Advance(1);
  EXPECT_TRUE(fm_->TurnWave->Tick());
  clock_.Advance(2000);
  EXPECT_TRUE(fm_->TurnWave->Tick());
  EXPECT_EQ(MessageCodes(), std::vector<int>{22}) << "once per blockage";
  card_.SetHeld(false);
  clock_.Advance(2000);
  EXPECT_TRUE(fm_->TurnWave->Tick());
  EXPECT_EQ(MessageCodes(), (std::vector<int>{22, 29}));
  EXPECT_FALSE(fm_->TurnWave->Enabled());
  EXPECT_TRUE(Button("gtbMaster")->isEnabled());
  EXPECT_FALSE(fm_->ShowsAlternatePicture("gtbMaster"));
  EXPECT_EQ(Sequence(Render(300)), std::vector<int>{kTheme1});
  fm_->PlayEffect(fxGen2);
  const std::vector<int> seq = Sequence(Render(200));
  EXPECT_NE(std::find(seq.begin(), seq.end(), kTheme1 + EffectValue(fxGen2)), seq.end());
}

TEST_P(SoundBackEnds, UnreadableMusicTrackIsSkippedAndTheRestStillSounds) {
  Seed(/*musicWanted=*/true);
  StartWith(GetParam(), MakeDisc({{"Theme1.wav", QByteArray("not a wave at all")},
                                  {"Theme2.wav", SteadyWave(kTheme2, 200)}}));
  const std::vector<int> out = Render(800);
  EXPECT_EQ(Sequence(out), std::vector<int>{kTheme2});
  EXPECT_GE(FramesOf(out, kTheme2), Frames(2 * 200)) << "the good track plays round and round";
  fm_->PlayEffect(fxCapOpen);
  const std::vector<int> seq = Sequence(Render(150));
  EXPECT_FALSE(seq.empty());
}

TEST_P(SoundBackEnds, VolumeEndsReachTheBackEndAndTheButtonsRampIt) {
  Seed(/*musicWanted=*/false);
  StartWith(GetParam(), MakeDisc({}));
  fm_->SetVolumeLevel(99);
  fm_->ApplyVolumeLevel();
  if (GetParam() == BackEnd::Player) {
    EXPECT_EQ(fm_->SoundPlayer->MasterVolume(), 0);
  } else {
    EXPECT_EQ(card_.WaveVolume(0), 0xFFFFFFFFu);
  }
  fm_->SetVolumeLevel(0);
  fm_->ApplyVolumeLevel();
  if (GetParam() == BackEnd::Player) {
    EXPECT_EQ(fm_->SoundPlayer->MasterVolume(), -10000);
  } else {
    EXPECT_EQ(card_.WaveVolume(0), 0u);
  }
  // The buttons' handlers: a click moves one step; leaving while held ends without one.
  TGButton* up = Button("gtbVolUp");
  ASSERT_TRUE(up->OnMouseDown && up->OnMouseUp && up->OnMouseOut);
  EXPECT_EQ(up->toolTip(), QString("Volume(+)"));
  EXPECT_EQ(Button("gtbVolDo")->toolTip(), QString("Volume(-)"));
  up->OnMouseDown(up, Qt::LeftButton, {}, 1, 1);
  up->OnMouseUp(up, Qt::LeftButton, {}, 1, 1);
  EXPECT_EQ(fm_->VolumeLevel(), 1);
  TGButton* down = Button("gtbVolDo");
  down->OnMouseDown(down, Qt::LeftButton, {}, 1, 1);
  down->OnMouseOut(down);
  down->OnMouseUp(down, Qt::LeftButton, {}, 1, 1);
  EXPECT_EQ(fm_->VolumeLevel(), 1);
}

}  // namespace

namespace {

using soundwindow::SoundWindowTest;

// A missing or damaged effect: the player refuses it and the mixer takes over, which leaves
// that effect silent and plays every other one.
TEST_F(SoundWindowTest, MissingOrDamagedEffectLeavesTheMixerPlayingTheOthers) {
  Seed(/*musicWanted=*/false);
  const QString root = MakeDisc({});
  const QString waves = root + "/QUARX/Resour/waves/";
  ASSERT_TRUE(QFile::remove(waves + "MiniBts.wav"));
  ASSERT_TRUE(testsupport::WriteFile(waves + "GetBack.wav", "RIFF and nothing of a wave"));
  fm_ = Start("800x600x32", root);
  ASSERT_FALSE(fm_->SoundPlayer);
  ASSERT_TRUE(fm_->Mixer);
  ASSERT_TRUE(fm_->Mixer->Activated());
  FinishOpening(*fm_);
  Render(kEffectMs + 20);  // the opening's own sound
  for (int i : {int(fxMiniBts), int(fxDetails), int(fxGetBack), int(fxGen5)}) {
    fm_->PlayEffect(i);
    const std::vector<int> seq = Sequence(Render(kEffectMs + 60));
    if (i == fxMiniBts || i == fxGetBack) {
      EXPECT_TRUE(seq.empty()) << i;
    } else {
      EXPECT_EQ(seq, std::vector<int>{EffectValue(i)}) << i;
    }
  }
  EXPECT_TRUE(dialogs_->Messages().empty());
}

}  // namespace
