// The sound finder of the end-to-end tour: it must find an effect under music louder than it,
// two effects started together, and tell a closed stream from a late one.

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <cmath>
#include <fstream>
#include <numbers>
#include <random>

#include "tools/earshot/Capture.h"
#include "tools/earshot/Correlate.h"

namespace {

constexpr int kRate = 22050;

std::vector<float> Sweep(double hz0, double hz1, double seconds, float level) {
  std::vector<float> out(size_t(seconds * kRate));
  for (size_t i = 0; i < out.size(); ++i) {
    const double t = double(i) / kRate;
    const double phase = 2 * std::numbers::pi * (hz0 * t + 0.5 * (hz1 - hz0) / seconds * t * t);
    out[i] = level * float(std::sin(phase) * std::exp(-t * 5));
  }
  return out;
}

// Chords and noise, louder than the effects put over them.
std::vector<float> Music(double seconds) {
  std::mt19937 random(1998);
  std::normal_distribution<float> noise(0, 0.05f);
  std::vector<float> out(size_t(seconds * kRate));
  for (size_t i = 0; i < out.size(); ++i) {
    const double t = double(i) / kRate;
    out[i] = 0.15f * float(std::sin(2 * std::numbers::pi * 440 * t) +
                           std::sin(2 * std::numbers::pi * 554.37 * t)) +
             noise(random);
  }
  return out;
}

void Put(std::vector<float>& signal, const std::vector<float>& sound, size_t at, float gain) {
  for (size_t i = 0; i < sound.size(); ++i) signal[at + i] += gain * sound[i];
}

TEST(Earshot, FindsEffectsUnderMusicIncludingTwoStartedTogether) {
  const std::vector<float> up = Sweep(300, 1200, 0.35, 0.5f);
  const std::vector<float> down = Sweep(1200, 300, 0.35, 0.5f);
  std::vector<float> signal = Music(6);
  Put(signal, up, 22050, 1.0f);
  Put(signal, up, 88200, 0.9f);
  // Started 24 ms apart, as an effect and the first frame of an animation.
  Put(signal, down, 88200 + 530, 1.0f);
  const std::vector<earshot::Named> templates{{"up", &up}, {"down", &down}};
  const std::vector<earshot::Found> found = earshot::FindAll(signal, templates, {0.3, 0.6, 1.6});
  ASSERT_EQ(found.size(), 3u);
  EXPECT_EQ(found[0].which, 0u);
  EXPECT_NEAR(double(found[0].match.start), 22050, 2);
  EXPECT_NEAR(found[0].match.gain, 1.0, 0.1);
  EXPECT_EQ(found[1].which, 0u);
  EXPECT_NEAR(double(found[1].match.start), 88200, 2);
  EXPECT_EQ(found[2].which, 1u);
  EXPECT_NEAR(double(found[2].match.start), 88200 + 530, 2);

  // Music alone holds neither, and silence scores nothing.
  EXPECT_TRUE(earshot::FindAll(Music(3), templates, {0.3, 0.6, 1.6}).empty());
  EXPECT_EQ(earshot::BestMatch(std::vector<float>(kRate), up).score, 0);
  // A template longer than the signal matches nowhere.
  EXPECT_TRUE(earshot::FindMatches(up, Music(1), {}).empty());
}

TEST(Earshot, OnlyAStreamStandingStillForLongBecomesSilence) {
  // 512-byte reads (128 frames, 5.8 ms) with one 2 s stop and one 150 ms lateness.
  std::vector<earshot::Arrival> arrivals;
  double ms = 0;
  uint64_t bytes = 0;
  for (int i = 0; i < 300; ++i) {
    ms += 1000.0 * 128 / kRate + (i == 100 ? 2000 : 0) + (i == 200 ? 150 : 0);
    bytes += 512;
    arrivals.push_back({ms, bytes});
  }
  const std::vector<earshot::Gap> gaps = earshot::FindGaps(arrivals, 4, kRate, 500);
  ASSERT_EQ(gaps.size(), 1u);
  EXPECT_EQ(gaps[0].atFrame, 100u * 128);
  EXPECT_NEAR(double(gaps[0].frames), 2.0 * kRate, 2);

  const std::vector<char> stream(size_t(bytes), 1);
  const std::vector<char> laid = earshot::LayOut(stream, gaps, 4);
  ASSERT_EQ(laid.size(), stream.size() + gaps[0].frames * 4);
  EXPECT_EQ(laid[100 * 128 * 4 - 1], 1);
  EXPECT_EQ(laid[100 * 128 * 4], 0);
  EXPECT_EQ(laid[(100 * 128 + gaps[0].frames) * 4 - 1], 0);
  EXPECT_EQ(laid[(100 * 128 + gaps[0].frames) * 4], 1);
}

TEST(Earshot, RawFilesAreReadAsWholeFramesAveraged) {
  QTemporaryDir dir;
  const std::string path = dir.filePath("stereo.raw").toStdString();
  {
    std::ofstream out(path, std::ios::binary);
    const char bytes[] = {0x00, 0x40, 0x00, 0x20, 0x00, char(0x80), 0x00, char(0x80), 0x7F};
    out.write(bytes, sizeof bytes);  // two frames and a stray byte
  }
  std::string error;
  const std::vector<float> mono = earshot::ReadRawMono(path, 2, &error);
  EXPECT_TRUE(error.empty());
  ASSERT_EQ(mono.size(), 2u);
  EXPECT_FLOAT_EQ(mono[0], 0.375f);
  EXPECT_FLOAT_EQ(mono[1], -1.0f);
  EXPECT_TRUE(earshot::ReadRawMono(dir.filePath("none.raw").toStdString(), 1, &error).empty());
  EXPECT_FALSE(error.empty());
}

}  // namespace
