#include "common/CommandLine.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <algorithm>

#include "platform/DiscImage.h"
#include "platform/Drives.h"

namespace {

constexpr int kMaxScale = 16;

struct Options {
  QCommandLineOption disc{QStringLiteral("disc"),
                          QStringLiteral("The disc: a disc folder or a disc image (.iso)."),
                          QStringLiteral("PATH")};
  QCommandLineOption programDir{QStringLiteral("program-dir"),
                                QStringLiteral("The program's folder on the disc."),
                                QStringLiteral("DIR")};
  QCommandLineOption screen{QStringLiteral("screen"),
                            QStringLiteral("Measure this screen instead of the primary one."),
                            QStringLiteral("WxH[xBITS]")};
  QCommandLineOption window{QStringLiteral("window"),
                            QStringLiteral("A normal window of the screen's size.")};
  QCommandLineOption scale{QStringLiteral("scale"),
                           QStringLiteral("Show the picture enlarged N times."),
                           QStringLiteral("N")};
  QCommandLineOption drive{QStringLiteral("drive"),
                           QStringLiteral("Map a drive letter (type: cdrom, fixed, removable; "
                                          "X= alone removes the letter)."),
                           QStringLiteral("X=DIR[,type]")};
  QCommandLineOption winePrefix{QStringLiteral("wine-prefix"),
                                QStringLiteral("Take drive letters from this Wine prefix."),
                                QStringLiteral("DIR")};
  QCommandLineOption help{{QStringLiteral("h"), QStringLiteral("help")},
                          QStringLiteral("Show this help.")};
  QCommandLineOption version{{QStringLiteral("v"), QStringLiteral("version")},
                             QStringLiteral("Show the version.")};
};

void SetUp(QCommandLineParser& parser, const Options& o, ProgramKind kind) {
  parser.setApplicationDescription(kind == ProgramKind::Navigator
                                       ? QStringLiteral("Quarx CD-ROM 9 navigator")
                                       : QStringLiteral("Quarx CD-ROM 9 multimedia explorer"));
  parser.addOptions(
      {o.disc, o.programDir, o.screen, o.window, o.scale, o.drive, o.winePrefix, o.help, o.version});
  if (kind == ProgramKind::Explorer)
    parser.addPositionalArgument(QStringLiteral("PATH"),
                                 QStringLiteral("Folder or file to open in the tree."),
                                 QStringLiteral("[PATH]"));
}

}  // namespace

CommandLine ParseCommandLine(const QStringList& arguments, ProgramKind kind) {
  CommandLine line;
  const Options o;
  QCommandLineParser parser;
  SetUp(parser, o, kind);
  if (!parser.parse(arguments)) {
    line.error = parser.errorText();
    return line;
  }
  line.help = parser.isSet(o.help);
  line.version = parser.isSet(o.version);
  line.window = parser.isSet(o.window);
  line.programDir = parser.value(o.programDir);
  line.disc = parser.value(o.disc);
  line.driveSpecs = parser.values(o.drive);
  line.winePrefix = parser.value(o.winePrefix);
  if (parser.isSet(o.screen) && !ParseScreenSpec(parser.value(o.screen), line.screen)) {
    line.error = QStringLiteral("Bad --screen value \"%1\": expected WxH or WxHxBITS.")
                     .arg(parser.value(o.screen));
    return line;
  }
  if (parser.isSet(o.scale)) {
    bool ok = false;
    line.scale = parser.value(o.scale).toInt(&ok);
    if (!ok || line.scale < 1 || line.scale > kMaxScale) {
      line.error = QStringLiteral("Bad --scale value \"%1\": expected 1 to %2.")
                       .arg(parser.value(o.scale))
                       .arg(kMaxScale);
      return line;
    }
  }
  const QStringList positional = parser.positionalArguments();
  if (kind == ProgramKind::Explorer && positional.size() <= 1) {
    line.startPath = positional.value(0);
  } else if (!positional.isEmpty()) {
    line.error = QStringLiteral("Unexpected argument \"%1\".").arg(positional.first());
  }
  return line;
}

QString CommandLineHelp(ProgramKind kind) {
  const Options o;
  QCommandLineParser parser;
  SetUp(parser, o, kind);
  return parser.helpText();
}

namespace {

// The navigator's folder of a disc, in whatever letter case the disc gives its names; empty
// when there is none.
QString NavigatorFolderOf(const QString& disc) {
  QStringList found = QDir(disc).entryList({QStringLiteral("quarx")},
                                           QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden);
  std::sort(found.begin(), found.end(),
            [](const QString& a, const QString& b) { return a.toUtf8() < b.toUtf8(); });
  return found.isEmpty() ? QString() : disc + QLatin1Char('/') + found.first();
}

// The host folder --disc stands for: the folder itself, or an image's cache folder.
QString DiscHostRoot(const QString& disc) {
  const QFileInfo info(disc);
  if (info.isDir()) return QDir::cleanPath(info.absoluteFilePath());
  const QString cache = platform::DiscImage::CacheFolderFor(disc);
  const QString canonical = QDir(cache).canonicalPath();
  return canonical.isEmpty() ? cache : canonical;
}

QString ProgramHostDir(const CommandLine& line) {
  if (line.programDir.isEmpty() && !line.disc.isEmpty())
    return NavigatorFolderOf(DiscHostRoot(line.disc));
  const QString dir =
      line.programDir.isEmpty() ? QCoreApplication::applicationDirPath() : line.programDir;
  return QDir::cleanPath(QFileInfo(dir).absoluteFilePath());
}

}  // namespace

bool ConfigureDrives(const CommandLine& line, QString* error, const QString& settingsFile) {
  std::shared_ptr<platform::DiscImage> image;
  if (!line.disc.isEmpty()) {
    const QFileInfo info(line.disc);
    if (!info.exists()) {
      if (error) *error = QStringLiteral("The disc \"%1\" does not exist.").arg(line.disc);
      return false;
    }
    if (!info.isDir()) {
      image = platform::DiscImage::Open(
          line.disc, platform::DiscImage::CacheFolderFor(line.disc), error);
      if (!image) return false;
    }
  }
  const QString programDir = ProgramHostDir(line);
  if (programDir.isEmpty()) {
    if (error) *error = QStringLiteral("The disc \"%1\" has no QUARX folder.").arg(line.disc);
    return false;
  }
  // The disc is the folder above the program's, or the --disc folder or image itself.
  const QString disc = line.disc.isEmpty() ? QFileInfo(programDir).path() : DiscHostRoot(line.disc);
  platform::DriveMap map = platform::DriveMap::Default(disc);
  // The image stands where the disc folder would: its own CD-ROM letter.
  if (image)
    map.MapImage(QLatin1Char('D'), image, QFileInfo(line.disc).completeBaseName().toUpper());
  if (!line.winePrefix.isEmpty()) map.ApplyWinePrefix(line.winePrefix);
  map.ApplySettingsFile(settingsFile.isEmpty() ? platform::DriveMap::SettingsFilePath()
                                               : settingsFile);
  for (const QString& spec : line.driveSpecs) {
    if (!map.ApplySpec(spec)) {
      if (error)
        *error = QStringLiteral("Bad --drive value \"%1\": expected X=DIR[,type].").arg(spec);
      return false;
    }
  }
  if (!map.ToWindows(programDir)) {
    for (char letter = 'D'; letter <= 'Z'; ++letter) {
      if (map.Find(QLatin1Char(letter))) continue;
      map.Map(QLatin1Char(letter), disc, platform::DriveType::CdRom);
      break;
    }
  }
  platform::Drives() = map;
  return true;
}

EnvironmentOptions EnvironmentOptionsOf(const CommandLine& line) {
  EnvironmentOptions options = line.screen;
  options.programDirHost = ProgramHostDir(line);
  return options;
}
