#pragma once

// The navigator's master volume level (0..99) and the ramp of the two volume buttons.

#include <cstdint>

constexpr int kVolumeMax = 99;
constexpr int kVolumeUnset = -1;  // only between reading the settings and the sound start-up

// Negative levels become 0, levels of 100 and more become 99.
int ClampVolumeLevel(int level);

// The level as the buffer player's master volume in hundredths of a decibel: 99 gives 0 (full),
// 0 gives -10000.
int DirectSoundVolumeCentibels(int level);

// The level as the wave-out volume of each channel: trunc(level x 662) limited to 0..65535.
uint16_t WaveOutVolume(int level);

// The level a first run takes from the wave device's left-channel volume (0..65535): the volume
// divided by 662 without its fraction, so full scale gives 98.
int LevelFromWaveOutVolume(uint16_t left);
// The level taken again when a blocked device comes back: the same quotient rounded to the
// nearest level (ties to even), so full scale gives 99.
int LevelFromWaveOutVolumeRounded(uint16_t left);

// Holding a volume button: one step at once, the next after 350 ms, then every 60 ms; a short
// click therefore moves the level by exactly one (the release adds the step).
class VolumeRamp {
 public:
  enum class Direction { None, Up, Down };
  static constexpr uint32_t kFirstPeriodMs = 350;
  static constexpr uint32_t kRepeatPeriodMs = 60;

  void Press(Direction direction);
  // Called by the frame loop while a button is held. Returns the signed step (+1, -1) to apply
  // to the level, or 0 when no period has passed.
  int Step(uint32_t elapsedMs);
  // The button goes up: the ramp ends with one more step in its direction (returned).
  int Release();
  // The pointer leaves the button: the ramp ends without a further step.
  void Leave() { direction_ = Direction::None; }
  // Forgets the accumulated time (the level was applied from outside).
  void ClearAccumulator() { accumulatorMs_ = 0; }

  bool Active() const { return direction_ != Direction::None; }
  Direction CurrentDirection() const { return direction_; }
  uint32_t PeriodMs() const { return periodMs_; }
  // Milliseconds until the next repeat is due while held.
  uint32_t MsUntilNextStep() const {
    return accumulatorMs_ >= periodMs_ ? 0 : periodMs_ - accumulatorMs_;
  }

 private:
  int Sign() const;
  Direction direction_ = Direction::None;
  uint32_t periodMs_ = kFirstPeriodMs;
  uint32_t accumulatorMs_ = 0;
  uint32_t pending_ = 0;
};
