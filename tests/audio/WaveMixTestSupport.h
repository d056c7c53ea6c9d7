#pragma once

// Helpers of the mixer tests: WAVE files built in memory, and a fixture that runs the mixer
// on the virtual sound device with its own settings file.

#include <gtest/gtest.h>

#include <QByteArray>
#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <optional>
#include <vector>

#include "audio/WaveMix.h"
#include "audio/WaveMixSettings.h"
#include "platform/AudioSystem.h"
#include "platform/Clock.h"
#include "platform/VirtualAudioOutput.h"

namespace mixtest {

inline void PutLe(QByteArray& b, uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) b.append(char((v >> (8 * i)) & 0xFF));
}

inline QByteArray Chunk(const char* id, const QByteArray& body,
                        std::optional<uint32_t> declaredSize = std::nullopt) {
  QByteArray c(id, 4);
  PutLe(c, declaredSize.value_or(uint32_t(body.size())), 4);
  c += body;
  if (body.size() & 1) c.append('\0');
  return c;
}

inline QByteArray FmtBody(uint16_t tag, uint16_t channels, uint32_t rate, uint16_t bits) {
  QByteArray f;
  PutLe(f, tag, 2);
  PutLe(f, channels, 2);
  PutLe(f, rate, 4);
  PutLe(f, rate * channels * bits / 8, 4);
  PutLe(f, channels * bits / 8, 2);
  PutLe(f, bits, 2);
  return f;
}

inline QByteArray Riff(const QByteArray& chunks) {
  return Chunk("RIFF", QByteArray("WAVE") + chunks);
}

inline QByteArray WaveFile(const std::vector<uint8_t>& samples, uint16_t channels = 2,
                           uint32_t rate = 22050, uint16_t bits = 8) {
  const QByteArray data(reinterpret_cast<const char*>(samples.data()), qsizetype(samples.size()));
  return Riff(Chunk("fmt ", FmtBody(1, channels, rate, bits)) + Chunk("data", data));
}

inline void Pump() {
  for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
}

class MixFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::SetAudioSystem(&sys);
    platform::SetDefaultClock(&sys.Clock());
    SetWaveMixIniPath(dir.filePath("WAVEMIX.INI"));
    MixSetVariant(TMixVariant::Navigator);
    MixSetNotifyHandler({});
  }
  void TearDown() override {
    if (TMixSession* s = MixCurrentSession()) {
      try {
        MixCloseSession(s);
      } catch (...) {
      }
    }
    Pump();
    MixSetNotifyHandler({});
    platform::SetAudioSystem(nullptr);
    platform::SetDefaultClock(nullptr);
    SetWaveMixIniPath({});
  }

  void WriteIni(const QByteArray& text) {
    QFile f(dir.filePath("WAVEMIX.INI"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(text);
  }

  // A session in 22050 Hz stereo: its bytes reach the virtual stream unchanged in value.
  TMixSession* StartStereo() {
    TMixConfig config;
    config.Flags = cfChannels | cfSamplingRate;
    config.Channels = 2;
    config.SamplingRate = 22;
    return WaveMixConfigureInit(&config);
  }

  TMixWave* Load(TMixSession* s, const QByteArray& file) {
    TMixWaveSource source;
    source.Kind = kMixSourceMemory;
    source.Memory = reinterpret_cast<const uint8_t*>(file.constData());
    source.MemorySize = file.size();
    return MixOpenWave(s, source);
  }

  TMixWave* LoadSamples(TMixSession* s, const std::vector<uint8_t>& samples) {
    return Load(s, WaveFile(samples));
  }

  void Play(TMixSession* s, int channel, TMixWave* wave, uint16_t loops = 0, uint32_t flags = 0) {
    TMixPlayParams p;
    p.Session = s;
    p.Channel = channel;
    p.Wave = wave;
    p.Loops = loops;
    p.Flags = flags;
    MixPlay(p);
  }

  // The stream's bytes taken back to the mixer's 8-bit samples (the stream is 16-bit stereo
  // and the session 8-bit stereo, so every mixer byte is one stream sample).
  std::vector<uint8_t> Output8() {
    const QByteArray out = sys.TakeOutput();
    std::vector<uint8_t> bytes;
    for (qsizetype i = 0; i + 1 < out.size(); i += 2) {
      EXPECT_EQ(out[i], 0) << "low byte of a sample made from 8 bits";
      bytes.push_back(uint8_t(uint8_t(out[i + 1]) + 128));
    }
    return bytes;
  }

  // Renders deviceBytes of the session's stereo 8-bit stream and delivers the notifications.
  // In steps of 1024 bytes, as a sound card takes them, so that refills keep up.
  void Play8(size_t deviceBytes) {
    for (size_t done = 0; done < deviceBytes;) {
      const size_t n = std::min<size_t>(1024, deviceBytes - done);
      sys.PullBytes(n * 2);
      Pump();
      done += n;
    }
  }

  QTemporaryDir dir;
  platform::VirtualAudioSystem sys;
};

// Exceptions of the mixer with their text.
#define EXPECT_MIX_ERROR(statement, text)                      \
  do {                                                         \
    try {                                                      \
      statement;                                               \
      ADD_FAILURE() << "no error raised, expected: " << text;  \
    } catch (const EWaveMixError& e) {                         \
      EXPECT_EQ(e.Message().toStdString(), std::string(text)); \
    }                                                          \
  } while (0)

}  // namespace mixtest
