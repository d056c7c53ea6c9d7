// The main window's typical frame: an 800 x 600 frame composed from the background, one
// image/mask pair and ten rows of text, against a plain 800 x 600 copy measured in the same
// run. Prints the ratio of the two.

#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>
#include <cstdio>
#include <map>
#include <string>

#include "platform/Canvas.h"

namespace {

using platform::Canvas;
using platform::RasterOp;

constexpr int kWidth = 800;
constexpr int kHeight = 600;

QImage Background() {
  QImage image(kWidth, kHeight, QImage::Format_RGB32);
  for (int y = 0; y < kHeight; ++y) {
    auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < kWidth; ++x) line[x] = qRgb(x & 0xFF, y & 0xFF, (x ^ y) & 0xFF);
  }
  return image;
}

// A 240 x 180 picture with a round opaque part: the image black where transparent, the mask
// white there.
void ImageAndMask(QImage& image, QImage& mask) {
  image = QImage(240, 180, QImage::Format_RGB32);
  mask = QImage(240, 180, QImage::Format_RGB32);
  for (int y = 0; y < 180; ++y)
    for (int x = 0; x < 240; ++x) {
      const int dx = x - 120, dy = y - 90;
      const bool inside = dx * dx * 9 + dy * dy * 16 < 120 * 120 * 9;
      image.setPixel(x, y, inside ? qRgb(200, x, y) : qRgb(0, 0, 0));
      mask.setPixel(x, y, inside ? qRgb(0, 0, 0) : qRgb(255, 255, 255));
    }
}

void BM_PlainCopy(benchmark::State& state) {
  const QImage background = Background();
  QImage frame(kWidth, kHeight, QImage::Format_RGB32);
  Canvas canvas(frame);
  for (auto _ : state) {
    canvas.BitBlt(QPoint(0, 0), QSize(kWidth, kHeight), background, QPoint(0, 0));
    benchmark::DoNotOptimize(canvas.Pixel(0, 0));
  }
}
BENCHMARK(BM_PlainCopy)->Unit(benchmark::kMicrosecond);

void BM_ComposeFrame(benchmark::State& state) {
  const QImage background = Background();
  QImage image, mask;
  ImageAndMask(image, mask);
  QImage frame(kWidth, kHeight, QImage::Format_RGB32);
  Canvas canvas(frame);
  platform::FontSpec font;
  font.Height = -20;
  font.Bold = true;
  font.Colour = QColor(255, 255, 255);
  canvas.SetFont(font);
  canvas.SetTextBackground(platform::TextBackground::Clear);
  const QString row = QStringLiteral("Demonstração número %1 - Aplicativos e Utilitários");
  for (auto _ : state) {
    canvas.BitBlt(QPoint(0, 0), QSize(kWidth, kHeight), background, QPoint(0, 0));
    canvas.BitBlt(QPoint(520, 40), image.size(), mask, QPoint(0, 0), RasterOp::And);
    canvas.BitBlt(QPoint(520, 40), image.size(), image, QPoint(0, 0), RasterOp::Or);
    for (int i = 0; i < 10; ++i) canvas.TextOut(240, 179 + i * 27, row.arg(i + 1));
    benchmark::DoNotOptimize(canvas.Pixel(0, 0));
  }
}
BENCHMARK(BM_ComposeFrame)->Unit(benchmark::kMicrosecond);

// Keeps each benchmark's time per iteration for the ratio.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  std::map<std::string, double> Times;     // real time per iteration
  std::map<std::string, double> CpuTimes;  // CPU time per iteration (steadier on a busy host)
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs)
      if (run.run_type == Run::RT_Iteration && run.iterations > 0) {
        Times[run.benchmark_name()] = run.GetAdjustedRealTime();
        CpuTimes[run.benchmark_name()] = run.GetAdjustedCPUTime();
      }
    ConsoleReporter::ReportRuns(runs);
  }
};

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  for (const auto* times : {&reporter.Times, &reporter.CpuTimes}) {
    const auto copy = times->find("BM_PlainCopy");
    const auto compose = times->find("BM_ComposeFrame");
    if (copy != times->end() && compose != times->end() && copy->second > 0)
      std::printf("frame compose / plain copy (%s time) = %.2f\n",
                  times == &reporter.Times ? "real" : "CPU", compose->second / copy->second);
  }
  benchmark::Shutdown();
  return 0;
}
