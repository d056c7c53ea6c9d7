#pragma once

// The exception classes of the DirectSound player and its waves.

#include "common/Exceptions.h"

// The toolkit's "invalid operation" (a component given the wrong kind of owner).
class EInvalidOperation : public Exception {
 public:
  using Exception::Exception;
};

// A wave that cannot be built or played.
class EAudioData : public Exception {
 public:
  using Exception::Exception;
};

// The file is not a WAVE file ("Wave (%s) inválida.").
class EInvalidWave : public EAudioData {
 public:
  using EAudioData::EAudioData;
};

// The WAVE file is not PCM ("A wave possui um formato(%d) diferente do PCM.").
class EInvPCM : public EAudioData {
 public:
  using EAudioData::EAudioData;
};

// The navigator's player cannot reach the sound device.
class EMyDxSound : public Exception {
 public:
  using Exception::Exception;
};

// The explorer's player cannot reach the sound device.
class EDXSound : public Exception {
 public:
  using Exception::Exception;
};
