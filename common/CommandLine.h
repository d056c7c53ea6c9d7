#pragma once

// The programs' command line. The originals took none (the explorer an optional path); these
// options stand in for what a 1998 machine told them by itself: where the program lies on the
// disc, the screen, and which folders the drive letters stand for.

#include <QString>
#include <QStringList>

#include "common/Environment.h"

enum class ProgramKind { Navigator, Explorer };

struct CommandLine {
  QString programDir;         // --program-dir: host folder standing for the executable's folder
  QString disc;               // --disc: a disc folder (names in any case) or a disc image file
  EnvironmentOptions screen;  // --screen WxH[xBITS]: sizes and depth; zero when not given
  bool window = false;        // --window: a normal window instead of full screen
  int scale = 1;              // --scale N: enlarged N times with crisp pixels
  QStringList driveSpecs;     // --drive X=DIR[,type], in order
  QString winePrefix;         // --wine-prefix DIR
  bool help = false;
  bool version = false;
  QString startPath;  // the explorer's optional PATH
  QString error;      // empty when the line was understood
};

// arguments as QCoreApplication::arguments() gives them (the program name first).
CommandLine ParseCommandLine(const QStringList& arguments, ProgramKind kind);
QString CommandLineHelp(ProgramKind kind);

// Builds the process's drive map: the default one for the disc above the program's folder
// (or the --disc folder or image, whose navigator folder is then the program's folder),
// then the Wine prefix's letters, the user's drives.ini, and the --drive options in order.
// When the program's folder ends up on no drive, the disc is given the first free letter from
// D: on, so the program always finds its own files. False (with error set) on a bad --drive.
[[nodiscard]] bool ConfigureDrives(const CommandLine& line, QString* error,
                                   const QString& settingsFile = {});

// The measurement's options: the --screen values and the program's host folder.
EnvironmentOptions EnvironmentOptionsOf(const CommandLine& line);
