// The sound output of the main window: choosing the back-end at start-up (the buffer player
// first, the wave mixer when the player cannot start), the effects both keep loaded, the
// volume sent to whichever plays, silencing on deactivation, the device-retry step and the
// release at shutdown. The effects played, the music and the sound switches are in
// MainMusic.cpp.

#include <cmath>
#include <exception>

#include "audio/StereoMixer.h"
#include "audio/SoundModule.h"
#include "audio/WaveMix.h"
#include "common/AudioEnvironment.h"
#include "common/Messages.h"
#include "controls/TotalPaintBox.h"
#include "navigator/uMain.h"
#include "platform/Timer.h"

namespace {

// Index = the player's channel; the mixer keeps the same index in WaveSlots.
constexpr const char* kEffectNames[kEffectCount] = {
    "MiniBts",  "Details", "GetBack", "fnext", "fback", "CapOpen", "panelin",
    "panelout", "1gen",    "2gen",    "3gen",  "4gen",  "5gen"};

}  // namespace

QString TfmMain::EffectFile(int index) const {
  return Env().ProgramDir + QStringLiteral("Resour\\waves\\") +
         QString::fromLatin1(kEffectNames[index]) + QStringLiteral(".wav");
}

bool TfmMain::InitialiseSound() {
  if (SoundPlayer) return true;
  bool result = true;
  try {
    auto player = std::make_unique<TMyDxSound>(this);
    player->SetCooperativeLevel(3);
    player->SetSamplesPerSec(22050);
    player->SetBitsPerSample(16);
    player->SetChannels(2);
    player->SetActive(true);
    result = player->Active();
    SoundPlayer = std::move(player);
    if (result) LoadEffects();
  } catch (const std::exception&) {
    // The mixer takes over for the rest of the run.
    SoundPlayer.reset();
  }
  if (!SoundPlayer && Env().SoundAvailable) {
    result = false;
    try {
      Mixer = OpenStereoMixer(this);
      // A missing or damaged effect is only that effect gone: the result speaks of the
      // device, which the retry timer waits for.
      LoadEffects();
      if (ProbeWaveDevice()) {
        Mixer->SetActivated(true);
        result = true;
      }
    } catch (const std::exception&) {
      result = false;
    }
  }
  return result;
}

void TfmMain::LoadEffects() {
  for (int i = 0; i < kEffectCount; ++i) {
    if (SoundPlayer) {
      TAudioInit request;
      request.FileName = EffectFile(i);
      request.Channel = i;
      SoundPlayer->AddWave(&request);
    } else if (Mixer) {
      try {
        WaveSlots[static_cast<size_t>(i)] = Mixer->OpenWave(EffectFile(i));
      } catch (const std::exception&) {
        // That effect stays silent; the others still load.
        WaveSlots[static_cast<size_t>(i)] = nullptr;
      }
    }
  }
}

void TfmMain::FreeMixerWaves() {
  if (!Mixer) return;
  for (TMixWave*& wave : WaveSlots) {
    if (!wave) continue;
    try {
      Mixer->FreeWave(wave);
    } catch (const std::exception&) {
      // A wave the session no longer knows is gone already.
    }
    wave = nullptr;
  }
}

void TfmMain::ShowMasterUnavailable() {
  SetAlternatePicture(QStringLiteral("gtbMaster"), true);
  if (QWidget* master = Control(QStringLiteral("gtbMaster"))) master->setEnabled(false);
}

void TfmMain::InitSound() {
  const Environment& env = Env();
  if (!InitialiseSound()) {
    // Another program holds the device: the switch waits off until TurnWave gets it back.
    DeviceRetrying = true;
    SavedMasterOff = ShowsAlternatePicture(QStringLiteral("gtbMaster"));
    ShowMasterUnavailable();
    TurnWave->SetEnabled(true);
    return;
  }
  if (SoundPlayer) {
    if (!env.SoundAvailable)
      ShowMasterUnavailable();
    else if (Settings.VolumeLevel == kVolumeUnset)
      SetVolumeLevel(99);
    return;
  }
  if (env.VolumeControlAvailable && Mixer) {
    if (Settings.VolumeLevel == kVolumeUnset) SetVolumeLevel(DeviceVolumeLevel(false));
    return;
  }
  SetVolumeLevel(0);
  if (!env.SoundAvailable) ShowMasterUnavailable();
}

int TfmMain::DeviceVolumeLevel(bool rounded) const {
  uint16_t left = 0, right = 0;
  Mixer->Volume(left, right, /*set=*/false);
  return rounded ? LevelFromWaveOutVolumeRounded(left) : LevelFromWaveOutVolume(left);
}

void TfmMain::SilenceSound() {
  if (!Env().SoundAvailable) return;
  try {
    if (SoundPlayer)
      SoundPlayer->SetActive(false);
    else if (Mixer)
      Mixer->SetActivated(false);
  } catch (const std::exception&) {
    // Going quiet never fails visibly; the next activation retries the device.
  }
}

void TfmMain::TurnWaveTimer() {
  const Environment& env = Env();
  if (!env.SoundAvailable) return;
  if (SoundPlayer) {
    if (!SoundPlayer->Active()) {
      try {
        SoundPlayer->SetActive(true);
      } catch (const std::exception&) {
        // Still held: handled below as not active.
      }
    }
    if (!SoundPlayer->Active()) {
      DeviceBlocked();
      return;
    }
    if (!SoundPlayer->FindWave(0)) {
      try {
        LoadEffects();
      } catch (const std::exception&) {
        // An effect file gone since the start stays silent; the device is back all the same.
      }
    }
    DeviceRegained();
    if (env.VolumeControlAvailable) ApplyVolumeLevel();
    FinishDeviceRetry();
    ResumeMusicAfterRetry();
    return;
  }
  if (!Mixer || Mixer->Activated()) return;
  if (!ProbeWaveDevice()) {
    DeviceBlocked();
    return;
  }
  Mixer->SetActivated(true);
  DeviceRegained();
  if (env.VolumeControlAvailable) {
    SetVolumeLevel(DeviceVolumeLevel(true));
    ApplyVolumeLevel();
  }
  FinishDeviceRetry();
  ResumeMusicAfterRetry();
}

void TfmMain::ResumeMusicAfterRetry() {
  if (SoundPlayer) {
    if (MusicStartPending) {
      MusicStartPending = false;
      PlayerMusicEnded(kMusicPlayerChannel, 0);
    } else if (MusicOn) {
      StartMusic();
    }
  } else if (Mixer && MusicStartPending) {
    // A mixer that was only deactivated keeps its music queued and plays on by itself.
    MusicStartPending = false;
    StartMusic();
  }
}

void TfmMain::DeviceRegained() {
  if (QWidget* master = Control(QStringLiteral("gtbMaster"))) master->setEnabled(true);
  if (DeviceRetrying && !SavedMasterOff) SetAlternatePicture(QStringLiteral("gtbMaster"), false);
}

void TfmMain::FinishDeviceRetry() {
  if (DeviceRetrying) ShowAppMessage(29);
  DeviceRetrying = false;
  TurnWave->SetEnabled(false);
}

void TfmMain::DeviceBlocked() {
  TurnWave->SetEnabled(true);
  if (DeviceRetrying) return;
  DeviceRetrying = true;
  const bool masterOff = ShowsAlternatePicture(QStringLiteral("gtbMaster"));
  if (!masterOff) ShowAppMessage(22);
  SavedMasterOff = masterOff;
  ShowMasterUnavailable();
}

void TfmMain::ReleaseSound() {
  // A music load still running finishes first; its wave goes with the session.
  if (musicLoader_) {
    musicLoader_->disconnect(this);
    musicLoader_->wait();
    musicLoader_.reset();
  }
  if (Mixer) TWaveMix::SetWaveNotify({});
  if (SoundPlayer) SoundPlayer->OnAtitude = nullptr;
  // The mixer exists only with a wave device; its waves go before it.
  FreeMixerWaves();
  Mixer.reset();
  if (SoundPlayer) {
    try {
      SoundPlayer->SetActive(false);
    } catch (const std::exception&) {
      // Freeing the player below releases the device anyway.
    }
    SoundPlayer.reset();
  }
}

void TfmMain::SendVolumeToBackEnd() {
  const Environment& env = Env();
  // A level still unset (no back-end could start) would silence the device's own setting,
  // which the retry reads back; it waits for a real level instead. Buttons without a volume
  // to drive are disabled all the same.
  const bool unset = Settings.VolumeLevel == kVolumeUnset;
  if (unset && (SoundPlayer || env.VolumeControlAvailable)) return;
  if (SoundPlayer) {
    appliedVolume_ = DirectSoundVolumeCentibels(Settings.VolumeLevel);
    SoundPlayer->SetVolume(-1, appliedVolume_);
  } else if (env.VolumeControlAvailable) {
    appliedVolume_ = WaveOutVolume(Settings.VolumeLevel);
    if (Mixer) {
      uint16_t both = static_cast<uint16_t>(appliedVolume_);
      uint16_t right = both;
      Mixer->Volume(both, right, /*set=*/true);
    }
  } else {
    for (const char* name : {"gtbVolUp", "gtbVolDo"})
      if (QWidget* b = Control(QString::fromLatin1(name))) b->setEnabled(false);
    if (QWidget* up = Control(QStringLiteral("gtbVolUp")))
      up->setToolTip(QStringLiteral("O dispositivo wave não suporta alterações de volume."));
  }
}
