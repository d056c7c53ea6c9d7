// The navigator's entry. Until its main window lands this reports the measured environment.

#include <QApplication>
#include <cstdio>

#include "AppStart.h"
#include "common/Environment.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  const CommandLine line = ParseCommandLine(QApplication::arguments(), ProgramKind::Navigator);
  if (const int code = HandleCommandLine(line, ProgramKind::Navigator, "quarx32"); code >= 0)
    return code;
  if (!MeasureEnvironment(EnvironmentOptionsOf(line))) {
    std::fputs("quarx32: the program's folder lies on no drive\n", stderr);
    return 1;
  }
  const Environment& env = Env();
  std::fputs(qPrintable(DescribeEnvironment(env)), stdout);
  std::printf(
      "Acceptable = %s\n",
      EnvironmentAcceptable(env.ColourDepth, env.ScreenWidth, env.ScreenHeight) ? "true" : "false");
  return 0;
}
