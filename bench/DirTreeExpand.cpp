// Opening a folder of 100,000 entries in the drive and folder tree: the longest time the
// event loop waits while the user's expansion is read on the worker and put into the tree in
// slices, against the whole expansion done at once (what the window would freeze for).
// QX_BENCH_DIR chooses where the folder goes (default: /dev/shm when present).

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTimer>

#include "RatioReporter.h"
#include "controls/DirTree.h"
#include "platform/Drives.h"

namespace {

constexpr int kEntries = 100000;

struct BigFolder {
  QTemporaryDir dir{(qEnvironmentVariableIsSet("QX_BENCH_DIR")
                         ? qEnvironmentVariable("QX_BENCH_DIR")
                         : (QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm")
                                                                      : QDir::tempPath())) +
                    QStringLiteral("/qx-treebench-XXXXXX")};
  BigFolder() {
    const QByteArray folder = (dir.path() + QStringLiteral("/grande")).toLocal8Bit();
    ::mkdir(folder.constData(), 0755);
    for (int i = 0; i < kEntries; ++i) {
      const QByteArray name = folder + "/f" + QByteArray::number(i) + ".dat";
      const int fd = ::open(name.constData(), O_CREAT | O_WRONLY, 0644);
      if (fd >= 0) ::close(fd);
    }
    platform::Drives().Clear();
    platform::Drives().Map(QLatin1Char('G'), dir.path(), platform::DriveType::Fixed, "Grande");
  }
};

BigFolder& TheFolder() {
  static BigFolder folder;
  return folder;
}

QTreeWidgetItem* Grande(TFullTree& tree) {
  QTreeWidgetItem* drive = tree.topLevelItem(0)->child(0);
  return drive ? drive->child(0) : nullptr;
}

void BM_ExpandAtOnce(benchmark::State& state) {
  TheFolder();
  for (auto _ : state) {
    TFullTree tree;
    tree.resize(300, 600);
    tree.show();
    QElapsedTimer clock;
    clock.start();
    tree.SelectPath(QStringLiteral("G:\\grande\\"));  // read on the spot
    state.SetIterationTime(double(clock.nsecsElapsed()) / 1e9);
    if (!Grande(tree) || Grande(tree)->childCount() != kEntries) state.SkipWithError("incomplete");
  }
}

void BM_ExpandLongestStall(benchmark::State& state) {
  TheFolder();
  for (auto _ : state) {
    TFullTree tree;
    tree.resize(300, 600);
    tree.show();
    QEventLoop loop;
    QObject::connect(&tree, &TFullTree::ListingDone, &loop, &QEventLoop::quit);
    // The gaps between two turns of the loop, from the user's click to the last slice.
    QElapsedTimer clock;
    qint64 longestNs = 0;
    qint64 last = 0;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] {
      const qint64 now = clock.nsecsElapsed();
      longestNs = std::max(longestNs, now - last);
      last = now;
    });
    ticker.start(0);
    clock.start();
    Grande(tree)->setExpanded(true);
    loop.exec();
    longestNs = std::max(longestNs, clock.nsecsElapsed() - last);
    state.SetIterationTime(double(longestNs) / 1e9);
    state.counters["total_ms"] = double(clock.elapsed());
    if (Grande(tree)->childCount() != kEntries) state.SkipWithError("incomplete");
  }
}

BENCHMARK(BM_ExpandAtOnce)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_ExpandLongestStall)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  return RunBenchmarksWithRatios(argc, argv,
                                 {{"BM_ExpandLongestStall/iterations:3/manual_time",
                                   "BM_ExpandAtOnce/iterations:3/manual_time"}},
                                 0.1);
}
