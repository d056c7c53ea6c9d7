// The mode animations and the idle modes. What an animation step costs the window's thread
// (taking the frame read ahead and copying its animation area onto the window's surface)
// against a plain copy of an 800 x 600 picture in the same run (goal: at most 10x), with the
// worker's part and the first, cold open beside it; and, in child processes, the
// CPU an idle navigator uses over ten seconds in a list mode and on a description page (goal:
// under 1 % of a core).

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <chrono>
#include <ctime>
#include <thread>

#include "RatioReporter.h"
#include "common/Environment.h"
#include "formats/BPK.h"
#include "navigator/ModeAnimation.h"
#include "navigator/NavigatorViews.h"
#include "navigator/uMain.h"
#include "platform/Canvas.h"
#include "platform/Dialogs.h"
#include "platform/Drives.h"

namespace {

const char* gSelf = nullptr;

void UseSampleDisc() {
  const QString disc = QStringLiteral(QX_SAMPLE_DISC);
  platform::Drives() = platform::DriveMap::Default(disc);
}

QString SkinDir() {
  return QStringLiteral("D:\\QUARX\\Resour\\G8\\AnyPal\\");
}

void BM_PlainCopy800x600(benchmark::State& state) {
  QImage source(800, 600, QImage::Format_RGB32);
  source.fill(qRgb(20, 40, 60));
  QImage target(800, 600, QImage::Format_RGB32);
  platform::Canvas canvas(target);
  for (auto _ : state) {
    canvas.CopyRect(QRect(0, 0, 800, 600), source, QRect(0, 0, 800, 600));
    benchmark::DoNotOptimize(canvas.Image().constBits());
  }
}
BENCHMARK(BM_PlainCopy800x600)->Unit(benchmark::kMicrosecond);

// What the window's thread pays per frame, opening included (the window opens a movie and
// draws its first frame in one step): the four movies are held ahead by the worker, as they
// are once the window has opened its first one, and each frame is inflated on the worker while
// the one before it is on screen. The worker's own cost is BM_AnimationFrameOnWorker.
void BM_AnimationStep(benchmark::State& state) {
  UseSampleDisc();
  QImage target(800, 600, QImage::Format_RGB32);
  platform::Canvas canvas(target);
  const QRect area(0, 110, 655, 490);
  ModeAnimation::Output out;
  out.DrawFrame = [&](const platform::Bitmap& frame) { canvas.CopyRect(area, frame, area); };
  ModeAnimation player([] { return SkinDir(); }, [] { return 32; }, out);
  player.Preload();
  player.WaitForWorker();
  bool over = true;
  double worstUs = 0;
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    if (over && !player.OpenAnimation(AnimationKind::ListEntry)) {
      state.SkipWithError("no gbttin.bpk on the sample disc");
      return;
    }
    over = player.StepAnimation(-1);
    benchmark::DoNotOptimize(canvas.Image().constBits());
    worstUs = std::max(
        worstUs,
        std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count());
    // The frame stays on screen for its delay while the next one is read ahead.
    state.PauseTiming();
    std::this_thread::sleep_for(std::chrono::milliseconds(45));
    state.ResumeTiming();
  }
  state.counters["worst_step_us"] = worstUs;
  state.counters["preloaded_opens"] = player.PreloadsTaken();
}
BENCHMARK(BM_AnimationStep)->Unit(benchmark::kMicrosecond);

// The very first animation of a run (the opening's), before anything is held ahead: opening
// and the first frame, both read on the window's thread.
void BM_AnimationFirstOpenCold(benchmark::State& state) {
  UseSampleDisc();
  QImage target(800, 600, QImage::Format_RGB32);
  platform::Canvas canvas(target);
  const QRect area(0, 110, 655, 490);
  ModeAnimation::Output out;
  out.DrawFrame = [&](const platform::Bitmap& frame) { canvas.CopyRect(area, frame, area); };
  for (auto _ : state) {
    state.PauseTiming();
    auto player = std::make_unique<ModeAnimation>([] { return SkinDir(); }, [] { return 32; }, out);
    state.ResumeTiming();
    player->OpenAnimation(AnimationKind::ListEntry);
    player->StepAnimation(-1);
    state.PauseTiming();
    player.reset();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_AnimationFirstOpenCold)->Unit(benchmark::kMicrosecond);

// The worker's part: inflating and converting one frame of "gbttin.bpk".
void BM_AnimationFrameOnWorker(benchmark::State& state) {
  UseSampleDisc();
  TBPKMovie movie(/*directFromFile=*/false);
  platform::Bitmap frame;
  for (auto _ : state) {
    if (movie.CurrentFrame >= movie.Header.FrameCount || !movie.IsOpen()) {
      state.PauseTiming();
      movie.Open(SkinDir() + QStringLiteral("gbttin.bpk"));
      state.ResumeTiming();
    }
    if (!movie.ReadFrame(frame, 32)) {
      state.SkipWithError("unreadable frame");
      return;
    }
    benchmark::DoNotOptimize(frame.Image().constBits());
  }
}
BENCHMARK(BM_AnimationFrameOnWorker)->Unit(benchmark::kMicrosecond);

// ---- idle modes, each in a child process ----

int RunIdle(int argc, char** argv, bool page) {
  QApplication app(argc, argv);
  platform::ScriptedDialogService dialogs;
  platform::SetDialogs(&dialogs);
  UseSampleDisc();
  NavigatorOptions options;
  options.Environment.programDirHost = QStringLiteral(QX_SAMPLE_DISC) + QStringLiteral("/QUARX");
  options.Environment.screenWidth = 800;
  options.Environment.screenHeight = 600;
  options.Environment.colourDepth = 32;
  options.Windowed = true;
  auto main = std::make_unique<TfmMain>(options);
  auto settle = [&] {
    QElapsedTimer t;
    t.start();
    while ((main->Modes().Entering() || t.elapsed() < 500) && t.elapsed() < 20000)
      app.processEvents(QEventLoop::AllEvents, 20);
  };
  settle();
  if (page) {
    main->Views->State().DescribedMode = 5;
    main->Views->State().DescribedEntry = 1;
    main->ChangeMode(5);
    settle();
  }
  const std::clock_t start = std::clock();
  QElapsedTimer wall;
  wall.start();
  QTimer::singleShot(10000, &app, &QCoreApplication::quit);
  const uint64_t runsBefore = main->Frames().Runs();
  app.exec();
  const double cpuMs = 1000.0 * double(std::clock() - start) / CLOCKS_PER_SEC;
  std::printf("%.3f %.3f %llu %d\n", cpuMs, double(wall.elapsed()),
              static_cast<unsigned long long>(main->Frames().Runs() - runsBefore),
              main->Modes().CurrentMode());
  return 0;
}

void IdleInChild(benchmark::State& state, const char* role) {
  QTemporaryDir config;
  QSettings(config.filePath(QStringLiteral("velOrbint/KVR.conf")), QSettings::IniFormat)
      .setValue(QStringLiteral("KVRVer"), 9);
  for (auto _ : state) {
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("SDL_AUDIODRIVER"), QStringLiteral("dummy"));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), config.path());
    child.setProcessEnvironment(env);
    child.start(QString::fromLocal8Bit(gSelf), {QString::fromLatin1(role)});
    child.waitForFinished(90000);
    double cpuMs = 0, wallMs = 0;
    unsigned long long runs = 0;
    int mode = -1;
    std::sscanf(child.readAllStandardOutput().constData(), "%lf %lf %llu %d", &cpuMs, &wallMs,
                &runs, &mode);
    state.SetIterationTime(wallMs / 1000.0);
    state.counters["cpu_percent_of_core"] = wallMs > 0 ? 100.0 * cpuMs / wallMs : 0;
    state.counters["frame_runs"] = double(runs);
    state.counters["mode"] = mode;
  }
}

void BM_IdleListMode10s(benchmark::State& state) {
  IdleInChild(state, "--child-idle-list");
}
BENCHMARK(BM_IdleListMode10s)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_IdleDescriptionMode10s(benchmark::State& state) {
  IdleInChild(state, "--child-idle-page");
}
BENCHMARK(BM_IdleDescriptionMode10s)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  gSelf = argv[0];
  if (argc > 1 && std::strcmp(argv[1], "--child-idle-list") == 0) return RunIdle(argc, argv, false);
  if (argc > 1 && std::strcmp(argv[1], "--child-idle-page") == 0) return RunIdle(argc, argv, true);
  QApplication app(argc, argv);  // the canvas draws through Qt
  return RunBenchmarksWithRatios(argc, argv, {{"BM_AnimationStep", "BM_PlainCopy800x600"}}, 10.0);
}
