// viewtour PROGRAM_DIR SCREEN VIEW [DEMO.dem]
//   SCREEN: WxHxBITS (e.g. 800x600x32); VIEW: list, page, ragged, viewer, credits.
// Starts the navigator's window (windowed) on the disc and shows one view directly, then runs
// until closed. The demo defaults to the first game.

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QTimer>
#include <cstdio>

#include "common/Environment.h"
#include "controls/TotalPaintBox.h"
#include "controls/Transbut.h"
#include "formats/DemoFile.h"
#include "navigator/NavigatorViews.h"
#include "navigator/uMain.h"
#include "platform/Drives.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  const QStringList args = QApplication::arguments();
  if (args.size() < 4) {
    std::fprintf(stderr, "usage: viewtour PROGRAM_DIR WxHxBITS list|page|ragged|viewer|credits [DEMO]\n");
    return 2;
  }
  // The disc is the folder above the program's: drive D: as the navigator sees it.
  const QString programDir = QDir(args[1]).absolutePath();
  platform::Drives() = platform::DriveMap::Default(QFileInfo(programDir).absolutePath());
  NavigatorOptions options;
  options.Environment.programDirHost = programDir;
  if (!ParseScreenSpec(args[2], options.Environment)) return 2;
  options.Windowed = true;
  const QString view = args[3];
  const QString demo = args.size() > 4 ? args[4] : QString();
  TfmMain main(options);
  if (main.Terminated()) return 1;
  QTimer::singleShot(300, &main, [&] {
    NavigatorViews& v = *main.Views;
    ViewState& s = v.State();
    int category = 0;
    int entry = 1;
    for (int c = 0; c < kCategoryCount && !demo.isEmpty(); ++c)
      for (int i = 1; i <= main.Catalogue->Counts[c]; ++i)
        if (main.Catalogue->Entry(c, i).DemFile.compare(demo, Qt::CaseInsensitive) == 0) {
          category = c;
          entry = i;
        }
    if (view == QLatin1String("list")) {
      s.SelectedEntry[category] = entry;
      v.ShowList(category, -1, true);
      v.StepLogo();
      std::printf("shown\n");
      std::fflush(stdout);
      return;
    }
    s.DescribedMode = category + 5;
    s.DescribedEntry = entry;
    auto* tela = qobject_cast<TTotalPaintBox*>(main.Control(QStringLiteral("pbTela")));
    const LayoutRect& r = main.Layout.ScreenshotRegion;
    tela->setGeometry(r.Left, r.Top, r.Width(), r.Height());
    tela->SetVisible(true);
    if (view == QLatin1String("ragged"))
      if (auto* align = qobject_cast<TGButton*>(main.Control(QStringLiteral("gtbAlign"))))
        align->SetShowUp2Pic(true);
    v.ShowDescription(category + 5, true);
    v.StepLogo();
    if (view == QLatin1String("viewer")) v.EnterViewerMode(kViewerMode, category + 5, true);
    if (view == QLatin1String("credits")) v.EnterViewerMode(kCreditsMode, category + 5, true);
    std::printf("shown\n");
    std::fflush(stdout);
  });
  return app.exec();
}
