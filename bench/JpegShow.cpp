// Showing a 4000 x 3000 JPEG picture in the explorer (read, decode, fit, draw into the picture
// area) against the library's own command-line decoder, djpeg, decoding the same file in the
// same run: true colour, and the 256-colour reduction against djpeg -colors 256. The machine is
// shared, so each benchmark also reports the CPU milliseconds its work used (cpu_ms: this
// process's every thread for the explorer's path, the child for djpeg); the CPU ratio is the
// fairer one when other work competes for the cores.

#include <benchmark/benchmark.h>

#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <sys/resource.h>

#include <cmath>

#include "RatioReporter.h"
#include "explorer/Fit.h"
#include "platform/Canvas.h"
#include "platform/Jpeg.h"

namespace {

// CPU seconds (user and system) used so far by this process, every thread, or by its waited-for
// children: the machine is shared, so wall time alone says more about the neighbours.
double CpuSeconds(int who) {
  rusage u{};
  getrusage(who, &u);
  return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
         double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

// Records the CPU milliseconds per iteration of who.
class CpuMeter {
 public:
  CpuMeter(benchmark::State& state, int who) : state_(state), who_(who), start_(CpuSeconds(who)) {}
  ~CpuMeter() {
    if (state_.iterations() > 0)
      state_.counters["cpu_ms"] = 1000.0 * (CpuSeconds(who_) - start_) / double(state_.iterations());
  }

 private:
  benchmark::State& state_;
  int who_;
  double start_;
};

const QString& BigJpeg() {
  static QTemporaryDir dir;
  static const QString path = [] {
    QImage image(4000, 3000, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y) {
      auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
      for (int x = 0; x < image.width(); ++x)
        line[x] = qRgb((x / 16) & 255, (y / 12) & 255,
                       int(127 + 120 * std::sin(x * 0.013) * std::cos(y * 0.011)));
    }
    const QString p = dir.filePath("big.jpg");
    image.save(p, "JPG", 85);
    return p;
  }();
  return path;
}

// As the explorer loads and draws a JPEG picture: its size from the header, the decode reduced
// to what the window can show (here the window and the picture area are both 800 x 600), the
// fit by the picture's own size, then the stretch into the picture area.
void Show(benchmark::State& state, int depth) {
  const QString path = BigJpeg();
  QImage area(800, 600, QImage::Format_RGB32);
  const CpuMeter cpu(state, RUSAGE_SELF);
  for (auto _ : state) {
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    const QByteArray bytes = file.readAll();
    const auto size = platform::JpegSize(bytes);
    if (!size) {
      state.SkipWithError("no JPEG header");
      return;
    }
    auto picture = platform::DecodeJpeg(bytes, depth, nullptr, FitPicture(area.size(), *size).size());
    if (!picture) {
      state.SkipWithError("decode failed");
      return;
    }
    const QRect r = FitPicture(area.size(), *size);
    platform::Canvas canvas(area);
    canvas.Fill(area.rect(), Qt::white);
    canvas.CopyRect(r, *picture, QRect(0, 0, picture->Width(), picture->Height()));
    benchmark::DoNotOptimize(canvas.Pixel(400, 300));
  }
}

// The same picture decoded whole, as before the reduction: what the reduction saves.
void BM_ShowJpegFullDecode(benchmark::State& state) {
  const QString path = BigJpeg();
  QImage area(800, 600, QImage::Format_RGB32);
  const CpuMeter cpu(state, RUSAGE_SELF);
  for (auto _ : state) {
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    auto picture = platform::DecodeJpeg(file.readAll(), 24);
    if (!picture) {
      state.SkipWithError("decode failed");
      return;
    }
    const QRect r = FitPicture(area.size(), {picture->Width(), picture->Height()});
    platform::Canvas canvas(area);
    canvas.Fill(area.rect(), Qt::white);
    canvas.CopyRect(r, *picture, QRect(0, 0, picture->Width(), picture->Height()));
    benchmark::DoNotOptimize(canvas.Pixel(400, 300));
  }
}

void Djpeg(benchmark::State& state, QStringList extra) {
  const QString djpeg = QStandardPaths::findExecutable(QStringLiteral("djpeg"));
  if (djpeg.isEmpty()) {
    state.SkipWithError("djpeg not installed (libjpeg-turbo-progs)");
    return;
  }
  const QString path = BigJpeg();
  const CpuMeter cpu(state, RUSAGE_CHILDREN);
  for (auto _ : state) {
    QProcess p;
    p.start(djpeg, QStringList(extra) << QStringLiteral("-outfile") << QStringLiteral("/dev/null")
                                      << path);
    p.waitForFinished(-1);
    if (p.exitCode() != 0) state.SkipWithError("djpeg failed");
  }
}

void BM_ShowJpeg(benchmark::State& state) { Show(state, 24); }
void BM_Djpeg(benchmark::State& state) { Djpeg(state, {}); }
void BM_ShowJpeg256(benchmark::State& state) { Show(state, 8); }
void BM_Djpeg256(benchmark::State& state) { Djpeg(state, {QStringLiteral("-colors"), QStringLiteral("256")}); }

}  // namespace

BENCHMARK(BM_ShowJpeg)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Djpeg)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ShowJpeg256)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Djpeg256)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ShowJpegFullDecode)->Unit(benchmark::kMillisecond)->UseRealTime();

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);  // the canvas measures text with the font database
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  // Names carry "/real_time": the wall time is measured, since djpeg runs in a child.
  const std::vector<std::pair<std::string, std::string>> pairs = {
      {"BM_ShowJpeg/real_time", "BM_Djpeg/real_time"},
      {"BM_ShowJpeg256/real_time", "BM_Djpeg256/real_time"},
      {"BM_ShowJpegFullDecode/real_time", "BM_Djpeg/real_time"}};
  reporter.PrintRatios(pairs, 1.2);
  reporter.PrintCounterRatios(pairs, "cpu_ms", 1.2);
  benchmark::Shutdown();
  return 0;
}
