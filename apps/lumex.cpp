// The explorer's entry. Until its window lands this reports the measured environment.

#include <QApplication>
#include <cstdio>

#include "AppStart.h"
#include "common/Environment.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  const CommandLine line = ParseCommandLine(QApplication::arguments(), ProgramKind::Explorer);
  if (const int code = HandleCommandLine(line, ProgramKind::Explorer, "lumex"); code >= 0)
    return code;
  if (!MeasureExplorerEnvironment(EnvironmentOptionsOf(line))) {
    std::fputs("lumex: the program's folder lies on no drive\n", stderr);
    return 1;
  }
  std::fputs(qPrintable(DescribeEnvironment(Env())), stdout);
  std::printf("StartPath = %s\n", qPrintable(line.startPath));
  return 0;
}
