#pragma once

// The process's sound hardware as the device models see it: the output devices with their
// capabilities, the one output stream they share, the MIDI-out device count and the wave-out
// volume. SDL's audio subsystem by default; tests install a VirtualAudioSystem.

#include <QString>
#include <array>
#include <atomic>
#include <cstdint>
#include <memory>

#include "platform/AudioOutput.h"

namespace platform {

// What a wave-out device says of itself.
struct AudioDeviceInfo {
  QString Name;              // product name, at most 31 characters
  int Channels = 2;          // 1 or 2
  bool Synchronous = false;  // blocks the caller while it plays (refused by the mixer)
  bool VolumeControl = true;
  bool LRVolume = true;  // separate left and right volume
};

class AudioSystem {
 public:
  virtual ~AudioSystem() = default;

  // Wave-out devices. Every one of them plays through the process's one stream.
  virtual int OutputDeviceCount() = 0;
  // Info of a device 0..count-1; a default record for other numbers.
  virtual AudioDeviceInfo OutputDevice(int index) = 0;
  virtual int MidiOutDeviceCount() = 0;

  // The process's output stream in StreamFormat(): opens it, or shares it when it is open.
  // Null when the device cannot be had (held by another program, refused by the sound server);
  // error then says why. The stream stays open while any returned pointer lives. Main thread.
  [[nodiscard]] virtual std::shared_ptr<AudioOutput> AcquireOutput(QString* error) = 0;

  virtual AudioFormat StreamFormat() const { return AudioFormat{}; }

  // Wave-out volume per device, left in the low and right in the high 16 bits; persists
  // across opening and closing like the hardware setting it stands for.
  uint32_t WaveVolume(int device) const;
  void SetWaveVolume(int device, uint32_t volume);

 private:
  static constexpr int kVolumeSlots = 8;
  std::array<std::atomic<uint32_t>, kVolumeSlots> volumes_{0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu,
                                                           0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu,
                                                           0xFFFFFFFFu, 0xFFFFFFFFu};
};

// The process's audio system: SDL unless a test installed another.
AudioSystem& Audio();
// Installs system as the process's audio system (nullptr restores SDL). The caller keeps
// ownership. Main thread, with no device open.
void SetAudioSystem(AudioSystem* system);

}  // namespace platform
