#pragma once

// A sound device for tests: nothing plays in real time. The test advances the virtual clock;
// the stream renders exactly the sound of that span on the calling thread and keeps the bytes
// for the test to read. The device can be marked as held by another program, which makes
// every attempt to open it fail as a busy device does.

#include <QByteArray>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/AudioMixBus.h"
#include "platform/AudioOutput.h"
#include "platform/AudioSystem.h"
#include "platform/Clock.h"

namespace platform {

class VirtualAudioOutput final : public AudioOutput {
 public:
  explicit VirtualAudioOutput(const AudioFormat& format) : format_(format), bus_(format) {}

  const AudioFormat& Format() const override { return format_; }
  void SetPaused(bool paused) override { paused_ = paused; }
  uint64_t BytesRendered() const override { return rendered_; }
  int AddSource(AudioRender render) override { return bus_.Add(std::move(render)); }
  void RemoveSource(int sourceId) override { bus_.Remove(sourceId); }

  bool Paused() const { return paused_; }
  // Renders bytes (whole frames) and appends them to out; nothing when paused.
  void Pull(size_t bytes, QByteArray* out);

 private:
  AudioFormat format_;
  AudioMixBus bus_;
  bool paused_ = false;
  uint64_t rendered_ = 0;
  std::vector<uint8_t> scratch_;
};

class VirtualAudioSystem final : public AudioSystem {
 public:
  explicit VirtualAudioSystem(const AudioFormat& streamFormat = AudioFormat{});

  int OutputDeviceCount() override { return static_cast<int>(devices_.size()); }
  AudioDeviceInfo OutputDevice(int index) override;
  int MidiOutDeviceCount() override { return midiOutCount_; }
  std::shared_ptr<AudioOutput> AcquireOutput(QString* error) override;
  AudioFormat StreamFormat() const override { return format_; }

  // Test controls.
  void SetDevices(std::vector<AudioDeviceInfo> devices) { devices_ = std::move(devices); }
  void SetMidiOutCount(int count) { midiOutCount_ = count; }
  // Another program holds the device: opening fails until this is cleared. An output already
  // open stays open.
  void SetHeld(bool held) { held_ = held; }
  bool Held() const { return held_; }
  // Whether to keep the rendered bytes (benchmarks turn this off).
  void SetCapture(bool capture) { capture_ = capture; }

  // The open stream, or null.
  VirtualAudioOutput* Output() const { return output_.lock().get(); }
  int OpenCount() const { return openCount_; }
  // Moves the clock on by deltaMs and renders that span of sound (frames counted exactly, so
  // many small steps give the same bytes as one large one).
  void AdvanceMs(uint32_t deltaMs);
  // Renders exactly bytes (whole frames) without moving the clock.
  void PullBytes(size_t bytes);
  // Everything rendered since the last call.
  QByteArray TakeOutput();
  ManualClock& Clock() { return clock_; }

 private:
  AudioFormat format_;
  std::vector<AudioDeviceInfo> devices_;
  int midiOutCount_ = 0;
  bool held_ = false;
  bool capture_ = true;
  int openCount_ = 0;
  std::weak_ptr<VirtualAudioOutput> output_;
  ManualClock clock_;
  uint64_t elapsedMs_ = 0;
  uint64_t framesDone_ = 0;
  QByteArray captured_;
};

}  // namespace platform
