// The explorer window's actions: choosing a file in the tree, the buttons, sounds, and the
// retry of a blocked sound device.

#include <QApplication>

#include "common/AudioEnvironment.h"
#include "common/Environment.h"
#include "common/Messages.h"
#include "controls/Transbut.h"
#include "explorer/uRARez.h"

namespace {
// Holds the hourglass for the length of a load.
class WaitCursor {
 public:
  WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
  ~WaitCursor() { QApplication::restoreOverrideCursor(); }
  WaitCursor(const WaitCursor&) = delete;
  WaitCursor& operator=(const WaitCursor&) = delete;
};
}  // namespace

void TfmRARez::FullTreeSelectItem(QObject*, const QString& fullPath) {
  const MediaKindOf kind = MediaKindOfPath(fullPath);
  switch (kind) {
    case MediaKindOf::None: return;
    case MediaKindOf::Wave:
    {
      StopPlayback();
      const bool played = PlayWave(fullPath);
      paMCI->hide();
      MediaKind = MediaKindOf::Wave;
      // A wave that could not be loaded leaves the status bar and the wave's path cleared,
      // so that the play button cannot try it again.
      WavePath = played ? fullPath : QString();
      SetStatusText(WavePath);
      // Full view is for pictures: with a sound nothing would be drawn there, and a click on
      // the empty area would not lead back, so the button left on by a picture goes off.
      btFull->SetEnabled(false);
      return;
    }
    case MediaKindOf::Metafile:
    case MediaKindOf::Bitmap:
    case MediaKindOf::Jpeg: {
      bool loaded;
      {
        WaitCursor wait;
        loaded = LoadPicture(kind, fullPath);
      }
      if (!loaded) {
        ShowExplorerMessage(4, fullPath);
        // The picture shown before goes on being shown as it was fitted.
        FitPictureRect();
        return;
      }
      StopPlayback();
      paMCI->hide();
      MediaKind = kind;
      Redraw();
      ShownPath = fullPath;
      SetStatusText(fullPath);
      break;
    }
    case MediaKindOf::Video: {
      bool loaded;
      {
        WaitCursor wait;
        DeactivateSound();  // the video takes the wave device
        loaded = LoadVideo(fullPath);
      }
      if (!loaded) {
        ShowExplorerMessage(4, fullPath);
        // Trying the file closed the video that was shown; it is opened again, so that it
        // stays shown and playable.
        if (MediaKind == MediaKindOf::Video && !ShownPath.isEmpty()) LoadVideo(ShownPath);
        FitPictureRect();
        return;
      }
      StopPlayback();
      paMCI->hide();
      MediaKind = MediaKindOf::Video;
      Redraw();
      ShownPath = fullPath;
      SetStatusText(fullPath);
      btPlay->SetEnabled(true);
      btPlayClick(btPlay);
      break;
    }
  }
  btPlay->SetEnabled(MediaKind == MediaKindOf::Video);
  btStop->SetEnabled(btPlay->Enabled());
  btFull->SetEnabled(MediaKind < MediaKindOf::Wave);
}

bool TfmRARez::PlayWave(const QString& path) {
  const bool soundAvailable = Env().SoundAvailable;
  try {
    bool ok = true;
    if (SoundPlayer) {
      if (!SoundPlayer->Active()) SoundPlayer->SetActive(true);
      if (!SoundPlayer->Active()) {
        TurnWave.SetEnabled(true);
        return true;
      }
      if (path != WavePath || !SoundPlayer->FindWave(0)) {
        if (SoundPlayer->FindWave(0)) SoundPlayer->RemoveWave(0);
        TAudioInit request;
        request.FileName = path;
        request.Channel = 0;
        request.Notify = true;
        ok = SoundPlayer->AddWave(&request);
      }
      if (ok && soundAvailable) SoundPlayer->Play(0);
    } else if (Mixer) {
      if (!Mixer->Activated()) TurnWaveTimer();
      if (!Mixer->Activated()) {
        TurnWave.SetEnabled(true);
        return true;
      }
      if (path != WavePath || !MixWave) {
        if (MixWave) Mixer->FreeWave(MixWave);
        MixWave = nullptr;
        MixWave = Mixer->OpenWave(path);
        ok = MixWave != nullptr;
      }
      if (ok && soundAvailable) Mixer->Play(0, MixWave, 0, 4);
    }
    if (!ok) throw std::runtime_error("wave not loaded");
    btPlay->SetEnabled(true);
    btStop->SetEnabled(true);
    return true;
  } catch (const std::exception&) {
    ShowExplorerMessage(4, path);
    btPlay->SetEnabled(false);
    btStop->SetEnabled(false);
    SetStatusText(QString());
    WavePath.clear();
    return false;
  }
}

void TfmRARez::DeactivateSound() {
  try {
    if (SoundPlayer) SoundPlayer->SetActive(false);
    if (Mixer && Mixer->Activated()) Mixer->SetActivated(false);
  } catch (const std::exception&) {
    // A back-end that will not let go is left as it is; the video then plays without it.
  }
}

void TfmRARez::btPlayClick(QObject*) {
  try {
    if (MediaKind == MediaKindOf::Wave) {
      if (WavePath.isEmpty()) {
        btPlay->SetEnabled(false);
        btStop->SetEnabled(false);
      } else {
        PlayWave(WavePath);
      }
    } else if (MediaKind == MediaKindOf::Video) {
      if (paMCI->isHidden()) paMCI->show();
      if (!MediaPlayer->Playing()) MediaPlayer->Play();
    }
  } catch (const std::exception&) {
  }
}

void TfmRARez::btStopClick(QObject*) {
  try {
    if (MediaKind == MediaKindOf::Wave) {
      if (SoundPlayer) SoundPlayer->Stop(0);
      else if (Mixer && Mixer->Activated()) Mixer->FlushChannel(0, true);
    } else if (MediaKind == MediaKindOf::Video) {
      if (MediaPlayer->Playing()) MediaPlayer->Stop();
    }
  } catch (const std::exception&) {
  }
}

void TfmRARez::btFullClick(QObject*) {
  FullView = !FullView;
  SetFullViewControlsVisible(!FullView);
  RunLayout();
}

void TfmRARez::pbMainClick(QObject* sender) {
  if (MediaKind <= MediaKindOf::Metafile) btFullClick(sender);
}

void TfmRARez::btCloseClick(QObject*) {
  StopPlayback();
  Terminate();
}

void TfmRARez::TurnWaveTimer() {
  if (!Env().SoundAvailable) return;
  auto blocked = [this] {
    TurnWave.SetEnabled(true);
    if (!DeviceRetrying) {
      DeviceRetrying = true;
      ShowExplorerMessage(22);
    }
  };
  try {
    if (SoundPlayer) {
      if (!SoundPlayer->Active()) SoundPlayer->SetActive(true);
      if (!SoundPlayer->Active()) return blocked();
    } else if (Mixer) {
      if (!Mixer->Activated()) {
        if (!ProbeWaveDevice()) return blocked();
        Mixer->SetActivated(true);
      }
    } else {
      return;
    }
  } catch (const std::exception&) {
    return blocked();
  }
  if (DeviceRetrying) ShowExplorerMessage(29);
  DeviceRetrying = false;
  TurnWave.SetEnabled(false);
}

void TfmRARez::ApplicationDeactivate() {
  if (!WavePath.isEmpty() && StatusText() == WavePath) {
    SetStatusText(QString());
    btPlay->SetEnabled(false);
    btStop->SetEnabled(false);
  }
  WavePath.clear();
  if (Env().SoundAvailable) DeactivateSound();
  TurnWave.SetEnabled(false);
}
