// Start-up of the navigator on the sample disc given as a disc image (.iso) against the same
// disc given as a folder, both through --disc, each in a child process on the offscreen
// platform. The image starts with an empty cache every time (the worst case: every file the
// start-up needs is unpacked). Goal: the image costs at most 1.5 times the folder.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>
#include <QWindow>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

#include "common/CommandLine.h"
#include "controls/TotalPaintBox.h"
#include "bench/FirstFrame.h"
#include "navigator/uMain.h"
#include "platform/Allocator.h"
#include "platform/Dialogs.h"
#include "tools/discwriter/IsoWriter.h"

namespace {

const char* gSelf = nullptr;

// The child: the navigator's own start-up path for "--disc PATH".
int RunNavigator(int argc, char** argv, const char* disc) {
  platform::TuneAllocatorForStartUp();
  QApplication app(argc, argv);
  platform::ScriptedDialogService dialogs;
  platform::SetDialogs(&dialogs);
  bench::FirstFrame watch;
  std::unique_ptr<TfmMain> main;
  QTimer::singleShot(0, [&] {
    const CommandLine line = ParseCommandLine(
        {QStringLiteral("quarx32"), QStringLiteral("--disc"), QString::fromLocal8Bit(disc)},
        ProgramKind::Navigator);
    QString error;
    if (!ConfigureDrives(line, &error)) {
      std::fprintf(stderr, "%s\n", qPrintable(error));
      QCoreApplication::exit(1);
      return;
    }
    NavigatorOptions options;
    options.Environment = EnvironmentOptionsOf(line);
    options.Environment.screenWidth = 800;
    options.Environment.screenHeight = 600;
    options.Environment.colourDepth = 32;
    options.Windowed = true;
    main = std::make_unique<TfmMain>(options);
    if (main->pbMain()) watch.Watch(main.get(), main->pbMain());
  });
  return app.exec();
}

double TimeChild(const QString& disc, const QTemporaryDir& config, const QString& cache) {
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
  env.insert(QStringLiteral("SDL_AUDIODRIVER"), QStringLiteral("dummy"));
  env.insert(QStringLiteral("XDG_CONFIG_HOME"), config.path());
  env.insert(QStringLiteral("XDG_CACHE_HOME"), cache);
  return bench::MsUntilFirstFrame(QString::fromLocal8Bit(gSelf), {QStringLiteral("--child"), disc},
                                  env);
}

// Folder and image start in turn, so a burst of load elsewhere hits both alike.
void BM_ImageAgainstFolder(benchmark::State& state) {
  QTemporaryDir work;
  const QString iso = work.filePath(QStringLiteral("quarx9.iso"));
  QString error;
  if (!discwriter::WriteIsoImage(QStringLiteral(QX_SAMPLE_DISC), iso, &error)) {
    state.SkipWithError(qPrintable(error));
    return;
  }
  QTemporaryDir config;
  QSettings(config.filePath(QStringLiteral("velOrbint/KVR.conf")), QSettings::IniFormat)
      .setValue(QStringLiteral("KVRVer"), 9);
  std::vector<double> folder, image;
  int round = 0;
  for (auto _ : state) {
    const QString cache = work.filePath(QStringLiteral("cache%1").arg(round++));
    const double f = TimeChild(QStringLiteral(QX_SAMPLE_DISC), config, cache);
    const double i = TimeChild(iso, config, cache);
    folder.push_back(f);
    image.push_back(i);
    state.SetIterationTime((f + i) / 1000.0);
  }
  const double f = bench::Median(folder), i = bench::Median(image);
  state.counters["folder_ms"] = f;
  state.counters["image_ms"] = i;
  state.counters["ratio"] = f > 0 ? i / f : 0;
  std::printf("ratio image / folder = %.3f (goal at most 1.50)\n", f > 0 ? i / f : 0);
}
BENCHMARK(BM_ImageAgainstFolder)->UseManualTime()->Iterations(15)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  gSelf = argv[0];
  if (argc > 2 && std::strcmp(argv[1], "--child") == 0) return RunNavigator(argc, argv, argv[2]);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
