#include "platform/DesktopApps.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QProcess>
#include <QStandardPaths>

namespace platform {
namespace {
constexpr int kQueryTimeoutMs = 5000;
// A desktop entry larger than this is not one.
constexpr qint64 kMaxDesktopFileBytes = 1 << 20;

QStringList ApplicationFolders() {
  QStringList folders;
  for (const QString& base : QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation))
    folders << base + "/applications";
  return folders;
}
}  // namespace

std::optional<DesktopEntry> ParseDesktopEntry(const QByteArray& bytes) {
  DesktopEntry entry;
  bool inGroup = false;
  bool sawGroup = false;
  bool sawExec = false;
  const QString text = QString::fromUtf8(bytes);
  for (QStringView line : QStringView(text).split(u'\n')) {
    line = line.trimmed();
    if (line.isEmpty() || line.startsWith(u'#')) continue;
    if (line.startsWith(u'[')) {
      inGroup = line == u"[Desktop Entry]";
      sawGroup = sawGroup || inGroup;
      continue;
    }
    if (!inGroup) continue;
    const qsizetype eq = line.indexOf(u'=');
    if (eq <= 0) continue;
    const QStringView key = line.left(eq).trimmed();
    const QString value = line.mid(eq + 1).trimmed().toString();
    // The first occurrence of a key counts, as the desktop's launchers read it.
    if (key == u"Exec" && !sawExec) {
      entry.Exec = value;
      sawExec = true;
    } else if (key == u"TryExec" && entry.TryExec.isEmpty()) {
      entry.TryExec = value;
    } else if (key == u"Hidden") {
      entry.Hidden = value == u"true";
    }
  }
  if (!sawGroup || !sawExec) return std::nullopt;
  return entry;
}

QStringList SplitExec(const QString& exec) {
  QStringList words;
  QString current;
  bool inWord = false;
  bool quoted = false;
  for (qsizetype i = 0; i < exec.size(); ++i) {
    const QChar c = exec[i];
    if (quoted) {
      if (c == '"') {
        quoted = false;
      } else if (c == '\\' && i + 1 < exec.size() && QString("\"`$\\").contains(exec[i + 1])) {
        current += exec[++i];
      } else {
        current += c;
      }
      continue;
    }
    if (c == ' ' || c == '\t') {
      if (inWord) words << current;
      current.clear();
      inWord = false;
      continue;
    }
    inWord = true;
    if (c == '"') {
      quoted = true;
    } else {
      current += c;
    }
  }
  if (inWord) words << current;
  return words;
}

QString MimeTypeForExtension(const QString& extension) {
  if (extension.isEmpty()) return {};
  // No file name holds these; Qt's MIME lookup reads out of bounds on a name with a NUL.
  for (const QChar c : extension)
    if (c.unicode() < 0x20 || c == '/') return {};
  const QString name = extension.startsWith('.') ? "x" + extension : "x." + extension;
  const QList<QMimeType> types = QMimeDatabase().mimeTypesForFileName(name);
  return types.isEmpty() ? QString() : types.first().name();
}

QString DefaultDesktopEntry(const QString& mimeType) {
  const QString tool = QStandardPaths::findExecutable("xdg-mime");
  if (tool.isEmpty() || mimeType.isEmpty()) return {};
  QProcess process;
  process.setStandardInputFile(QProcess::nullDevice());
  process.start(tool, {"query", "default", mimeType});
  if (!process.waitForFinished(kQueryTimeoutMs)) {
    process.kill();
    process.waitForFinished();
    return {};
  }
  const QString answer = QString::fromUtf8(process.readAllStandardOutput()).section('\n', 0, 0);
  const QString id = answer.trimmed();
  // A file id is a plain name; anything with a path in it is not one.
  if (id.contains('/') || !id.endsWith(".desktop")) return {};
  return id;
}

QString FindDesktopFile(const QString& desktopId) {
  if (desktopId.isEmpty() || desktopId.contains('/')) return {};
  for (const QString& folder : ApplicationFolders()) {
    const QString direct = folder + "/" + desktopId;
    if (QFileInfo(direct).isFile()) return direct;
    // "kde-okular.desktop" may live as "kde/okular.desktop".
    QString nested = desktopId;
    for (qsizetype dash = nested.indexOf('-'); dash > 0; dash = nested.indexOf('-', dash + 1)) {
      QString candidate = nested;
      candidate[dash] = '/';
      if (QFileInfo(folder + "/" + candidate).isFile()) return folder + "/" + candidate;
    }
  }
  return {};
}

QString RegisteredOpenCommand(const QString& extension) {
  const QString file = FindDesktopFile(DefaultDesktopEntry(MimeTypeForExtension(extension)));
  if (file.isEmpty()) return {};
  QFile in(file);
  if (!in.open(QIODevice::ReadOnly) || in.size() > kMaxDesktopFileBytes) return {};
  const auto entry = ParseDesktopEntry(in.readAll());
  if (!entry || entry->Hidden) return {};
  return entry->Exec;
}

QString ResolveRegisteredProgram(const QString& cleanedCommand) {
  const QStringList words = SplitExec(cleanedCommand);
  if (words.isEmpty()) return {};
  if (words.size() > 1) return QStandardPaths::findExecutable("xdg-open");
  const QString& program = words.first();
  if (QDir::isAbsolutePath(program)) {
    const QFileInfo info(program);
    return info.isFile() && info.isExecutable() ? info.absoluteFilePath() : QString();
  }
  if (program.contains('/')) return {};
  return QStandardPaths::findExecutable(program);
}

bool HasDefaultApplication(const QString& hostPath) {
  if (QStandardPaths::findExecutable("xdg-mime").isEmpty()) return true;
  const QMimeType type = QMimeDatabase().mimeTypeForFile(hostPath);
  if (!DefaultDesktopEntry(type.name()).isEmpty()) return true;
  for (const QString& ancestor : type.allAncestors())
    if (!DefaultDesktopEntry(ancestor).isEmpty()) return true;
  return false;
}

}  // namespace platform
