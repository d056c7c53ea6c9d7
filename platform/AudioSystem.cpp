#include "platform/AudioSystem.h"

#include "platform/AudioOutputSdl.h"

namespace platform {
namespace {
AudioSystem* gOverride = nullptr;

int VolumeSlot(int device) {
  return device < 0 ? 0 : device;
}
}  // namespace

uint32_t AudioSystem::WaveVolume(int device) const {
  const int slot = VolumeSlot(device);
  if (slot >= kVolumeSlots) return 0xFFFFFFFFu;
  return volumes_[static_cast<size_t>(slot)].load(std::memory_order_relaxed);
}

void AudioSystem::SetWaveVolume(int device, uint32_t volume) {
  const int slot = VolumeSlot(device);
  if (slot >= kVolumeSlots) return;
  volumes_[static_cast<size_t>(slot)].store(volume, std::memory_order_relaxed);
}

AudioSystem& Audio() {
  if (gOverride) return *gOverride;
  static SdlAudioSystem sdl;
  return sdl;
}

void SetAudioSystem(AudioSystem* system) {
  gOverride = system;
}

}  // namespace platform
