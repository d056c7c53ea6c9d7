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
  int colourDepth = 0;    // 0: measure
  double logicalDpi = 0;  // 0: measure
};

// Parses "WxH" or "WxHxBITS"; false on malformed text.
[[nodiscard]] bool ParseScreenSpec(const QString& spec, EnvironmentOptions& options);

// The navigator's measurement: ProgramDir (the host folder turned into a Windows path through
// Drives()), ShareDir, ScreenScale, the screen metrics, SizeLetter and SkinDir. Run at start-up
// and again after a display change. The audio flags are left alone (the audio layer sets
// them). False, with ProgramDir empty, when the program's folder lies on no mapped drive.
bool MeasureEnvironment(const EnvironmentOptions& options);
// The explorer's: ProgramDir, ScreenScale and the screen metrics only.
bool MeasureExplorerEnvironment(const EnvironmentOptions& options);

// ScreenScale for a screen's pixels per inch: dpi / 96, or 0.1 when that comes out as 0.
double ScreenScaleOf(double pixelsPerInch);
// ShareDir for a ProgramDir: "D:\NAV\" and "D:\" both give "D:\SHAREDIR\".
QString ShareDirOf(const QString& programDir);
// SkinDir for a ProgramDir and screen: ProgramDir + "Resour\G8\AnyPal\" and the like.
QString SkinDirOf(const QString& programDir, int screenWidth, int colourDepth);
// The explorer's skin container: ProgramDir + "Resour\RARez.bmr".
QString ExplorerSkinFile(const QString& programDir);

// The minimum display: at least 8 bits per pixel and 640 x 480. Otherwise message 0 follows.
bool EnvironmentAcceptable(int colourDepth, int screenWidth, int screenHeight);

// Palette policy. Only at exactly 8 bits per pixel does the main window realise the palette
// of its background picture (deeper displays need none; shallower ones are refused).
bool UsesPalette(int colourDepth);
// The intro's logo picture: "LOGO256.BMP" at 8 to 15 bits per pixel, "LOGORGB.BMP" otherwise.
QString IntroLogoName(int colourDepth);

// The measured values, one "Name = value" line each, for diagnostics.
QString DescribeEnvironment(const Environment& env);
