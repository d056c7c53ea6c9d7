#include <QEventLoop>
#include <QTimer>
#include <algorithm>
#include <set>

#include "WaveMixTestSupport.h"
#include "platform/AudioOutputSdl.h"

using namespace mixtest;

// The remix scene of the engine tests, played through SDL's disk driver: the file holds the
// stream as the sound card would have received it.
TEST(WaveMixSdl, DiskDriverWritesTheMixedStream) {
  QTemporaryDir dir;
  const QString file = dir.filePath("stream.raw");
  qputenv("SDL_AUDIODRIVER", "disk");
  qputenv("SDL_DISKAUDIOFILE", file.toLocal8Bit());
  qputenv("SDL_DISKAUDIODELAY", "0");
  SetWaveMixIniPath(dir.filePath("WAVEMIX.INI"));
  MixSetVariant(TMixVariant::Navigator);

  std::vector<uint8_t> a, b, c;
  for (int i = 0; i < 3000; ++i) a.push_back(uint8_t(130 + i % 70));
  for (int i = 0; i < 5000; ++i) b.push_back(uint8_t(20 + i % 21));
  for (int i = 0; i < 1000; ++i) c.push_back(uint8_t(140 + i % 21));
  uint32_t startA = 0, startB = 0, startC = 0;
  {
    platform::SdlAudioSystem sdl;
    if (sdl.OutputDeviceCount() != 1 || sdl.DriverName() != QLatin1String("disk")) {
      GTEST_SKIP() << "SDL's audio was started with another driver in this process";
    }
    platform::SetAudioSystem(&sdl);
    TMixConfig config;
    config.Flags = cfChannels | cfSamplingRate;
    config.Channels = 2;
    config.SamplingRate = 22;
    {
      TWaveMix mix(config);
      mix.SetChannels(255);
      mix.SetActivated(true);
      auto load = [&](const std::vector<uint8_t>& samples) {
        const QByteArray bytes = WaveFile(samples);
        TMixWaveSource source;
        source.Kind = kMixSourceMemory;
        source.Memory = reinterpret_cast<const uint8_t*>(bytes.constData());
        source.MemorySize = bytes.size();
        return MixOpenWave(mix.Session(), source);
      };
      TMixWave* wa = load(a);
      TMixWave* wb = load(b);
      TMixWave* wc = load(c);
      QEventLoop loop;
      std::set<int> finished;
      TWaveMix::SetWaveNotify([&](int32_t, int32_t channel) {
        finished.insert(channel);
        if (finished.size() == 3) loop.quit();
      });
      mix.Play(0, wa, 0, 0);
      startA = mix.Session()->Queues[0]->Start;
      mix.Play(1, wb, 0, 0);
      startB = mix.Session()->Queues[1]->Start;
      mix.Play(2, wc, 0, mpHighPriority);
      startC = mix.Session()->Queues[2]->Start;
      QTimer::singleShot(20000, &loop, &QEventLoop::quit);  // a guard, not a wait
      loop.exec();
      EXPECT_EQ(finished.size(), 3u);
      TWaveMix::SetWaveNotify({});
    }
    platform::SetAudioSystem(nullptr);
  }
  SetWaveMixIniPath({});

  // The timeline the mixer was asked for; where the card ran dry, the stream has silence in
  // between, so both are compared without their silence.
  const uint32_t end = std::max({startA + 3000, startB + 5000, startC + 1000});
  std::vector<uint8_t> expected;
  for (uint32_t t = 0; t < end; ++t) {
    int v = 128;
    if (t >= startA && t < startA + 3000) v += a[t - startA] - 128;
    if (t >= startB && t < startB + 5000) v += b[t - startB] - 128;
    if (t >= startC && t < startC + 1000) v += c[t - startC] - 128;
    if (v != 128) expected.push_back(uint8_t(std::clamp(v, 0, 255)));
  }
  QFile f(file);
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  const QByteArray raw = f.readAll();
  std::vector<uint8_t> got;
  for (qsizetype i = 0; i + 1 < raw.size(); i += 2) {
    ASSERT_EQ(raw[i], 0);
    const uint8_t v = uint8_t(uint8_t(raw[i + 1]) + 128);
    if (v != 128) got.push_back(v);
  }
  ASSERT_EQ(got.size(), expected.size());
  EXPECT_TRUE(got == expected);
}
