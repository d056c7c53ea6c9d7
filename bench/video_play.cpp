// The intro movie and an explorer video played in real time, with the process's own clock and
// sound output, as a user sees them: frames dropped (the player's count: frames that were due
// together, so that only the newest was shown), frames shown, how late a frame reached the
// panel, and the CPU the whole process used meanwhile (every thread: decoding worker, sound,
// window) as a share of one core. Goal: no dropped frame, under 25 % of a core.

#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QFileInfo>
#include <QSet>
#include <QTimer>
#include <algorithm>
#include <functional>

#include "common/Environment.h"
#include "explorer/uRARez.h"
#include "navigator/Ceremony.h"
#include "platform/Dialogs.h"
#include "platform/Drives.h"
#include "platform/VideoPlayer.h"

namespace {

const QString kDisc = QStringLiteral(QX_SAMPLE_DISC);

double CpuSeconds() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
         double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

// Counts the frames painted into a player's panel and how late each one was.
class PaintWatch : public QObject {
 public:
  explicit PaintWatch(QString panel) : panel_(std::move(panel)) { qApp->installEventFilter(this); }
  ~PaintWatch() override { qApp->removeEventFilter(this); }
  void Watch(const platform::VideoPlayer* player) { player_ = player; }
  int Shown() const { return int(stamps_.size()); }
  int64_t WorstLateMs() const { return worstLate_; }
  int64_t WorstStampMs() const { return worstStamp_; }
  // The time of the first frame missing between two painted ones (-1: none), so that a drop
  // can be told from a slow start or end.
  int64_t FirstGapMs() const {
    QList<int64_t> sorted(stamps_.begin(), stamps_.end());
    std::sort(sorted.begin(), sorted.end());
    if (sorted.size() < 3) return -1;
    QList<int64_t> steps;
    for (qsizetype i = 1; i < sorted.size(); ++i) steps.append(sorted[i] - sorted[i - 1]);
    QList<int64_t> ordered = steps;
    std::sort(ordered.begin(), ordered.end());
    const int64_t usual = ordered[ordered.size() / 2];
    for (qsizetype i = 0; i < steps.size(); ++i)
      if (steps[i] * 2 > usual * 3) return sorted[i] + usual;
    return -1;
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (player_ && event->type() == QEvent::Paint && watched->parent() &&
        watched->parent()->objectName() == panel_ && player_->Playing() &&
        player_->CurrentFrameMs() >= 0) {
      // Late: from the frame's time to its first paint.
      const int64_t stamp = player_->CurrentFrameMs();
      if (!stamps_.contains(stamp)) {
        stamps_.insert(stamp);
        const int64_t late = player_->PositionMs() - stamp;
        if (late > worstLate_) {
          worstLate_ = late;
          worstStamp_ = stamp;
        }
      }
    }
    return false;
  }

 private:
  const platform::VideoPlayer* player_ = nullptr;
  QString panel_;
  QSet<int64_t> stamps_;
  int64_t worstLate_ = 0;
  int64_t worstStamp_ = -1;
};

// Measures from start() (which returns the player) until playing() is false (at most 60 s),
// checked every 50 ms.
void Measure(benchmark::State& state, const QString& panel,
             const std::function<const platform::VideoPlayer*()>& start,
             const std::function<bool()>& playing) {
  PaintWatch watch(panel);
  const double cpuStart = CpuSeconds();
  QElapsedTimer wall;
  wall.start();
  const platform::VideoPlayer* player = start();
  watch.Watch(player);
  // The loop sleeps between events; a slow check ends it (its own cost is counted too).
  // It also tells how long the window's thread went without running (a frame due meanwhile
  // waits): the longest gap between two checks beyond their 50 ms.
  QEventLoop loop;
  QTimer check;
  check.setTimerType(Qt::PreciseTimer);
  int64_t lastCheck = wall.elapsed();
  int64_t worstStall = 0;
  QObject::connect(&check, &QTimer::timeout, [&] {
    const int64_t now = wall.elapsed();
    worstStall = std::max(worstStall, now - lastCheck - 50);
    lastCheck = now;
    if (!playing() || now > 60000) loop.quit();
  });
  check.start(50);
  if (playing()) loop.exec();
  const double wallS = double(wall.nsecsElapsed()) / 1e9;
  const double cpuS = CpuSeconds() - cpuStart;
  state.SetIterationTime(wallS);
  state.counters["cpu_percent_of_core"] = 100.0 * cpuS / wallS;
  state.counters["dropped"] = player ? player->DroppedFrames() : -1;
  state.counters["shown"] = watch.Shown();
  state.counters["worst_late_ms"] = double(watch.WorstLateMs());
  state.counters["worst_late_at_ms"] = double(watch.WorstStampMs());
  state.counters["first_missing_at_ms"] = double(watch.FirstGapMs());
  state.counters["worst_ui_stall_ms"] = double(worstStall);
}

void UseSampleDisc(bool explorer) {
  platform::Drives() = platform::DriveMap::Default(kDisc);
  EnvironmentOptions options;
  options.programDirHost = kDisc + QStringLiteral("/QUARX");
  options.screenWidth = 800;
  options.screenHeight = 600;
  options.colourDepth = 32;
  if (explorer)
    MeasureExplorerEnvironment(options);
  else
    MeasureEnvironment(options);
}

// The intro window starts its movie when it is made, opening included in the measure.
void BM_IntroMovie(benchmark::State& state) {
  UseSampleDisc(false);
  for (auto _ : state) {
    std::unique_ptr<TfmCeremony> intro;
    Measure(
        state, QStringLiteral("paMovie"),
        [&] {
          intro = std::make_unique<TfmCeremony>(QRect(0, 0, 800, 600), nullptr, true);
          intro->show();
          return intro->Player();
        },
        [&] { return !intro->Finished(); });
    if (!intro->MovieAvailable()) state.SkipWithError("the intro movie did not play");
  }
}
BENCHMARK(BM_IntroMovie)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);

// The explorer's own window: choosing the video in the tree plays it in the picture area.
void BM_ExplorerVideo(benchmark::State& state) {
  UseSampleDisc(true);
  Env().SoundAvailable = true;
  for (auto _ : state) {
    TfmRARez window;
    window.resize(800, 600);
    window.show();
    QCoreApplication::processEvents();
    Measure(
        state, QStringLiteral("paMCI"),
        [&] {
          window.FullTreeSelectItem(window.FullTree,
                                    Env().ProgramDir.left(3) + QStringLiteral("Midia\\Videos\\vinheta.avi"));
          return window.MediaPlayer;
        },
        [&] { return window.MediaPlayer->Playing(); });
    if (window.MediaKind != MediaKindOf::Video) state.SkipWithError("the video did not play");
  }
}
BENCHMARK(BM_ExplorerVideo)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  platform::ScriptedDialogService dialogs;
  platform::SetDialogs(&dialogs);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
