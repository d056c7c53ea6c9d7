#pragma once

// TWaveMix: one mixing session for the programs' windows. Creating it starts the session;
// Activated opens and closes the device; Channels opens and closes channels by bit; Play,
// OpenWave, FreeWave and FlushChannel reach the engine; WaveNotify is called once per channel
// whose sound finished, on the main thread. Errors raise EWaveMixError.

#include <QObject>
#include <functional>

#include "audio/WaveMixEngine.h"

// (IntSender, Channel)
using TWaveNotify = std::function<void(int32_t, int32_t)>;

class TWaveMix : public QObject {
 public:
  // WaveMixInit; "Initialization failed (WaveMixInit)" when no session comes of it.
  explicit TWaveMix(QObject* owner = nullptr);
  // WaveMixConfigureInit; "Initialization failed (WaveMixConfigureInit)" on failure.
  TWaveMix(const TMixConfig& config, QObject* owner = nullptr);
  // Closes every channel, the device and the session.
  ~TWaveMix() override;

  bool Activated() const { return activated_; }
  void SetActivated(bool value);
  uint8_t Channels() const { return channels_; }
  void SetChannels(uint8_t mask);

  TMixWave* OpenWave(const QString& fileName);
  void FreeWave(TMixWave* wave);
  void FlushChannel(int channel, bool noRemix);
  void Play(int channel, TMixWave* wave, uint16_t loops, uint32_t flags, QObject* window = nullptr);
  // Set: writes left to the low and right to the high 16 bits of the device volume; get:
  // reads them back.
  void Volume(uint16_t& left, uint16_t& right, bool set);

  // One handler for the whole process.
  static void SetWaveNotify(TWaveNotify handler);
  static TWaveNotify GetWaveNotify();

  TMixSession* Session() const { return session_; }
  const TMixPlayParams& PlayParams() const { return params_; }

 private:
  TMixPlayParams params_;
  TMixSession* session_ = nullptr;
  bool activated_ = false;
  uint8_t channels_ = 0;
};
