#pragma once

// The output stream over SDL2's audio subsystem, and the audio system that hands it out.
// This pair of files is the only place that includes SDL. SDL_AUDIODRIVER is honoured (so
// "dummy" and "disk" work on machines without sound); when no driver was asked for and the
// default one cannot start or finds no device, the dummy driver is used and the programs run
// silently. A device that the driver or the sound server refuses is an open failure.

#include <QObject>
#include <QString>
#include <atomic>
#include <memory>

#include "platform/AudioMixBus.h"
#include "platform/AudioOutput.h"
#include "platform/AudioSystem.h"

namespace platform {

class AudioOutputSdl final : public AudioOutput {
 public:
  // Opens SDL's default output device in format (SDL converts when the hardware differs).
  // Null on failure, with SDL's reason in error. The audio subsystem must be initialised.
  [[nodiscard]] static std::unique_ptr<AudioOutputSdl> Open(const AudioFormat& format,
                                                            QString* error);
  ~AudioOutputSdl() override;
  AudioOutputSdl(const AudioOutputSdl&) = delete;
  AudioOutputSdl& operator=(const AudioOutputSdl&) = delete;

  const AudioFormat& Format() const override { return format_; }
  void SetPaused(bool paused) override;
  uint64_t BytesRendered() const override { return rendered_.load(std::memory_order_relaxed); }
  int AddSource(AudioRender render) override { return bus_.Add(std::move(render)); }
  void RemoveSource(int sourceId) override { bus_.Remove(sourceId); }

 private:
  explicit AudioOutputSdl(const AudioFormat& format) : format_(format), bus_(format) {}
  static void Callback(void* user, uint8_t* stream, int len);

  AudioFormat format_;
  AudioMixBus bus_;
  uint32_t device_ = 0;
  std::atomic<uint64_t> rendered_{0};
};

class SdlAudioSystem final : public AudioSystem {
 public:
  SdlAudioSystem() = default;
  ~SdlAudioSystem() override;
  SdlAudioSystem(const SdlAudioSystem&) = delete;
  SdlAudioSystem& operator=(const SdlAudioSystem&) = delete;

  int OutputDeviceCount() override;
  AudioDeviceInfo OutputDevice(int index) override;
  int MidiOutDeviceCount() override { return 0; }
  std::shared_ptr<AudioOutput> AcquireOutput(QString* error) override;

  // Name of the SDL driver in use ("pulseaudio", "dummy", "disk"...), empty before the first
  // use or when none could start.
  QString DriverName() const { return driver_; }

 private:
  bool EnsureInit();
  bool SwitchToDummy();
  void Release();

  bool initTried_ = false;
  bool inited_ = false;
  bool driverChosen_ = false;  // SDL_AUDIODRIVER named one
  QString driver_;
  std::unique_ptr<AudioOutputSdl> stream_;
  int users_ = 0;
  // Closing waits for the event loop, so that a device closed and reopened in one go (as
  // the mixer does on every play) keeps the stream instead of reopening the hardware.
  std::unique_ptr<QObject> closer_;
};

}  // namespace platform
