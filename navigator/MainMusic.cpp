// The sounds the user hears from the main window: the effects played when the user acts, the
// theme music (tracks of MusicList in order, round and round), and the two sound switches
// gtbMaster (all sounds) and gtbMusic (music). The back-end itself is MainSound.cpp's.
//
// Where the order of events leaves a choice, the music does what a listener expects:
// - a track that cannot be loaded is skipped (after a whole round of failures the music stays
//   silent until it is switched on again);
// - music switched back on resumes the track it stopped in (the player keeps its place; the
//   mixer plays it again from its start);
// - a new track loaded for the mixer frees the one before it, which has ended.

#include <QMetaObject>
#include <algorithm>
#include <exception>
#include <optional>

#include "audio/SoundModule.h"
#include "audio/WaveMix.h"
#include "controls/Transbut.h"
#include "navigator/LoadWaveThread.h"
#include "navigator/uMain.h"
#include "platform/Drives.h"
#include "platform/Timer.h"

namespace {

QString MasterName() {
  return QStringLiteral("gtbMaster");
}
QString MusicName() {
  return QStringLiteral("gtbMusic");
}

}  // namespace

bool TfmMain::SoundsOff() const {
  return ShowsAlternatePicture(MasterName());
}

void TfmMain::PlayEffect(int index, int mixerChannel) {
  if (options_.OnEffect) options_.OnEffect(index, mixerChannel);
  if (index < 0 || index >= kEffectCount) return;
  try {
    if (SoundPlayer) {
      if (!SoundPlayer->Active()) {
        TurnWave->SetEnabled(true);
      } else if (Env().SoundAvailable && !SoundsOff()) {
        SoundPlayer->Play(index);
      }
    } else if (Mixer) {
      if (!Env().SoundAvailable || SoundsOff()) return;
      if (!Mixer->Activated()) {
        TurnWave->SetEnabled(true);
      } else if (TMixWave* wave = WaveSlots[size_t(index)]) {
        Mixer->Play(mixerChannel, wave, 0, mpHighPriority);
      }
    }
  } catch (const std::exception&) {
    // An effect that cannot sound never stands in the way of the action it accompanies.
  }
}

void TfmMain::PlayEffect(int index) {
  if (index < 0 || index >= kEffectCount) return;
  PlayEffect(index, kEffectMixerChannel[size_t(index)]);
}

// ---- Music ---------------------------------------------------------------------------------

int TfmMain::TrackAfter(int track) const {
  const int n = int(MusicList.size());
  return n == 0 ? 0 : (track + 1) % n;
}

void TfmMain::StartSoundEvents() {
  if (!Env().SoundAvailable) return;
  if (SoundPlayer) {
    SoundPlayer->OnAtitude = [this](QObject*, int32_t channel, int32_t error) {
      PlayerMusicEnded(channel, error);
    };
    if (!MusicList.isEmpty() && SoundPlayer->Active()) PlayerMusicEnded(kMusicPlayerChannel, 0);
  } else if (Mixer) {
    TWaveMix::SetWaveNotify([this](int32_t, int32_t channel) { MixerMusicEnded(channel); });
    if (MusicList.isEmpty()) return;
    if (Mixer->Activated())
      MixerMusicEnded(kMusicMixerChannel);
    else
      MusicStartPending = true;
  }
}

void TfmMain::StartMusic() {
  if (SoundsOff() || !Settings.MusicWanted) {
    MusicOn = false;
    return;
  }
  int playing = -1;
  try {
    if (SoundPlayer) {
      if (!SoundPlayer->Active()) {
        TurnWave->SetEnabled(true);
        MusicOn = false;
        return;
      }
      const TAudioData* wave = SoundPlayer->FindWave(kMusicPlayerChannel);
      if (!wave || !wave->Prepared() || !SoundPlayer->Play(kMusicPlayerChannel)) {
        MusicOn = false;
        return;
      }
      playing = playerTrack_;
    } else if (Mixer) {
      if (!Mixer->Activated()) {
        MusicStartPending = true;
        MusicOn = false;
        return;
      }
      if (!WaveSlots[kMusicSlot]) {
        MixerMusicEnded(kMusicMixerChannel);
        MusicOn = false;
        return;
      }
      Mixer->Play(kMusicMixerChannel, WaveSlots[kMusicSlot], 0, mpClearQueue | mpHighPriority);
      playing = mixerTrack_;
    } else {
      return;
    }
  } catch (const std::exception&) {
    MusicOn = false;
    return;
  }
  MusicOn = true;
  // The track after the one now sounding, so that resuming a track never skips the next.
  NextTrack = TrackAfter(playing);
}

void TfmMain::SetMusic(bool on) {
  if (QWidget* music = Control(MusicName()))
    music->setToolTip(on ? QStringLiteral("Desligar Música") : QStringLiteral("Ligar Música"));
  try {
    if (on) {
      if (SoundPlayer) {
        PlayerMusicEnded(kMusicPlayerChannel, 0);
      } else if (Mixer && Env().SoundAvailable) {
        if (!Mixer->Activated())
          TurnWave->SetEnabled(true);
        else if (WaveSlots[kMusicSlot])
          Mixer->Play(kMusicMixerChannel, WaveSlots[kMusicSlot], 0, mpHighPriority);
      }
    } else if (SoundPlayer) {
      SoundPlayer->Stop(kMusicPlayerChannel);
    } else if (Mixer && Mixer->Activated()) {
      // With a remix: what is already mixed ahead (up to two seconds) goes too, so the music
      // stops when the switch is clicked.
      Mixer->FlushChannel(kMusicMixerChannel, /*noRemix=*/false);
    }
  } catch (const std::exception&) {
    // The switch keeps its state; the music follows at the next start.
  }
}

void TfmMain::MixerMusicEnded(int channel) {
  if (channel != kMusicMixerChannel || !Mixer || MusicList.isEmpty()) return;
  if (musicLoader_) return;  // one loader at a time; its completion goes on from there
  const int track = std::clamp(NextTrack, 0, int(MusicList.size()) - 1);
  // The track already loaded (a list of one) plays again without being read again.
  if (WaveSlots[kMusicSlot] && mixerTrack_ == track) {
    if (Mixer->Activated())
      StartMusic();
    else
      MusicStartPending = true;
    return;
  }
  const std::optional<QString> host = platform::Drives().ToHost(MusicList[track]);
  if (!host) {
    MusicTrackFailed(track);
    return;
  }
  if (QWidget* music = Control(MusicName())) music->setEnabled(false);
  musicLoader_ = std::make_unique<TLoadWaveThread>(Mixer.get(), *host, track);
  connect(musicLoader_.get(), &QThread::finished, this, [this] { FinishMusicLoad(); });
  musicLoader_->start();
}

void TfmMain::FinishMusicLoad() {
  if (!musicLoader_) return;
  musicLoader_->wait();
  TMixWave* wave = musicLoader_->Wave();
  const int track = musicLoader_->Track();
  musicLoader_.reset();
  if (QWidget* music = Control(MusicName()))
    music->setEnabled(Env().SoundAvailable && !SoundsOff());
  if (!Mixer) return;
  if (!wave) {
    MusicTrackFailed(track);
    return;
  }
  musicFailures_ = 0;
  if (TMixWave* previous = WaveSlots[kMusicSlot]; previous && previous != wave) {
    try {
      Mixer->FreeWave(previous);
    } catch (const std::exception&) {
      // Gone with its session already.
    }
  }
  WaveSlots[kMusicSlot] = wave;
  mixerTrack_ = track;
  if (Mixer->Activated())
    StartMusic();
  else
    MusicStartPending = true;
}

void TfmMain::MusicTrackFailed(int track) {
  NextTrack = TrackAfter(track);
  if (++musicFailures_ < int(MusicList.size())) {
    if (Mixer) MixerMusicEnded(kMusicMixerChannel);
    if (SoundPlayer) PlayerMusicEnded(kMusicPlayerChannel, 0);
  }
}

void TfmMain::PlayerMusicEnded(int channel, int error) {
  if (channel != kMusicPlayerChannel || !SoundPlayer || MusicList.isEmpty()) return;
  if (error != 0) {
    // The failed wave leaves the player after this call; the next track follows then.
    QMetaObject::invokeMethod(
        this, [this, track = playerTrack_] { MusicTrackFailed(track); }, Qt::QueuedConnection);
    return;
  }
  // One wave per channel: a track still held (stopped, or a list of one) plays on.
  if (!SoundPlayer->FindWave(kMusicPlayerChannel)) {
    const int track = std::clamp(NextTrack, 0, int(MusicList.size()) - 1);
    TAudioInit request;
    request.FileName = MusicList[track];
    request.Channel = kMusicPlayerChannel;
    request.Notify = true;
    // With more than one track each is freed at its end and the next one added.
    request.FreeAfterPlay = MusicList.size() >= 2;
    try {
      SoundPlayer->AddWave(&request);
      playerTrack_ = track;
    } catch (const std::exception&) {
      MusicTrackFailed(track);
      return;
    }
  }
  if (SoundPlayer->FindWave(kMusicPlayerChannel)) {
    musicFailures_ = 0;
    StartMusic();
  }
}

// ---- The switches --------------------------------------------------------------------------

void TfmMain::gtbMasterClick() {
  const bool off = !SoundsOff();
  SetAlternatePicture(MasterName(), off);
  if (QWidget* music = Control(MusicName())) music->setEnabled(!off && !musicLoader_);
  if (QWidget* master = Control(MasterName()))
    master->setToolTip(off ? QStringLiteral("Ligar sons") : QStringLiteral("Desligar sons"));
  if (!Settings.MusicWanted) return;
  MusicOn = !off;
  if (Env().SoundAvailable) SetMusic(MusicOn);
}

void TfmMain::gtbMusicClick() {
  MusicOn = !MusicOn;
  SetAlternatePicture(MusicName(), !MusicOn);
  Settings.MusicWanted = MusicOn;
  if (MusicOn) musicFailures_ = 0;
  SetMusic(MusicOn);
}

void TfmMain::WireSoundButtons() {
  if (auto* master = qobject_cast<TGButton*>(Control(MasterName()))) {
    master->setToolTip(QStringLiteral("Desligar Sons"));
    master->OnClick = [this](QObject*) { gtbMasterClick(); };
  }
  if (auto* music = qobject_cast<TGButton*>(Control(MusicName())))
    music->OnClick = [this](QObject*) { gtbMusicClick(); };
  const struct {
    const char* name;
    const char* hint;
    VolumeRamp::Direction direction;
  } volume[] = {{"gtbVolUp", "Volume(+)", VolumeRamp::Direction::Up},
                {"gtbVolDo", "Volume(-)", VolumeRamp::Direction::Down}};
  for (const auto& v : volume) {
    auto* button = qobject_cast<TGButton*>(Control(QString::fromLatin1(v.name)));
    if (!button) continue;
    button->setToolTip(QString::fromLatin1(v.hint));
    const VolumeRamp::Direction direction = v.direction;
    button->OnMouseDown = [this, direction](QObject*, Qt::MouseButton, Qt::KeyboardModifiers, int,
                                            int) { VolumeButtonDown(direction); };
    button->OnMouseUp = [this](QObject*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) {
      VolumeButtonUp();
    };
    button->OnMouseOut = [this](QObject*) { VolumeButtonLeave(); };
  }
}
