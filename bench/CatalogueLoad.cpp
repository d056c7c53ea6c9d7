// Loading a catalogue of 95 description files against merely reading the bytes that the
// reader parses from each of them.

#include <benchmark/benchmark.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include "RatioReporter.h"
#include "formats/DemoFile.h"
#include "platform/Drives.h"
#include "tools/discwriter/Bmp.h"
#include "tools/discwriter/DemWriter.h"

namespace {

constexpr int kFiles = 95;

QByteArray Picture(int seed) {
  QImage image(348, 261, QImage::Format_RGB32);
  uint32_t noise = uint32_t(seed) * 2654435761u + 1u;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) {
      noise = noise * 1664525u + 1013904223u;
      image.setPixel(x, y, qRgb(x / 2, y / 2, int(noise >> 28) * 8));
    }
  return discwriter::EncodeBmp(image);
}

struct Disc {
  QTemporaryDir dir;
  QStringList hostFiles;
  std::vector<qint64> parsedBytes;  // what the reader consumes of each file, in load order
  QString shareDir;

  Disc() {
    QVector<discwriter::DemPicture> set;
    for (int k = 0; k < 11; ++k) set.append({Picture(k), {}, {}});
    QDir().mkpath(dir.path() + "/SHAREDIR/DemoData");
    for (int i = 0; i < kFiles; ++i) {
      discwriter::DemWriter w;
      w.Category = i % kCategoryCount;
      w.Title = QStringLiteral("Demonstração número %1").arg(i);
      w.Subtitle = QStringLiteral("Versão 1.%1").arg(i);
      w.Description = QString(QStringLiteral("Um parágrafo de descrição da demo. ")).repeated(30) +
                      QStringLiteral("\r\n") + QStringLiteral("Requisitos: 8 MB. ").repeated(5);
      w.Reserved1 = QByteArray(64, 'r');
      w.Trailing = QByteArray(200, 't');
      w.MainCommand = QStringLiteral("//95 DEMO%1\\SETUP.EXE //31 DEMO%1\\INSTALL.EXE").arg(i);
      w.Folder = QStringLiteral("DEMO%1").arg(i);
      w.DirectCommand = QStringLiteral("DEMO%1\\RUN.EXE").arg(i);
      w.HowTo = QStringLiteral("//mi Demos\\Demo %1").arg(i);
      w.HasLogo = 1;
      w.PaletteSet = set;
      w.TrueColourSet = set;
      w.CompressionLevel = 1;
      discwriter::DemLayout layout;
      const QString name = QStringLiteral("DEMO%1.dem").arg(i, 3, 10, QChar('0'));
      QFile f(dir.path() + "/SHAREDIR/DemoData/" + name);
      if (!f.open(QIODevice::WriteOnly)) std::abort();
      f.write(w.Build(&layout));
      hostFiles << f.fileName();
      parsedBytes.push_back(layout.PictureDataOffset);
    }
    platform::Drives().Map(QChar('T'), dir.path(), platform::DriveType::CdRom);
    shareDir = QStringLiteral("T:\\SHAREDIR\\");
  }
};

Disc& TheDisc() {
  static Disc disc;
  return disc;
}

void BM_LoadCatalogue(benchmark::State& state) {
  Disc& disc = TheDisc();
  DemoCatalogue catalogue;
  for (auto _ : state) {
    catalogue.ClearCounts();
    if (LoadCatalogue(catalogue, disc.shareDir, 24) != kFiles) state.SkipWithError("files lost");
    benchmark::DoNotOptimize(catalogue.Counts.data());
  }
}

void BM_ReadParsedBytes(benchmark::State& state) {
  Disc& disc = TheDisc();
  QByteArray buffer;
  for (auto _ : state) {
    for (int i = 0; i < kFiles; ++i) {
      QFile f(disc.hostFiles[i]);
      if (!f.open(QIODevice::ReadOnly)) state.SkipWithError("cannot open");
      buffer = f.read(disc.parsedBytes[size_t(i)]);
      benchmark::DoNotOptimize(buffer.constData());
    }
  }
}

}  // namespace

BENCHMARK(BM_LoadCatalogue)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ReadParsedBytes)->Unit(benchmark::kMicrosecond);

QX_BENCHMARK_MAIN_WITH_RATIOS(1.5, {"BM_LoadCatalogue", "BM_ReadParsedBytes"})
