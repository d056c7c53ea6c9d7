#pragma once

// The measured environment: the process-wide values every part of both programs reads.
// Folder values are Windows paths over the drive map and always end with a backslash.

#include <QChar>
#include <QString>
#include <QStringList>

struct Environment {
  QString ProgramDir;  // folder of the executable, e.g. "D:\QUARX\"
  QString ShareDir;    // parent of ProgramDir + "SHAREDIR\"
  QString SkinDir;     // ProgramDir + "Resour\G8\AnyPal\" ... (navigator only)
  int ScreenWidth = 0;
  int ScreenHeight = 0;
  int ColourDepth = 0;
  double ScreenScale = 1.0;  // pixels per inch / 96
  QChar SizeLetter = QChar('8');
  bool SoundAvailable = false;
  bool VolumeControlAvailable = false;
  bool MidiAvailable = false;
};

// The process's environment values.
Environment& Env();

// What the command line says about the machine, for the measurement.
struct EnvironmentOptions {
  QString programDirHost;  // host folder of the executable (or --program-dir)
  int screenWidth = 0;     // 0: measure the primary screen
  int screenHeight = 0;
  int colourDepth = 0;     // 0: measure
  double logicalDpi = 0;   // 0: measure
};

// Parses "WxH" or "WxHxBITS"; false on malformed text.
[[nodiscard]] bool ParseScreenSpec(const QString& spec, EnvironmentOptions& options);
