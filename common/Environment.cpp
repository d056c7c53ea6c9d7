#include "common/Environment.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QRegularExpression>
#include <QScreen>

#include "platform/Drives.h"

Environment& Env() {
  static Environment env;
  return env;
}

bool ParseScreenSpec(const QString& spec, EnvironmentOptions& options) {
  static const QRegularExpression re(QStringLiteral("^(\\d{1,5})x(\\d{1,5})(?:x(\\d{1,2}))?$"));
  const auto m = re.match(spec.trimmed().toLower());
  if (!m.hasMatch()) return false;
  const int w = m.captured(1).toInt();
  const int h = m.captured(2).toInt();
  const int bits = m.captured(3).isEmpty() ? 32 : m.captured(3).toInt();
  if (w <= 0 || h <= 0 || bits <= 0 || bits > 32) return false;
  options.screenWidth = w;
  options.screenHeight = h;
  options.colourDepth = bits;
  return true;
}

namespace {

constexpr double kPixelsPerInchToScale = 0.010416666666666666;  // 1 / 96
constexpr double kScaleFallBack = 0.1;

struct ScreenMetrics {
  int width = 0;
  int height = 0;
  int depth = 0;
  double dpi = 0;
};

ScreenMetrics MeasureScreen(const EnvironmentOptions& options) {
  ScreenMetrics m{options.screenWidth, options.screenHeight, options.colourDepth,
                  options.logicalDpi};
  const QScreen* screen = qobject_cast<QGuiApplication*>(QCoreApplication::instance())
                              ? QGuiApplication::primaryScreen()
                              : nullptr;
  if (m.width <= 0 || m.height <= 0) {
    const QSize size = screen ? screen->geometry().size() : QSize();
    m.width = size.width();
    m.height = size.height();
  }
  if (m.depth <= 0) m.depth = screen ? screen->depth() : 0;
  if (m.dpi <= 0) m.dpi = screen ? screen->logicalDotsPerInchY() : 0;
  return m;
}

// Step 1: the program's folder as a Windows path with a trailing backslash.
bool MeasureProgramDir(const EnvironmentOptions& options, Environment& env) {
  const QString host = options.programDirHost.isEmpty() ? QCoreApplication::applicationDirPath()
                                                        : options.programDirHost;
  const auto win = platform::Drives().ToWindows(host);
  env.ProgramDir = win ? platform::IncludeTrailingBackslash(*win) : QString();
  return win.has_value();
}

// Steps 3 and 4.
void MeasureDisplay(const EnvironmentOptions& options, Environment& env) {
  const ScreenMetrics m = MeasureScreen(options);
  env.ScreenScale = ScreenScaleOf(m.dpi);
  env.ScreenWidth = m.width;
  env.ScreenHeight = m.height;
  env.ColourDepth = m.depth;
}

}  // namespace

double ScreenScaleOf(double pixelsPerInch) {
  const double scale = pixelsPerInch * kPixelsPerInchToScale;
  return scale == 0 ? kScaleFallBack : scale;
}

QString ShareDirOf(const QString& programDir) {
  const QString folder = platform::ExtractFilePath(platform::ExcludeTrailingBackslash(programDir));
  return platform::IncludeTrailingBackslash(folder) + QStringLiteral("SHAREDIR\\");
}

QString SkinDirOf(const QString& programDir, int screenWidth, int colourDepth) {
  const QChar letter = screenWidth >= 800 ? QLatin1Char('8') : QLatin1Char('6');
  return programDir + QStringLiteral("Resour\\") + QLatin1Char('G') + letter +
         (colourDepth > 8 ? QStringLiteral("\\AnyPal\\") : QStringLiteral("\\WinPal\\"));
}

QString ExplorerSkinFile(const QString& programDir) {
  return programDir + QStringLiteral("Resour\\RARez.bmr");
}

bool MeasureEnvironment(const EnvironmentOptions& options) {
  Environment& env = Env();
  const bool found = MeasureProgramDir(options, env);
  env.ShareDir = found ? ShareDirOf(env.ProgramDir) : QString();
  MeasureDisplay(options, env);
  env.SizeLetter = env.ScreenWidth >= 800 ? QLatin1Char('8') : QLatin1Char('6');
  env.SkinDir = found ? SkinDirOf(env.ProgramDir, env.ScreenWidth, env.ColourDepth) : QString();
  return found;
}

bool MeasureExplorerEnvironment(const EnvironmentOptions& options) {
  Environment& env = Env();
  const bool found = MeasureProgramDir(options, env);
  MeasureDisplay(options, env);
  return found;
}

bool EnvironmentAcceptable(int colourDepth, int screenWidth, int screenHeight) {
  return !(colourDepth < 8 || screenWidth < 640 || screenHeight < 480);
}

bool UsesPalette(int colourDepth) {
  return colourDepth == 8;
}

QString IntroLogoName(int colourDepth) {
  return colourDepth >= 8 && colourDepth <= 15 ? QStringLiteral("LOGO256.BMP")
                                               : QStringLiteral("LOGORGB.BMP");
}

QString DescribeEnvironment(const Environment& env) {
  const auto yes = [](bool b) { return b ? QStringLiteral("true") : QStringLiteral("false"); };
  QString out;
  out += QStringLiteral("ProgramDir = %1\n").arg(env.ProgramDir);
  out += QStringLiteral("ShareDir = %1\n").arg(env.ShareDir);
  out += QStringLiteral("SkinDir = %1\n").arg(env.SkinDir);
  out += QStringLiteral("ScreenWidth = %1\n").arg(env.ScreenWidth);
  out += QStringLiteral("ScreenHeight = %1\n").arg(env.ScreenHeight);
  out += QStringLiteral("ColourDepth = %1\n").arg(env.ColourDepth);
  out += QStringLiteral("ScreenScale = %1\n").arg(env.ScreenScale);
  out += QStringLiteral("SizeLetter = %1\n").arg(env.SizeLetter);
  out += QStringLiteral("SoundAvailable = %1\n").arg(yes(env.SoundAvailable));
  out += QStringLiteral("VolumeControlAvailable = %1\n").arg(yes(env.VolumeControlAvailable));
  out += QStringLiteral("MidiAvailable = %1\n").arg(yes(env.MidiAvailable));
  return out;
}
