#pragma once

// The WAVE player over the DirectSound-like buffer device: the navigator's TMyDxSound and the
// explorer's TDXSound, their waves (TAudioData) and notification threads (TWaveThreadNotify).
//
// Thread model: everything here runs on the main thread except TWaveThreadNotify::run, which
// only waits on events and posts calls to the main thread; the buffer device mixes on the
// audio output's thread behind its own lock.

#include <QObject>
#include <QString>
#include <cstdint>
#include <functional>

#include "audio/SoundModuleErrors.h"

// The request to add a wave to a player.
struct TAudioInit {
  QString FileName;            // path of the WAVE file (Windows path over the drive map, or host)
  int32_t Channel = 0;         // buffer slot: 0..15 in the navigator, 0..7 in the explorer
  bool Notify = false;         // report the end of playback through OnAtitude
  bool Loop = false;           // play again whenever the end is reached
  bool FreeAfterPlay = false;  // remove and free the wave when its end is reached
};

// OnAtitude(Sender, Channel, ErrorCode): ErrorCode 0 when a wave reached its end, 1 when its
// playback failed.
using TAtitude = std::function<void(QObject* Sender, int32_t Channel, int32_t ErrorCode)>;

#include "audio/SoundModuleAudioData.h"  // IWYU pragma: export
#include "audio/SoundModulePlayer.h"     // IWYU pragma: export
