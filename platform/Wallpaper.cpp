#include "platform/Wallpaper.h"

#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>
#include <iterator>

namespace platform {
namespace {
constexpr int kToolTimeoutMs = 5000;

bool Run(const QString& program, const QStringList& arguments, QByteArray* output = nullptr) {
  const QString tool = QStandardPaths::findExecutable(program);
  if (tool.isEmpty()) return false;
  QProcess process;
  process.setStandardInputFile(QProcess::nullDevice());
  process.start(tool, arguments);
  if (!process.waitForFinished(kToolTimeoutMs)) {
    process.kill();
    process.waitForFinished();
    return false;
  }
  if (output) *output = process.readAllStandardOutput();
  return process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

// A GVariant string literal.
QString GVariantString(const QString& text) {
  QString escaped = text;
  escaped.replace("\\", "\\\\").replace("'", "\\'");
  return "'" + escaped + "'";
}

bool ViaPortal(const QString& uri) {
  // Without a session bus there is no portal to ask.
  if (qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS")) return false;
  return Run("gdbus", {"call", "--session", "--dest", "org.freedesktop.portal.Desktop",
                       "--object-path", "/org/freedesktop/portal/desktop", "--method",
                       "org.freedesktop.portal.Wallpaper.SetWallpaperURI", "''", GVariantString(uri),
                       "{'show-preview': <false>, 'set-on': <'background'>}"});
}

bool ViaGnome(const QString& uri) {
  const QString value = GVariantString(uri);
  if (!Run("gsettings", {"set", "org.gnome.desktop.background", "picture-uri", value}))
    return false;
  // The dark style has a picture of its own (GNOME 42 and later); older ones lack the key.
  Run("gsettings", {"set", "org.gnome.desktop.background", "picture-uri-dark", value});
  return true;
}

bool ViaKde(const QString& path) { return Run("plasma-apply-wallpaperimage", {path}); }

bool ViaXfce(const QString& path) {
  QByteArray listing;
  if (!Run("xfconf-query", {"-c", "xfce4-desktop", "-l"}, &listing)) return false;
  bool any = false;
  for (const QByteArray& line : listing.split('\n')) {
    const QString property = QString::fromUtf8(line).trimmed();
    if (!property.endsWith("/last-image")) continue;
    any = Run("xfconf-query", {"-c", "xfce4-desktop", "-p", property, "-s", path}) || any;
  }
  if (any) return true;
  return Run("xfconf-query", {"-c", "xfce4-desktop", "-p",
                              "/backdrop/screen0/monitor0/workspace0/last-image", "-n", "-t",
                              "string", "-s", path});
}
}  // namespace

WallpaperResult SetDesktopWallpaper(const QString& hostPath) {
  const QString path = QFileInfo(hostPath).absoluteFilePath();
  const QString uri = QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded);
  if (ViaPortal(uri)) return {true, "portal"};
  // The desktop in use is asked first; the others follow for sessions that do not say.
  const QString desktop = qEnvironmentVariable("XDG_CURRENT_DESKTOP").toLower();
  struct Way {
    const char* name;
    QStringList markers;
    bool (*set)(const QString& uri, const QString& path);
  };
  const Way ways[] = {
      {"gnome", {"gnome", "unity", "budgie", "pantheon"},
       [](const QString& u, const QString&) { return ViaGnome(u); }},
      {"kde", {"kde"}, [](const QString&, const QString& p) { return ViaKde(p); }},
      {"xfce", {"xfce"}, [](const QString&, const QString& p) { return ViaXfce(p); }},
  };
  bool tried[std::size(ways)] = {};
  for (size_t i = 0; i < std::size(ways); ++i)
    for (const QString& marker : ways[i].markers)
      if (!tried[i] && desktop.contains(marker)) {
        tried[i] = true;
        if (ways[i].set(uri, path)) return {true, ways[i].name};
      }
  for (size_t i = 0; i < std::size(ways); ++i)
    if (!tried[i] && ways[i].set(uri, path)) return {true, ways[i].name};
  return {};
}

}  // namespace platform
