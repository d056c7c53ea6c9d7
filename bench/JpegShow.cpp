// Showing a 4000 x 3000 JPEG picture in the explorer (read, decode, fit, draw into the picture
// area) against the library's own command-line decoder, djpeg, decoding the same file in the
// same run: true colour, and the 256-colour reduction against djpeg -colors 256.

#include <benchmark/benchmark.h>

#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <cmath>

#include "RatioReporter.h"
#include "explorer/Fit.h"
#include "platform/Canvas.h"
#include "platform/Jpeg.h"

namespace {

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

void Show(benchmark::State& state, int depth) {
  const QString path = BigJpeg();
  QImage area(800, 600, QImage::Format_RGB32);
  for (auto _ : state) {
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    auto picture = platform::DecodeJpeg(file.readAll(), depth);
    if (!picture) state.SkipWithError("decode failed");
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

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);  // the canvas measures text with the font database
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.PrintRatios({{"BM_ShowJpeg", "BM_Djpeg"}, {"BM_ShowJpeg256", "BM_Djpeg256"}}, 1.2);
  benchmark::Shutdown();
  return 0;
}
