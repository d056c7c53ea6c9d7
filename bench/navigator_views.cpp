// The list and description views: a full list page (ten rows of gradient titles) and a full
// description page (its lines, the title block and the screenshot), each against a plain
// 800 x 600 copy measured in the same run; and how many pixels one row of scrolling writes
// against the window's.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QFontDatabase>
#include <QWidget>
#include <cstdio>
#include <memory>

#include "RatioReporter.h"
#include "common/Environment.h"
#include "controls/DrawListBox.h"
#include "controls/PosBar.h"
#include "controls/TotalPaintBox.h"
#include "formats/DemoFile.h"
#include "navigator/NavigatorViews.h"

namespace {

constexpr int kWidth = 800;
constexpr int kHeight = 600;

QImage Pattern(int w, int h) {
  QImage image(w, h, QImage::Format_RGB32);
  for (int y = 0; y < h; ++y) {
    auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < w; ++x) line[x] = qRgb(x & 0xFF, y & 0xFF, (x ^ y) & 0xFF);
  }
  return image;
}

// The views on a window of their own, with a catalogue of 19 games.
struct Scene {
  QWidget window;
  TTotalPaintBox* main = new TTotalPaintBox(&window);
  TTotalPaintBox* tela = new TTotalPaintBox(&window);
  TDrawBox* list = new TDrawBox(&window);
  TPosBar* bar = new TPosBar(&window);
  platform::Bitmap background{Pattern(kWidth, kHeight)};
  platform::Bitmap gradient{Pattern(400, 60)};
  platform::Bitmap indicator{Pattern(40, 20)};
  platform::Bitmap mask{Pattern(348, 261)};
  platform::Bitmap screenshot;
  Layout layout;
  DemoCatalogue catalogue;
  std::unique_ptr<NavigatorViews> views;

  Scene() {
    Env().ScreenScale = 1.0;
    Env().ColourDepth = 32;
    window.resize(kWidth, kHeight);
    main->setGeometry(0, 0, kWidth, kHeight);
    bar->resize(16, 100);
    LayoutInput in;
    in.RowTextHeight = platform::MeasureText({"vkScr_01", -20, true, Qt::black}, "ÀÇÔ").height();
    in.LineTextHeight = platform::MeasureText({"vkScr_01", -14, true, Qt::black}, "ÀÇÔ").height();
    in.PosBarWidth = 16;
    layout = ComputeLayout(in);
    QString text;
    for (int p = 0; p < 8; ++p) {
      for (int w = 0; w < 30; ++w) text += QStringLiteral("demonstração ");
      text += QStringLiteral("fim.\r\n");
    }
    for (int i = 1; i <= 19; ++i) {
      DemoEntry& e = catalogue.Entry(0, i);
      e.Title = QStringLiteral("Corrida Noturna %1").arg(i);
      e.Subtitle = QStringLiteral("Velocidade");
      e.Description = text;
      e.ImageCount = 1;
    }
    catalogue.Counts[0] = 19;
    ViewContext ctx;
    ctx.Controls = {list, bar, main, tela, nullptr};
    ctx.Skin = {&background, &gradient, &indicator, &mask, &layout};
    ctx.Catalogue = &catalogue;
    ctx.Screenshot = &screenshot;
    views = std::make_unique<NavigatorViews>(std::move(ctx));
    views->Attach();
    window.show();
  }
};

// Made on first use, after the application object; freed before it.
std::unique_ptr<Scene>& ScenePtr() {
  static std::unique_ptr<Scene> scene;
  return scene;
}

Scene& TheScene() {
  if (!ScenePtr()) ScenePtr() = std::make_unique<Scene>();
  return *ScenePtr();
}

void BM_PlainCopy(benchmark::State& state) {
  const QImage background = Pattern(kWidth, kHeight);
  QImage frame(kWidth, kHeight, QImage::Format_RGB32);
  platform::Canvas canvas(frame);
  for (auto _ : state) {
    canvas.BitBlt(QPoint(0, 0), QSize(kWidth, kHeight), background, QPoint(0, 0));
    benchmark::DoNotOptimize(canvas.Pixel(0, 0));
  }
}
BENCHMARK(BM_PlainCopy)->Unit(benchmark::kMicrosecond);

void BM_ListPage(benchmark::State& state) {
  Scene& s = TheScene();
  s.views->ShowList(0, -1, true);
  for (auto _ : state) {
    s.views->List().RedrawRows();
    benchmark::DoNotOptimize(s.list->Canvas().Pixel(0, 0));
  }
  state.counters["rows"] = s.list->Items().Count();
}
BENCHMARK(BM_ListPage)->Unit(benchmark::kMicrosecond);

void BM_DescriptionPage(benchmark::State& state) {
  Scene& s = TheScene();
  s.views->State().DescribedMode = 5;
  s.views->State().DescribedEntry = 1;
  const LayoutRect& r = s.layout.ScreenshotRegion;
  s.tela->setGeometry(r.Left, r.Top, r.Width(), r.Height());
  s.views->ShowDescription(5, true);
  for (auto _ : state) {
    s.views->List().RedrawRows();
    s.views->Description().DrawTitleBlock();
    s.views->Screen().PaintTela();
    benchmark::DoNotOptimize(s.list->Canvas().Pixel(0, 0));
  }
  state.counters["lines"] = s.list->Items().Count();
}
BENCHMARK(BM_DescriptionPage)->Unit(benchmark::kMicrosecond);

// Pixels written by one row of scrolling, against the window's pixels.
void BM_ScrollOneRow(benchmark::State& state) {
  Scene& s = TheScene();
  s.views->ShowList(0, -1, true);
  int first = 1;
  int64_t pixels = 0;
  int64_t scrolls = 0;
  for (auto _ : state) {
    const int64_t before = s.views->List().PixelsDrawn();
    first = first == 1 ? 2 : 1;
    s.views->List().SetFirstVisible(first);
    pixels += s.views->List().PixelsDrawn() - before;
    ++scrolls;
  }
  state.counters["pixels_per_scroll"] = double(pixels) / double(scrolls);
  state.counters["share_of_window"] = double(pixels) / double(scrolls) / (kWidth * kHeight);
}
BENCHMARK(BM_ScrollOneRow)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  // The disc's face, so that rows and lines measure as in the navigator.
  QFontDatabase::addApplicationFont(QStringLiteral(QX_SAMPLE_DISC "/QUARX/Resour/vkScn___.ttf"));
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.PrintRatios({{"BM_ListPage", "BM_PlainCopy"}, {"BM_DescriptionPage", "BM_PlainCopy"}},
                       20.0);
  ScenePtr().reset();
  benchmark::Shutdown();
  return 0;
}
