#pragma once

// The mixer both programs fall back to when the buffer player cannot start: stereo at 22 kHz,
// every channel open. Not yet activated: the caller probes the device first.

#include <memory>

#include "audio/WaveMix.h"

inline std::unique_ptr<TWaveMix> OpenStereoMixer(QObject* owner) {
  TMixConfig config;
  config.Size = 10;
  config.Flags = cfChannels | cfSamplingRate;
  config.Channels = 2;
  config.SamplingRate = 22;
  auto mixer = std::make_unique<TWaveMix>(config, owner);
  mixer->SetChannels(0xFF);
  return mixer;
}
