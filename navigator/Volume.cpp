#include "navigator/Volume.h"

#include "navigator/Rounding.h"

int ClampVolumeLevel(int level) {
  if (level < 0) return 0;
  if (level > kVolumeMax) return kVolumeMax;
  return level;
}

int DirectSoundVolumeCentibels(int level) {
  return RoundHalfEven(ClampVolumeLevel(level) * 10000.0 / 99.0) - 10000;
}

uint16_t WaveOutVolume(int level) {
  const long v = static_cast<long>(level) * 662;
  if (v < 0) return 0;
  if (v > 65535) return 65535;
  return static_cast<uint16_t>(v);
}

int LevelFromWaveOutVolume(uint16_t left) {
  // The factor is 1/662 as a double; truncation toward zero keeps full scale at 98.
  return static_cast<int>(left * 0.0015105740181268882);
}

int LevelFromWaveOutVolumeRounded(uint16_t left) {
  return RoundHalfEven(left * 0.0015105740181268882);
}

int VolumeRamp::Sign() const {
  switch (direction_) {
    case Direction::Up:
      return 1;
    case Direction::Down:
      return -1;
    case Direction::None:
      break;
  }
  return 0;
}

void VolumeRamp::Press(Direction direction) {
  direction_ = direction;
  periodMs_ = kFirstPeriodMs;
  accumulatorMs_ = 0;
  pending_ = 0;
}

int VolumeRamp::Step(uint32_t elapsedMs) {
  if (direction_ == Direction::None) return 0;
  const uint32_t sum = elapsedMs % periodMs_ + accumulatorMs_;
  accumulatorMs_ = sum % periodMs_;
  pending_ += elapsedMs / periodMs_ + sum / periodMs_;
  if (pending_ == 0) return 0;
  // However many periods passed, the level moves by one: a stalled frame never jumps it.
  pending_ = 0;
  periodMs_ = kRepeatPeriodMs;
  return Sign();
}

int VolumeRamp::Release() {
  const int step = Sign();
  direction_ = Direction::None;
  accumulatorMs_ = 0;
  return step;
}
