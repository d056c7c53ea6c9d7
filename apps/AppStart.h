#pragma once

// What both programs do with their command line before their windows exist.

#include <QApplication>
#include <QCoreApplication>
#include <QIcon>
#include <QString>
#include <QStringList>
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

// The desktop file the windows belong to (docks and task bars take its icon) and the window
// icon itself, which travels inside the program for systems where it is not installed.
inline void SetDesktopIdentity(ProgramKind kind) {
  const QString id = kind == ProgramKind::Navigator ? QStringLiteral("org.quarx.quarx32")
                                                    : QStringLiteral("org.quarx.lumex");
  QGuiApplication::setDesktopFileName(id);
  QIcon icon;
  for (const char* size : {"64x64", "256x256"})
    icon.addFile(QStringLiteral(":/icons/%1/apps/%2.png").arg(QLatin1String(size), id));
  QApplication::setWindowIcon(QIcon::fromTheme(id, icon));
}

// --help and --version answer before the graphical application object exists: that one needs a
// display, and these must work anywhere (over ssh, in a script). Returns the exit code when the
// line asked for one of them, -1 otherwise; any other line, including one with options of Qt's
// own that only the graphical object understands, is left to HandleCommandLine.
inline int AnswerWithoutDisplay(int argc, char** argv, ProgramKind kind, const char* name) {
  QStringList arguments;
  for (int i = 0; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
  const CommandLine line = ParseCommandLine(arguments, kind);
  if (!line.error.isEmpty() || !(line.help || line.version)) return -1;
  QCoreApplication core(argc, argv);  // the help names the program from its arguments
  return HandleCommandLine(line, kind, name);
}
