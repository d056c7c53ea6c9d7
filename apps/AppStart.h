#pragma once

// What both programs do with their command line before their windows exist.

#include <QString>
#include <cstdio>

#include "common/CommandLine.h"

// Handles --help, --version, bad options and the drive map. Returns the exit code when the
// program should end at once, -1 when it should go on.
inline int HandleCommandLine(const CommandLine& line, ProgramKind kind, const char* name) {
  if (!line.error.isEmpty()) {
    std::fprintf(stderr, "%s: %s\nTry '%s --help'.\n", name, qPrintable(line.error), name);
    return 2;
  }
  if (line.help) {
    std::fputs(qPrintable(CommandLineHelp(kind)), stdout);
    return 0;
  }
  if (line.version) {
    std::printf("%s %s\n", name, QX_VERSION);
    return 0;
  }
  QString error;
  if (!ConfigureDrives(line, &error)) {
    std::fprintf(stderr, "%s: %s\n", name, qPrintable(error));
    return 2;
  }
  return -1;
}
