#pragma once

// Stand-in desktop tools (wine, xdg-open, xdg-mime, gsettings ...) for launch tests: small
// scripts in a folder that is the whole PATH for the test's life. Each appends one line to a log:
// its name, each argument, "@" + its working folder, and the Wine variables, tab-separated.

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <cstdint>
#include <ostream>

namespace testsupport {

class StandIns {
 public:
  StandIns();
  ~StandIns();
  StandIns(const StandIns&) = delete;
  StandIns& operator=(const StandIns&) = delete;

  // A tool that logs its call, then runs extraShell (sh commands; may use $1 ...) and exits
  // with exitCode.
  void Add(const QString& name, const QString& extraShell = {}, int exitCode = 0);
  // The stand-in wine: "wineboot" makes $WINEPREFIX/system.reg, as a prefix creation does.
  void AddWine();
  // xdg-mime answering "query default TYPE" with desktopId for mimeType, nothing otherwise.
  void AddXdgMime(const QString& mimeType, const QString& desktopId);
  // A desktop entry in the stand-in data folder (XDG_DATA_HOME) with its Exec line.
  void AddDesktopEntry(const QString& desktopId, const QString& exec);

  QString Bin() const { return dir_.path() + "/bin"; }
  QString Home() const { return dir_.path() + "/home"; }
  QString LogPath() const { return dir_.path() + "/calls.log"; }
  // The logged lines, each split at tabs.
  QList<QStringList> Calls() const;
  // Calls of one tool only.
  QList<QStringList> CallsOf(const QString& name) const;
  // Waits until the log holds count lines (a detached program writes its own); false after
  // 10 s.
  bool WaitForCalls(int count) const;

 private:
  QTemporaryDir dir_;
  bool testMode_ = false;
  QByteArray oldPath_, oldDataHome_, oldDataDirs_, oldLog_, oldDesktop_, oldBus_, oldDisplay_,
      oldRuntime_;
};

// A minimal PE image (one ".rsrc" section) with a version resource of fileVersionMS, or
// without one when withVersion is false. pe32Plus writes a 64-bit image.
QByteArray MakePeImage(uint32_t fileVersionMS, bool withVersion = true, bool pe32Plus = false);

}  // namespace testsupport

// Readable test failures for Qt strings and lists of them.
QT_BEGIN_NAMESPACE
inline void PrintTo(const QString& text, std::ostream* out) {
  *out << '"' << text.toStdString() << '"';
}
inline void PrintTo(const QStringList& list, std::ostream* out) {
  *out << "{";
  for (const QString& s : list) *out << " \"" << s.toStdString() << "\"";
  *out << " }";
}
QT_END_NAMESPACE
