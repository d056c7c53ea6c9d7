// The explorer's entry: measure the machine, open the window, run the event loop.

#include <QApplication>
#include <cstdio>

#include "AppStart.h"
#include "common/AudioEnvironment.h"
#include "common/Environment.h"
#include "explorer/uRARez.h"

int main(int argc, char** argv) {
  if (const int code = AnswerWithoutDisplay(argc, argv, ProgramKind::Explorer, "lumex"); code >= 0)
    return code;
  QApplication app(argc, argv);
  SetDesktopIdentity(ProgramKind::Explorer);
  const CommandLine line = ParseCommandLine(QApplication::arguments(), ProgramKind::Explorer);
  if (const int code = HandleCommandLine(line, ProgramKind::Explorer, "lumex"); code >= 0)
    return code;
  if (!MeasureExplorerEnvironment(EnvironmentOptionsOf(line))) {
    std::fputs("lumex: the program's folder lies on no drive\n", stderr);
    return 1;
  }
  MeasureAudioEnvironment();
  TfmRARez window(line.startPath);
  if (window.Terminated()) return 1;
  window.show();
  return QApplication::exec();
}
