#include "StandIns.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QThread>
#include <cstring>

namespace testsupport {
namespace {
const char* const kLogVar = "QUARX_STUB_LOG";

QByteArray Save(const char* name) {
  return qgetenv(name);
}
void Restore(const char* name, const QByteArray& value) {
  if (value.isNull())
    qunsetenv(name);
  else
    qputenv(name, value);
}

void Put16(QByteArray& b, int at, uint16_t v) {
  b[at] = char(v & 0xFF);
  b[at + 1] = char(v >> 8);
}
void Put32(QByteArray& b, int at, uint32_t v) {
  Put16(b, at, uint16_t(v & 0xFFFF));
  Put16(b, at + 2, uint16_t(v >> 16));
}
}  // namespace

StandIns::StandIns() {
  // Qt's test mode would put the data folders elsewhere than XDG_DATA_HOME says.
  testMode_ = QStandardPaths::isTestModeEnabled();
  QStandardPaths::setTestModeEnabled(false);
  QDir().mkpath(Bin());
  QDir().mkpath(Home() + "/data/applications");
  oldPath_ = Save("PATH");
  oldDataHome_ = Save("XDG_DATA_HOME");
  oldDataDirs_ = Save("XDG_DATA_DIRS");
  oldLog_ = Save(kLogVar);
  oldDesktop_ = Save("XDG_CURRENT_DESKTOP");
  oldBus_ = Save("DBUS_SESSION_BUS_ADDRESS");
  oldDisplay_ = Save("DISPLAY");
  oldRuntime_ = Save("XDG_RUNTIME_DIR");
  // Only the stand-ins: a tool installed on the machine (a real Wine) must not answer.
  qputenv("PATH", Bin().toLocal8Bit());
  qputenv("XDG_DATA_HOME", (Home() + "/data").toLocal8Bit());
  // The system folders stay: the MIME database lives there.
  qputenv("XDG_DATA_DIRS", (Home() + "/sysdata:/usr/local/share:/usr/share").toLocal8Bit());
  qputenv(kLogVar, LogPath().toLocal8Bit());
  qunsetenv("XDG_CURRENT_DESKTOP");
  qunsetenv("DBUS_SESSION_BUS_ADDRESS");
  qunsetenv("DISPLAY");
  // A private runtime folder: an explorer or navigator the user runs meanwhile answers on the
  // real one and must not take part in the test.
  QDir().mkpath(Home() + "/runtime");
  QFile::setPermissions(Home() + "/runtime",
                        QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  qputenv("XDG_RUNTIME_DIR", (Home() + "/runtime").toLocal8Bit());
}

StandIns::~StandIns() {
  QStandardPaths::setTestModeEnabled(testMode_);
  Restore("PATH", oldPath_);
  Restore("XDG_DATA_HOME", oldDataHome_);
  Restore("XDG_DATA_DIRS", oldDataDirs_);
  Restore(kLogVar, oldLog_);
  Restore("XDG_CURRENT_DESKTOP", oldDesktop_);
  Restore("DBUS_SESSION_BUS_ADDRESS", oldBus_);
  Restore("DISPLAY", oldDisplay_);
  Restore("XDG_RUNTIME_DIR", oldRuntime_);
}

void StandIns::Add(const QString& name, const QString& extraShell, int exitCode) {
  const QString script =
      "#!/bin/sh\nPATH=/usr/bin:/bin\n"
      "{ printf '%s' \"${0##*/}\"; for a in \"$@\"; do printf '\\t%s' \"$a\"; done;\n"
      "  printf '\\t@%s\\tWINEPREFIX=%s\\tWINEDLLOVERRIDES=%s\\n' \"$(pwd -P)\" \"$WINEPREFIX\" "
      "\"$WINEDLLOVERRIDES\"; } >> \"$" +
      QString(kLogVar) + "\"\n" + extraShell + "\nexit " + QString::number(exitCode) + "\n";
  QFile file(Bin() + "/" + name);
  file.open(QIODevice::WriteOnly | QIODevice::Truncate);
  file.write(script.toUtf8());
  file.close();
  file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

void StandIns::AddWine() {
  Add("wine",
      "if [ \"$1\" = wineboot ]; then mkdir -p \"$WINEPREFIX\" && : > "
      "\"$WINEPREFIX/system.reg\"; fi");
}

void StandIns::AddXdgMime(const QString& mimeType, const QString& desktopId) {
  Add("xdg-mime", "if [ \"$1\" = query ] && [ \"$3\" = '" + mimeType + "' ]; then echo '" +
                      desktopId + "'; fi");
}

void StandIns::AddDesktopEntry(const QString& desktopId, const QString& exec) {
  QFile file(Home() + "/data/applications/" + desktopId);
  file.open(QIODevice::WriteOnly | QIODevice::Truncate);
  file.write(("[Desktop Entry]\nType=Application\nName=Reader\nExec=" + exec + "\n").toUtf8());
}

QList<QStringList> StandIns::Calls() const {
  QList<QStringList> calls;
  QFile file(LogPath());
  if (!file.open(QIODevice::ReadOnly)) return calls;
  QByteArray text = file.readAll();
  // A line still being written is not a call yet.
  text.truncate(text.lastIndexOf('\n') + 1);
  for (const QByteArray& line : text.split('\n'))
    if (!line.isEmpty()) calls << QString::fromUtf8(line).split('\t');
  return calls;
}

QList<QStringList> StandIns::CallsOf(const QString& name) const {
  QList<QStringList> calls;
  for (const QStringList& call : Calls())
    if (!call.isEmpty() && call.first() == name) calls << call;
  return calls;
}

bool StandIns::WaitForCalls(int count) const {
  // A detached program runs on its own; only its log tells when it has run.
  QDeadlineTimer deadline(10000);
  while (Calls().size() < count) {
    if (deadline.hasExpired()) return false;
    QThread::msleep(5);
  }
  return true;
}

QByteArray MakePeImage(uint32_t fileVersionMS, bool withVersion, bool pe32Plus) {
  const int optionalSize = pe32Plus ? 240 : 224;
  const int pe = 0x40;
  const int sectionTable = pe + 24 + optionalSize;
  const int raw = 0x200;
  const uint32_t rva = 0x1000;
  QByteArray b(raw + 0x100, '\0');
  b[0] = 'M';
  b[1] = 'Z';
  Put32(b, 0x3C, pe);
  b[pe] = 'P';
  b[pe + 1] = 'E';
  Put16(b, pe + 4, pe32Plus ? 0x8664 : 0x14C);
  Put16(b, pe + 6, 1);
  Put16(b, pe + 20, uint16_t(optionalSize));
  const int opt = pe + 24;
  Put16(b, opt, pe32Plus ? 0x20B : 0x10B);
  const int countField = pe32Plus ? 108 : 92;
  const int dirs = pe32Plus ? 112 : 96;
  Put32(b, opt + countField, 16);
  Put32(b, opt + dirs + 16, withVersion ? rva : 0);
  Put32(b, opt + dirs + 20, withVersion ? 0x100 : 0);
  std::memcpy(b.data() + sectionTable, ".rsrc", 5);
  Put32(b, sectionTable + 8, 0x100);
  Put32(b, sectionTable + 12, rva);
  Put32(b, sectionTable + 16, 0x100);
  Put32(b, sectionTable + 20, raw);
  if (!withVersion) return b;
  // Type 16 -> name 1 -> language 0x409 -> the data entry -> VS_VERSIONINFO.
  Put16(b, raw + 14, 1);
  Put32(b, raw + 16, 16);
  Put32(b, raw + 20, 0x80000000u | 0x18);
  Put16(b, raw + 0x18 + 14, 1);
  Put32(b, raw + 0x18 + 16, 1);
  Put32(b, raw + 0x18 + 20, 0x80000000u | 0x30);
  Put16(b, raw + 0x30 + 14, 1);
  Put32(b, raw + 0x30 + 16, 0x409);
  Put32(b, raw + 0x30 + 20, 0x48);
  const int info = 0x58;
  Put32(b, raw + 0x48, rva + info);
  Put32(b, raw + 0x48 + 4, 92);
  const int v = raw + info;
  Put16(b, v, 92);
  Put16(b, v + 2, 52);
  const char16_t key[] = u"VS_VERSION_INFO";
  for (int i = 0; i < 16; ++i) Put16(b, v + 6 + i * 2, uint16_t(key[i]));
  Put32(b, v + 40, 0xFEEF04BD);
  Put32(b, v + 44, 0x10000);
  Put32(b, v + 48, fileVersionMS);
  Put32(b, v + 52, 7);
  Put32(b, v + 56, fileVersionMS);
  return b;
}

}  // namespace testsupport
