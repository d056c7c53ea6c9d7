// Reading every frame of a 100-frame 800x600 animation against plain zlib inflation of the
// same compressed stream.

#include <benchmark/benchmark.h>
#include <zlib.h>

#include <QImage>

#include "RatioReporter.h"
#include "formats/BPK.h"
#include "tools/discwriter/Bmp.h"
#include "tools/discwriter/BpkWriter.h"

namespace {

constexpr int kFrames = 100;
constexpr int kWidth = 800;
constexpr int kHeight = 600;

// Panels sliding over a textured background, like the navigator's transitions.
QImage Frame(int i, bool indexed) {
  QImage image(kWidth, kHeight, QImage::Format_RGB32);
  uint32_t noise = 7u + uint32_t(i);
  const int edge = i * kWidth / kFrames;
  for (int y = 0; y < kHeight; ++y) {
    QRgb* line = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < kWidth; ++x) {
      noise = noise * 1664525u + 1013904223u;
      const int grain = int(noise >> 29);
      line[x] = x < edge ? qRgb(20 + y / 5, 90 + grain, 40)
                         : qRgb((x + y) / 8 + grain, y / 3, 120 + (x / 40) % 8);
    }
  }
  if (!indexed) return image;
  return image.convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither);
}

struct Movie {
  QByteArray file;
  qint64 plainBytes = 0;
  explicit Movie(bool indexed) {
    discwriter::BpkWriter w;
    for (int i = 0; i < kFrames; ++i) {
      const QByteArray bmp = discwriter::EncodeBmp(Frame(i, indexed));
      plainBytes += bmp.size();
      w.AddFrame(bmp, 40);
    }
    file = w.Build();
  }
};

const Movie& Indexed() {
  static const Movie movie(true);
  return movie;
}
const Movie& TrueColour() {
  static const Movie movie(false);
  return movie;
}

void ReadFrames(benchmark::State& state, const Movie& m, int depth) {
  TBPKMovie movie(false);
  if (!movie.OpenBytes(m.file)) state.SkipWithError("not a movie");
  platform::Bitmap frame;
  for (auto _ : state) {
    movie.SeekFrame(0);
    int read = 0;
    while (movie.ReadFrame(frame, depth)) ++read;
    if (read != kFrames) state.SkipWithError("frames missing");
    benchmark::DoNotOptimize(frame.Image().constBits());
  }
  state.SetBytesProcessed(state.iterations() * m.plainBytes);
}

void PlainInflate(benchmark::State& state, const Movie& m) {
  const qsizetype dataStart = 8 + 8 * kFrames;
  QByteArray out(m.plainBytes, Qt::Uninitialized);
  for (auto _ : state) {
    uLongf outSize = uLongf(out.size());
    const int rc = uncompress(reinterpret_cast<Bytef*>(out.data()), &outSize,
                              reinterpret_cast<const Bytef*>(m.file.constData() + dataStart),
                              uLong(m.file.size() - dataStart));
    if (rc != Z_OK) state.SkipWithError("inflate failed");
    benchmark::DoNotOptimize(out.data());
  }
  state.SetBytesProcessed(state.iterations() * m.plainBytes);
}

void BM_ReadFrames8(benchmark::State& s) {
  ReadFrames(s, Indexed(), 8);
}
void BM_PlainInflate8(benchmark::State& s) {
  PlainInflate(s, Indexed());
}
void BM_ReadFrames24(benchmark::State& s) {
  ReadFrames(s, TrueColour(), 32);
}
void BM_PlainInflate24(benchmark::State& s) {
  PlainInflate(s, TrueColour());
}

}  // namespace

BENCHMARK(BM_ReadFrames8)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainInflate8)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadFrames24)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainInflate24)->Unit(benchmark::kMillisecond);

QX_BENCHMARK_MAIN_WITH_RATIOS(1.3, {"BM_ReadFrames8", "BM_PlainInflate8"},
                              {"BM_ReadFrames24", "BM_PlainInflate24"})
