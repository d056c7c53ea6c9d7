#include <gtest/gtest.h>

#include "navigator/Rounding.h"
#include "navigator/Volume.h"

namespace {

TEST(VolumeLevel, ConversionsToTheBackEnds) {
  EXPECT_EQ(ClampVolumeLevel(250), 99);
  EXPECT_EQ(ClampVolumeLevel(-5), 0);
  EXPECT_EQ(DirectSoundVolumeCentibels(99), 0);
  EXPECT_EQ(DirectSoundVolumeCentibels(0), -10000);
  EXPECT_EQ(DirectSoundVolumeCentibels(50), 5051 - 10000);  // 5050.505 -> 5051
  EXPECT_EQ(WaveOutVolume(99), 65535);
  EXPECT_EQ(WaveOutVolume(98), 64876);
  EXPECT_EQ(WaveOutVolume(0), 0);
  EXPECT_EQ(LevelFromWaveOutVolume(65535), 98);
  EXPECT_EQ(LevelFromWaveOutVolume(661), 0);
  EXPECT_EQ(LevelFromWaveOutVolume(662), 1);
  // A device given back is read with rounding: full scale is the top level again.
  EXPECT_EQ(LevelFromWaveOutVolumeRounded(65535), 99);
  EXPECT_EQ(LevelFromWaveOutVolumeRounded(332), 1);
  EXPECT_EQ(LevelFromWaveOutVolumeRounded(330), 0);
}

TEST(Rounding, HalvesGoToEven) {
  EXPECT_EQ(RoundHalfEven(0.5), 0);
  EXPECT_EQ(RoundHalfEven(1.5), 2);
  EXPECT_EQ(RoundHalfEven(2.5), 2);
  EXPECT_EQ(RoundHalfEven(-1.5), -2);
  EXPECT_EQ(RoundHalfEven(-2.5), -2);
  EXPECT_EQ(RoundHalfEven(2.4999), 2);
  EXPECT_EQ(RoundHalfEven(584.8), 585);
}

// Runs a held button for totalMs in frames of frameMs; returns the steps taken meanwhile.
int Hold(VolumeRamp& ramp, uint32_t totalMs, uint32_t frameMs) {
  int level = 0;
  for (uint32_t t = 0; t < totalMs; t += frameMs) level += ramp.Step(frameMs);
  return level;
}

TEST(VolumeRamp, ShortClickMovesOneStep) {
  VolumeRamp ramp;
  ramp.Press(VolumeRamp::Direction::Up);
  EXPECT_EQ(Hold(ramp, 340, 10), 0);
  EXPECT_EQ(ramp.Release(), 1);
  EXPECT_FALSE(ramp.Active());
  ramp.Press(VolumeRamp::Direction::Down);
  EXPECT_EQ(ramp.Release(), -1);
}

TEST(VolumeRamp, HoldingRepeatsAfter350ThenEvery60) {
  VolumeRamp ramp;
  ramp.Press(VolumeRamp::Direction::Up);
  EXPECT_EQ(Hold(ramp, 349, 1), 0);
  EXPECT_EQ(ramp.Step(1), 1);  // 350 ms
  EXPECT_EQ(ramp.PeriodMs(), 60u);
  EXPECT_EQ(Hold(ramp, 59, 1), 0);
  EXPECT_EQ(ramp.Step(1), 1);  // 410 ms
  EXPECT_EQ(Hold(ramp, 600, 1), 10);
  EXPECT_EQ(ramp.Release(), 1);
}

TEST(VolumeRamp, StalledFrameMovesOnlyOneStepAndLeavingStopsQuietly) {
  VolumeRamp ramp;
  ramp.Press(VolumeRamp::Direction::Down);
  EXPECT_EQ(ramp.Step(5000), -1);
  // The 100 ms left over from the stalled frame cover one 60 ms period, and no more.
  EXPECT_EQ(ramp.Step(0), -1);
  EXPECT_EQ(ramp.Step(0), 0);
  ramp.Leave();
  EXPECT_FALSE(ramp.Active());
  EXPECT_EQ(ramp.Step(1000), 0);
  EXPECT_EQ(ramp.Release(), 0);
}

}  // namespace
