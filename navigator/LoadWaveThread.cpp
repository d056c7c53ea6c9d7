#include "navigator/LoadWaveThread.h"

#include <exception>

#include "audio/WaveMix.h"

TLoadWaveThread::TLoadWaveThread(TWaveMix* mixer, QString hostFile, int track)
    : mixer_(mixer), file_(std::move(hostFile)), track_(track) {}

TLoadWaveThread::~TLoadWaveThread() {
  wait();
}

void TLoadWaveThread::run() {
  for (int attempt = 0; attempt < 2 && !wave_; ++attempt) {
    try {
      wave_ = mixer_->OpenWave(file_);
    } catch (const std::exception&) {
      // Counts as an attempt; the owner hears of the failure as a missing wave.
      wave_ = nullptr;
    }
  }
}
