// The wave mixer with eight looping channels, on the virtual sound device, against a plain copy
// of the same bytes measured in the same run. Prints the real-time factor (seconds of sound
// mixed per second of CPU) and the ratio to the copy.
//   BM_MixBlocks: the steady state, one block played, its done event handled and a block
//                 mixed and written, the device's conversion into the stream included.
//   BM_Remix:     a high-priority sound that remixes all twelve queued blocks.

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "audio/WaveMixEngine.h"
#include "audio/WaveMixSettings.h"
#include "platform/AudioSystem.h"
#include "platform/VirtualAudioOutput.h"

namespace {

constexpr double kBytesPerSecond = 44100;  // 22050 Hz stereo, 8 bits
constexpr size_t kBlock = 8192;

QByteArray WaveFile(const std::vector<uint8_t>& samples) {
  auto le = [](QByteArray& b, uint32_t v, int n) {
    for (int i = 0; i < n; ++i) b.append(char((v >> (8 * i)) & 0xFF));
  };
  QByteArray fmt, file("RIFF");
  le(fmt, 1, 2), le(fmt, 2, 2), le(fmt, 22050, 4), le(fmt, 44100, 4), le(fmt, 2, 2), le(fmt, 8, 2);
  le(file, uint32_t(4 + 8 + fmt.size() + 8 + samples.size()), 4);
  file += "WAVEfmt ";
  le(file, uint32_t(fmt.size()), 4);
  file += fmt;
  file += "data";
  le(file, uint32_t(samples.size()), 4);
  file.append(reinterpret_cast<const char*>(samples.data()), qsizetype(samples.size()));
  return file;
}

// A session with eight looping channels, mixing into queued blocks.
struct Scene {
  platform::VirtualAudioSystem sys;
  TMixSession* session = nullptr;
  std::vector<TMixWave*> waves;

  Scene() {
    sys.SetCapture(false);
    platform::SetAudioSystem(&sys);
    SetWaveMixIniPath(QStringLiteral("/nonexistent/WAVEMIX.INI"));
    MixSetVariant(TMixVariant::Navigator);
    TMixConfig config;
    config.Flags = cfChannels | cfSamplingRate;
    config.Channels = 2;
    config.SamplingRate = 22;
    session = WaveMixConfigureInit(&config);
    MixOpenChannel(session, 0, kMixOpenAll);
    MixActivate(session, true);
    for (int ch = 0; ch < kMixChannels; ++ch) {
      std::vector<uint8_t> samples(size_t(9000 + 1237 * ch));
      for (size_t i = 0; i < samples.size(); ++i) samples[i] = uint8_t(128 + (i * (ch + 3)) % 31);
      const QByteArray bytes = WaveFile(samples);
      TMixWaveSource source;
      source.Kind = kMixSourceMemory;
      source.Memory = reinterpret_cast<const uint8_t*>(bytes.constData());
      source.MemorySize = bytes.size();
      waves.push_back(MixOpenWave(session, source));
      TMixPlayParams p;
      p.Session = session;
      p.Channel = ch;
      p.Wave = waves.back();
      p.Loops = kMixLoopForever;
      p.Flags = mpHighPriority;
      MixPlay(p);
    }
  }
  ~Scene() {
    MixCloseSession(session);
    QCoreApplication::processEvents();
    platform::SetAudioSystem(nullptr);
  }
};

void BM_PlainCopy(benchmark::State& state) {
  std::vector<uint8_t> from(kBlock, 77), to(kBlock);
  for (auto _ : state) {
    std::memcpy(to.data(), from.data(), kBlock);
    benchmark::DoNotOptimize(to.data());
    benchmark::ClobberMemory();
  }
  state.counters["rtf"] = benchmark::Counter(double(kBlock) / kBytesPerSecond,
                                             benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_PlainCopy);

void BM_MixBlocks(benchmark::State& state) {
  Scene scene;
  for (auto _ : state) {
    scene.sys.PullBytes(kBlock * 2);  // one block of the session is two stream bytes a byte
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
  }
  if (MixQueuedBlocks() < 11) state.SkipWithError("the mixer fell behind");
  state.counters["rtf"] = benchmark::Counter(double(kBlock) / kBytesPerSecond,
                                             benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_MixBlocks);

void BM_Remix(benchmark::State& state) {
  Scene scene;
  TMixPlayParams p;
  p.Session = scene.session;
  p.Channel = 7;
  p.Wave = scene.waves[7];
  p.Loops = kMixLoopForever;
  p.Flags = mpClearQueue | mpHighPriority;
  for (auto _ : state) MixPlay(p);
  state.counters["rtf"] = benchmark::Counter(12 * double(kBlock) / kBytesPerSecond,
                                             benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_Remix);

class RatioReporter : public benchmark::ConsoleReporter {
 public:
  std::map<std::string, double> CpuTimes;
  std::map<std::string, double> Rtf;
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      if (run.run_type != Run::RT_Iteration || run.iterations == 0) continue;
      CpuTimes[run.benchmark_name()] = run.GetAdjustedCPUTime();
      if (auto it = run.counters.find("rtf"); it != run.counters.end()) {
        Rtf[run.benchmark_name()] = it->second.value;
      }
    }
    ConsoleReporter::ReportRuns(runs);
  }
};

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  const auto copy = reporter.CpuTimes.find("BM_PlainCopy");
  for (const char* name : {"BM_MixBlocks", "BM_Remix"}) {
    const auto it = reporter.CpuTimes.find(name);
    if (it == reporter.CpuTimes.end() || copy == reporter.CpuTimes.end()) continue;
    const double perBlock = std::string(name) == "BM_Remix" ? it->second / 12 : it->second;
    std::printf("%s: real-time factor %.0f, CPU time per block / plain copy of the block = %.1f\n",
                name, reporter.Rtf[name], perBlock / copy->second);
  }
  benchmark::Shutdown();
  return 0;
}
