#include "navigator/LoadWaveThread.h"

#include <exception>

#include "audio/WaveMix.h"

TLoadWaveThread::TLoadWaveThread(TWaveMix* mixer, QString hostFile, int track)
    : mixer_(mixer), file_(std::move(hostFile)), track_(track) {}

TLoadWaveThread::~TLoadWaveThread() {
  wait();
  // Pairs with run's last store: everything the thread wrote is this thread's from here on.
  (void)wave_.load(std::memory_order_acquire);
}

void TLoadWaveThread::run() {
  TMixWave* wave = nullptr;
  for (int attempt = 0; attempt < 2 && !wave; ++attempt) {
    try {
      wave = mixer_->OpenWave(file_);
    } catch (const std::exception&) {
      // Counts as an attempt; the owner hears of the failure as a missing wave.
      wave = nullptr;
    }
  }
  wave_.store(wave, std::memory_order_release);
}
