// How long the navigator takes from process start to its first complete frame on the sample
// disc, against a minimal Qt program that shows one window; and how much CPU an idle main
// window uses. Each measurement runs in a child process (this program, started again with a
// role), on the offscreen platform, with a settings store of its own.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>
#include <QWindow>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <vector>

#include "common/Environment.h"
#include "controls/TotalPaintBox.h"
#include "bench/FirstFrame.h"
#include "navigator/uMain.h"
#include "platform/Allocator.h"
#include "platform/Dialogs.h"
#include "platform/Drives.h"

namespace {

const char* gSelf = nullptr;

int RunMinimal(int argc, char** argv) {
  QApplication app(argc, argv);
  QWidget window;
  window.resize(800, 600);
  window.show();
  bench::FirstFrame watch;
  watch.Watch(&window, &window);
  return app.exec();
}

std::unique_ptr<TfmMain> StartNavigator() {
  const QString disc = QStringLiteral(QX_SAMPLE_DISC);
  platform::Drives() = platform::DriveMap::Default(disc);
  NavigatorOptions options;
  options.Environment.programDirHost = disc + QStringLiteral("/QUARX");
  options.Environment.screenWidth = 800;
  options.Environment.screenHeight = 600;
  options.Environment.colourDepth = 32;
  options.Windowed = true;
  return std::make_unique<TfmMain>(options);
}

int RunNavigator(int argc, char** argv, bool idle) {
  platform::TuneAllocatorForStartUp();  // as the navigator's main does
  QApplication app(argc, argv);
  platform::ScriptedDialogService dialogs;  // no box may wait for a click here
  platform::SetDialogs(&dialogs);
  bench::FirstFrame watch;
  std::unique_ptr<TfmMain> main;
  if (!idle) {
    // The first frame is the first repaint that draws pbMain, the window's whole picture.
    QTimer::singleShot(0, [&] {
      main = StartNavigator();
      if (main->pbMain()) watch.Watch(main.get(), main->pbMain());
    });
    return app.exec();
  }
  main = StartNavigator();
  // Let the start-up settle, then measure ten seconds of doing nothing.
  for (int i = 0; i < 50; ++i) app.processEvents();
  const std::clock_t start = std::clock();
  QElapsedTimer wall;
  wall.start();
  QTimer::singleShot(10000, &app, &QCoreApplication::quit);
  app.exec();
  const double cpuMs = 1000.0 * double(std::clock() - start) / CLOCKS_PER_SEC;
  std::printf("%.3f %.3f %llu\n", cpuMs, double(wall.elapsed()),
              static_cast<unsigned long long>(main->Frames().Runs()));
  return 0;
}

QProcessEnvironment ChildEnvironment(const QTemporaryDir& config) {
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
  env.insert(QStringLiteral("SDL_AUDIODRIVER"), QStringLiteral("dummy"));
  env.insert(QStringLiteral("XDG_CONFIG_HOME"), config.path());
  return env;
}

// A store that has seen this edition, so no greeting waits for a click.
void SeedSettings(const QTemporaryDir& config) {
  QSettings kvr(config.filePath(QStringLiteral("velOrbint/KVR.conf")), QSettings::IniFormat);
  kvr.setValue(QStringLiteral("KVRVer"), 9);
}

double TimeChild(const char* role, const QTemporaryDir& config) {
  return bench::MsUntilFirstFrame(QString::fromLocal8Bit(gSelf), {QString::fromLatin1(role)},
                                  ChildEnvironment(config));
}

// The two programs start in turn, so a burst of load elsewhere hits both alike; medians keep
// one slow start from deciding the figure.
void BM_StartToFirstFrame(benchmark::State& state) {
  QTemporaryDir config;
  SeedSettings(config);
  std::vector<double> minimal, navigator;
  for (auto _ : state) {
    const double m = TimeChild("--child-minimal", config);
    const double n = TimeChild("--child-navigator", config);
    minimal.push_back(m);
    navigator.push_back(n);
    state.SetIterationTime((m + n) / 1000.0);
  }
  const double m = bench::Median(minimal), n = bench::Median(navigator);
  state.counters["minimal_ms"] = m;
  state.counters["navigator_ms"] = n;
  state.counters["ratio"] = m > 0 ? n / m : 0;
}
BENCHMARK(BM_StartToFirstFrame)->UseManualTime()->Iterations(31)->Unit(benchmark::kMillisecond);

void BM_IdleCpuOver10s(benchmark::State& state) {
  QTemporaryDir config;
  SeedSettings(config);
  for (auto _ : state) {
    QProcess child;
    child.setProcessEnvironment(ChildEnvironment(config));
    child.start(QString::fromLocal8Bit(gSelf), {QStringLiteral("--child-idle")});
    child.waitForFinished(60000);
    double cpuMs = 0, wallMs = 0;
    unsigned long long frames = 0;
    std::sscanf(child.readAllStandardOutput().constData(), "%lf %lf %llu", &cpuMs, &wallMs,
                &frames);
    state.SetIterationTime(wallMs / 1000.0);
    state.counters["cpu_ms"] = cpuMs;
    state.counters["cpu_percent_of_core"] = wallMs > 0 ? 100.0 * cpuMs / wallMs : 0;
    state.counters["frame_runs"] = double(frames);
  }
}
BENCHMARK(BM_IdleCpuOver10s)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  gSelf = argv[0];
  if (argc > 1 && std::strcmp(argv[1], "--child-minimal") == 0) return RunMinimal(argc, argv);
  if (argc > 1 && std::strcmp(argv[1], "--child-navigator") == 0)
    return RunNavigator(argc, argv, false);
  if (argc > 1 && std::strcmp(argv[1], "--child-idle") == 0) return RunNavigator(argc, argv, true);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
