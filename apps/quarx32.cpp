// The navigator's entry: the command line, the single-instance rule, the main window and the
// event loop.

#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "AppStart.h"
#include "common/Environment.h"
#include "navigator/uMain.h"
#include "platform/Allocator.h"
#include "platform/SingleInstance.h"
#include "platform/TerminationSignals.h"

namespace {

// --scale must act before the application object exists: Qt reads its scale factor then.
// Whole factors keep every pixel square and crisp; a bad value is reported by the parser.
void ApplyScaleOption(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    const char* value = nullptr;
    if (std::strcmp(argv[i], "--scale") == 0 && i + 1 < argc)
      value = argv[i + 1];
    else if (std::strncmp(argv[i], "--scale=", 8) == 0)
      value = argv[i] + 8;
    if (!value) continue;
    const int n = std::atoi(value);
    if (n >= 1 && n <= 16) {
      qputenv("QT_SCALE_FACTOR", QByteArray::number(n));
      qputenv("QT_SCALE_FACTOR_ROUNDING_POLICY", "PassThrough");
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  platform::TuneAllocatorForStartUp();
  if (const int code = AnswerWithoutDisplay(argc, argv, ProgramKind::Navigator, "quarx32");
      code >= 0)
    return code;
  ApplyScaleOption(argc, argv);
  QApplication app(argc, argv);
  SetDesktopIdentity(ProgramKind::Navigator);
  QApplication::setApplicationName(QStringLiteral("Quarx CD-ROM 9"));
  const CommandLine line = ParseCommandLine(QApplication::arguments(), ProgramKind::Navigator);
  if (const int code = HandleCommandLine(line, ProgramKind::Navigator, "quarx32"); code >= 0)
    return code;

  platform::QuitOnTerminationSignals();
  // A second start wakes the first and leaves without showing anything.
  platform::SingleInstance instance(QStringLiteral("velOrbint_KVR9"));
  if (!instance.Acquire()) return 0;

  NavigatorOptions options;
  options.Environment = EnvironmentOptionsOf(line);
  options.Windowed = line.window;
  options.IntroMovie = true;
  TfmMain main(options);
  if (main.Terminated() || platform::TerminationRequested()) return 0;
  // A wake-up that came while the window was starting is delivered here.
  instance.SetOnWake([&main] { main.RestoreFromWake(); });
  return app.exec();
}
