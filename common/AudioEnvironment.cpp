#include "common/AudioEnvironment.h"

#include "platform/AudioSystem.h"
#include "platform/WaveOut.h"

void MeasureAudioEnvironment(Environment& env) {
  env.SoundAvailable = true;
  env.VolumeControlAvailable = true;
  if (platform::WaveOutDeviceCount() == 0) {
    env.SoundAvailable = false;
    env.VolumeControlAvailable = false;
  } else {
    platform::WaveOutCaps caps;
    if (platform::WaveOutGetCaps(0, &caps) == platform::kMmNoError) {
      if (caps.Support & platform::kWaveCapsSync) env.SoundAvailable = false;
      if (!(caps.Support & platform::kWaveCapsVolume)) env.VolumeControlAvailable = false;
    }
  }
  env.MidiAvailable = platform::Audio().MidiOutDeviceCount() != 0;
}

bool ProbeWaveDevice() {
  platform::PcmWaveFormat format;
  format.Channels = 2;
  format.SamplesPerSec = 22050;
  format.AvgBytesPerSec = 44100;
  format.BlockAlign = 2;
  format.BitsPerSample = 8;
  std::unique_ptr<platform::WaveOut> device;
  if (platform::WaveOut::Open(0, format, nullptr, &device) != platform::kMmNoError) return false;
  device->Close();
  return true;
}
