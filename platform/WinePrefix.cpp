#include "platform/WinePrefix.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

#include "platform/Drives.h"

namespace platform {
namespace {
constexpr int kPrefixTimeoutMs = 120000;
constexpr int kRegistryTimeoutMs = 30000;

// Letters already registered as CD-ROM drives, so a later start does not run Wine twice.
QString CdRomMarker(const QString& prefix) { return prefix + "/.quarx-cdrom"; }

bool RunWine(const QString& wine, const QString& prefix, const QStringList& arguments,
             int timeoutMs, QString* error) {
  QProcess process;
  process.setProcessEnvironment(WineEnvironment(prefix));
  process.setProgram(wine);
  process.setArguments(arguments);
  process.setStandardInputFile(QProcess::nullDevice());
  process.setStandardOutputFile(QProcess::nullDevice());
  process.setStandardErrorFile(QProcess::nullDevice());
  process.start();
  if (!process.waitForStarted() || !process.waitForFinished(timeoutMs)) {
    process.kill();
    process.waitForFinished();
    if (error) *error = "Wine did not answer: " + arguments.join(' ');
    return false;
  }
  if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
    if (error) *error = QString("Wine failed (%1): %2").arg(process.exitCode()).arg(arguments.join(' '));
    return false;
  }
  return true;
}

// Points dosdevices/<letter>: at target unless it already does.
bool LinkDrive(const QString& dosdevices, QChar letter, const QString& target) {
  const QString link = dosdevices + "/" + letter.toLower() + ":";
  const QFileInfo info(link);
  if (info.isSymLink() && info.symLinkTarget() == QFileInfo(target).absoluteFilePath()) return true;
  if (info.isSymLink() || info.exists()) QFile::remove(link);
  return QFile::link(target, link);
}
}  // namespace

QString WinePrefixPath() {
  return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + "/quarx/wine";
}

QString FindWine() {
  for (const char* name : {"wine", "wine64"}) {
    const QString found = QStandardPaths::findExecutable(name);
    if (!found.isEmpty()) return found;
  }
  return {};
}

QProcessEnvironment WineEnvironment(const QString& prefix) {
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert("WINEPREFIX", prefix);
  // Without these, a fresh prefix stops to offer downloading Mono and Gecko.
  env.insert("WINEDLLOVERRIDES", "mscoree,mshtml=");
  if (!env.contains("WINEDEBUG")) env.insert("WINEDEBUG", "-all");
  return env;
}

bool PrepareWinePrefix(const QString& wine, const QString& prefix, const DriveMap& drives,
                       QString* error) {
  if (!QDir().mkpath(prefix)) {
    if (error) *error = "cannot create " + prefix;
    return false;
  }
  if (!QFileInfo::exists(prefix + "/system.reg")) {
    if (!RunWine(wine, prefix, {"wineboot", "-i"}, kPrefixTimeoutMs, error)) return false;
    QFile::remove(CdRomMarker(prefix));
  }
  const QString dosdevices = prefix + "/dosdevices";
  QDir().mkpath(dosdevices);
  QString registered;
  {
    QFile marker(CdRomMarker(prefix));
    if (marker.open(QIODevice::ReadOnly)) registered = QString::fromLatin1(marker.readAll());
  }
  QString cdroms;
  for (const auto& [letter, drive] : drives.All()) {
    // C: stays the prefix's own system drive: Windows programs expect their folders there.
    if (letter.toUpper() == 'C') continue;
    if (!LinkDrive(dosdevices, letter, drive.hostRoot)) {
      if (error) *error = QString("cannot link drive %1:").arg(letter);
      return false;
    }
    if (drive.type == DriveType::CdRom) cdroms += letter.toUpper();
  }
  for (const QChar letter : cdroms) {
    if (registered.contains(letter)) continue;
    const QString value = QString(letter.toLower()) + ":";
    if (!RunWine(wine, prefix,
                 {"reg", "add", "HKLM\\Software\\Wine\\Drives", "/v", value, "/t", "REG_SZ", "/d",
                  "cdrom", "/f"},
                 kRegistryTimeoutMs, error))
      return false;
    registered += letter;
  }
  QFile marker(CdRomMarker(prefix));
  if (marker.open(QIODevice::WriteOnly | QIODevice::Truncate)) marker.write(registered.toLatin1());
  return true;
}

}  // namespace platform
