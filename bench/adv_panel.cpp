// CPU used by the advertisement panel playing the sample disc's advertisements in a real event
// loop for three seconds: the frame loop sleeping until each frame's time, against the same
// panel stepped by a loop that never sleeps (what an idle step run continually costs). The
// manual time of each benchmark is the process's CPU time over the run.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QTimer>
#include <cstdio>
#include <ctime>

#include "RatioReporter.h"
#include "common/Environment.h"
#include "navigator/AdvPanel.h"
#include "navigator/FrameLoop.h"
#include "platform/Drives.h"

namespace {

constexpr int kRunMs = 3000;

double CpuSeconds() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

// Plays for kRunMs of real time; returns the CPU seconds used and the frames drawn.
std::pair<double, int> Play(bool sleeping) {
  platform::Drives().Map('D', QString(QX_SAMPLE_DISC), platform::DriveType::CdRom);
  const platform::Bitmap background = platform::Bitmap::Blank(800, 600);
  QImage maskImage(384, 80, QImage::Format_RGB32);
  maskImage.fill(Qt::white);
  const platform::Bitmap mask(maskImage);
  AdvPanel panel;
  AdvPanel::Skin skin;
  skin.SkinDir = "D:\\QUARX\\Resour\\G8\\AnyPal\\";
  skin.Mask = &mask;
  skin.Background = &background;
  skin.AdvRect = QRect(150, 509, 384, 80);
  panel.SetSkin(skin);
  QImage shown;
  panel.OnDraw = [&shown](const QImage& image) { shown = image; };
  FrameLoop loop([&](uint32_t elapsed) {
    panel.StepAdvPanel(int(elapsed));
    return sleeping ? panel.MsUntilNextFrame() : 0;
  });
  panel.SetActive(true);
  const double start = CpuSeconds();
  loop.SetRunning(true);
  QTimer::singleShot(kRunMs, qApp, &QCoreApplication::quit);
  QApplication::exec();
  loop.SetRunning(false);
  return {CpuSeconds() - start, panel.FramesDrawn};
}

void Report(benchmark::State& state, bool sleeping) {
  for (auto _ : state) {
    const auto [cpu, frames] = Play(sleeping);
    state.SetIterationTime(cpu);
    state.counters["cpu_percent"] = 100.0 * cpu / (kRunMs / 1000.0);
    state.counters["frames"] = frames;
  }
}

void BM_AdvPanelSleeping(benchmark::State& state) { Report(state, true); }
void BM_AdvPanelNeverSleeping(benchmark::State& state) { Report(state, false); }

BENCHMARK(BM_AdvPanelSleeping)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AdvPanelNeverSleeping)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  return RunBenchmarksWithRatios(argc, argv,
                                 {{"BM_AdvPanelSleeping/iterations:1/manual_time",
                                   "BM_AdvPanelNeverSleeping/iterations:1/manual_time"}},
                                 0.1);
}
