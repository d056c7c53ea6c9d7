// Reading an 800x600 bitmap file the way the navigator does (Bitmap::FromBmp, which takes the
// direct reader for these files) against Qt's reader followed by the conversion it needs.

#include <benchmark/benchmark.h>

#include <QImage>

#include "RatioReporter.h"
#include "platform/Bitmap.h"
#include "tools/discwriter/Bmp.h"

namespace {

constexpr int kWidth = 800;
constexpr int kHeight = 600;

// A textured background like the design pictures, so that an 8-bit palette is well used.
QImage Picture(bool indexed) {
  QImage image(kWidth, kHeight, QImage::Format_RGB32);
  uint32_t noise = 11u;
  for (int y = 0; y < kHeight; ++y) {
    QRgb* line = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < kWidth; ++x) {
      noise = noise * 1664525u + 1013904223u;
      line[x] = qRgb((x + y) / 8 + int(noise >> 29), y / 3, 120 + (x / 40) % 8);
    }
  }
  if (!indexed) return image;
  return image.convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither);
}

const QByteArray& IndexedFile() {
  static const QByteArray bytes = discwriter::EncodeBmp(Picture(true));
  return bytes;
}
const QByteArray& TrueColourFile() {
  static const QByteArray bytes = discwriter::EncodeBmp(Picture(false));
  return bytes;
}

void Direct(benchmark::State& state, const QByteArray& bytes, int depth) {
  for (auto _ : state) {
    std::optional<platform::Bitmap> bitmap = platform::Bitmap::FromBmp(bytes, depth);
    if (!bitmap) state.SkipWithError("not read");
    benchmark::DoNotOptimize(bitmap->Image().constBits());
  }
  state.SetBytesProcessed(state.iterations() * bytes.size());
}

void ThroughQt(benchmark::State& state, const QByteArray& bytes, int depth) {
  for (auto _ : state) {
    QImage image = QImage::fromData(bytes, "BMP");
    if (image.isNull()) state.SkipWithError("not read");
    const bool keepIndexed = image.format() == QImage::Format_Indexed8 && depth <= 8;
    if (!keepIndexed && image.format() != QImage::Format_RGB32)
      image = image.convertToFormat(QImage::Format_RGB32);
    benchmark::DoNotOptimize(image.constBits());
  }
  state.SetBytesProcessed(state.iterations() * bytes.size());
}

void BM_Direct8(benchmark::State& s) {
  Direct(s, IndexedFile(), 8);
}
void BM_Qt8(benchmark::State& s) {
  ThroughQt(s, IndexedFile(), 8);
}
void BM_Direct8To32(benchmark::State& s) {
  Direct(s, IndexedFile(), 32);
}
void BM_Qt8To32(benchmark::State& s) {
  ThroughQt(s, IndexedFile(), 32);
}
void BM_Direct24(benchmark::State& s) {
  Direct(s, TrueColourFile(), 32);
}
void BM_Qt24(benchmark::State& s) {
  ThroughQt(s, TrueColourFile(), 32);
}

}  // namespace

BENCHMARK(BM_Direct8)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Qt8)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Direct8To32)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Qt8To32)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Direct24)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Qt24)->Unit(benchmark::kMicrosecond);

QX_BENCHMARK_MAIN_WITH_RATIOS(0.6, {"BM_Direct8", "BM_Qt8"}, {"BM_Direct8To32", "BM_Qt8To32"},
                              {"BM_Direct24", "BM_Qt24"})
