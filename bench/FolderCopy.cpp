// Copying a 300 MB demo folder of mixed file sizes: the folder copy (8,192-byte blocks, a turn
// of the event loop after each, temporary name and rename, times kept) against a plain
// read/write copy of the same tree with a 1 MiB buffer, in the same run and on the same file
// system. QX_BENCH_DIR chooses where the trees go (default: /dev/shm when present, so the
// figure is about the copy and not the disc's write-back).

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>
#include <vector>

#include "RatioReporter.h"
#include "navigator/FolderCopy.h"
#include "platform/Dialogs.h"
#include "platform/Drives.h"

namespace {

struct SizeGroup {
  int count;
  qint64 bytes;
};
// 100 + 100 + 50 + 40 + 10 MB, spread over a few folders.
constexpr SizeGroup kGroups[] = {{2, 50 << 20}, {10, 10 << 20}, {50, 1 << 20},
                                 {400, 100 << 10}, {2048, 5 << 10}};

QString BenchRoot() {
  const QByteArray chosen = qgetenv("QX_BENCH_DIR");
  if (!chosen.isEmpty()) return QString::fromLocal8Bit(chosen);
  return QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm") : QDir::tempPath();
}

struct Tree {
  QTemporaryDir dir{BenchRoot() + QStringLiteral("/qx-copybench-XXXXXX")};
  QString source;
  std::vector<QString> files;  // relative paths
  qint64 totalBytes = 0;

  Tree() {
    source = dir.path() + QStringLiteral("/disc/DEMOS/GRANDE");
    QByteArray block(1 << 20, Qt::Uninitialized);
    uint32_t x = 12345;
    for (char& c : block) c = char((x = x * 1664525u + 1013904223u) >> 24);
    int n = 0;
    for (const SizeGroup& g : kGroups) {
      for (int i = 0; i < g.count; ++i, ++n) {
        const QString rel = QStringLiteral("P%1/f%2.dat").arg(n % 7).arg(n);
        QDir().mkpath(QFileInfo(source + QLatin1Char('/') + rel).path());
        QFile f(source + QLatin1Char('/') + rel);
        if (!f.open(QIODevice::WriteOnly)) std::abort();
        for (qint64 left = g.bytes; left > 0; left -= block.size())
          f.write(block.constData() + (n % 64), std::min<qint64>(left, block.size() - 64));
        files.push_back(rel);
        totalBytes += f.size();
      }
    }
    platform::Drives().Map(QLatin1Char('D'), dir.path() + QStringLiteral("/disc"),
                           platform::DriveType::CdRom);
    platform::Drives().Map(QLatin1Char('C'), dir.path(), platform::DriveType::Fixed);
  }

  QString Destination(const char* name) const { return dir.path() + QLatin1Char('/') + name; }
};

Tree& TheTree() {
  static Tree tree;
  return tree;
}

void PlainCopy(const QString& from, const QString& to) {
  std::vector<char> buffer(1 << 20);
  const int in = ::open(QFile::encodeName(from).constData(), O_RDONLY);
  const int out = ::open(QFile::encodeName(to).constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (in < 0 || out < 0) std::abort();
  for (;;) {
    const ssize_t got = ::read(in, buffer.data(), buffer.size());
    if (got <= 0) break;
    if (::write(out, buffer.data(), size_t(got)) != got) std::abort();
  }
  ::close(in);
  ::close(out);
}

void BM_PlainCopy1MiB(benchmark::State& state) {
  Tree& tree = TheTree();
  const QString dest = tree.Destination("plain");
  for (auto _ : state) {
    state.PauseTiming();
    QDir(dest).removeRecursively();
    state.ResumeTiming();
    for (const QString& rel : tree.files) {
      const QString target = dest + QLatin1Char('/') + rel;
      QDir().mkpath(QFileInfo(target).path());
      PlainCopy(tree.source + QLatin1Char('/') + rel, target);
    }
  }
  state.SetBytesProcessed(state.iterations() * tree.totalBytes);
}

void BM_FolderCopy(benchmark::State& state) {
  Tree& tree = TheTree();
  const QString dest = tree.Destination("copia");
  platform::ScopedScriptedDialogs dialogs;
  for (auto _ : state) {
    state.PauseTiming();
    QDir(dest).removeRecursively();
    dialogs->QueueMessageAnswer(platform::MsgResult::Yes);  // create the folder
    state.ResumeTiming();
    TFolderCopy::Hooks hooks;
    // Without the loop's turn only to show what the turn costs.
    if (state.range(0) != 0) hooks.file.PumpMessages = [] { QCoreApplication::processEvents(); };
    TFolderCopy copy(std::move(hooks));
    if (copy.Run(QStringLiteral("C:\\copia"), QStringLiteral("D:\\DEMOS\\GRANDE")) !=
        TFolderCopy::Outcome::Success)
      state.SkipWithError("the copy failed");
  }
  state.SetBytesProcessed(state.iterations() * tree.totalBytes);
}

BENCHMARK(BM_PlainCopy1MiB)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(BM_FolderCopy)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  // Time ratio at most 2 is a throughput ratio of at least 0.5.
  return RunBenchmarksWithRatios(argc, argv,
                                 {{"BM_FolderCopy/1/iterations:3/real_time",
                                   "BM_PlainCopy1MiB/iterations:3/real_time"},
                                  {"BM_FolderCopy/0/iterations:3/real_time",
                                   "BM_PlainCopy1MiB/iterations:3/real_time"}},
                                 2.0);
}
