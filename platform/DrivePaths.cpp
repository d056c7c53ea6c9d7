// Path text: the Windows rules the programs build paths by, and the checks that keep a path
// inside its drive.

#include <QDir>

#include "platform/Drives.h"
#include "platform/DrivesInternal.h"

namespace platform {
namespace detail {

std::optional<WinPath> ParseWinPath(const QString& winPath) {
  if (winPath.size() < 2 || winPath[1] != QLatin1Char(':')) return std::nullopt;
  const QChar letter = winPath[0].toUpper();
  if (letter < QLatin1Char('A') || letter > QLatin1Char('Z')) return std::nullopt;
  const QString rest = winPath.mid(2);
  if (!rest.isEmpty() && rest[0] != QLatin1Char('\\') && rest[0] != QLatin1Char('/'))
    return std::nullopt;  // "D:X" is relative to the drive's current folder: not ours
  WinPath out{letter, {}};
  // Both separators count; a plain scan, as every file access of the programs comes here.
  QStringList parts;
  qsizetype start = 0;
  for (qsizetype i = 0; i <= rest.size(); ++i) {
    if (i < rest.size() && rest[i] != QLatin1Char('\\') && rest[i] != QLatin1Char('/')) continue;
    if (i > start) parts.append(rest.mid(start, i - start));
    start = i + 1;
  }
  for (const QString& part : parts) {
    if (part == QLatin1String(".")) continue;
    if (part == QLatin1String("..")) {
      if (out.components.isEmpty()) return std::nullopt;  // would leave the drive
      out.components.removeLast();
      continue;
    }
    out.components.append(part);
  }
  return out;
}

bool IsStorableName(const QString& name, bool allowWildcards) {
  if (name.isEmpty()) return false;
  for (qsizetype i = 0; i < name.size(); ++i) {
    const QChar c = name[i];
    if (c.unicode() < 0x20) return false;
    switch (c.unicode()) {
      case '<':
      case '>':
      case ':':
      case '"':
      case '/':
      case '\\':
      case '|':
        return false;
      case '*':
      case '?':
        if (!allowWildcards) return false;
        break;
      default:
        break;
    }
    if (c.isHighSurrogate()) {
      if (i + 1 >= name.size() || !name[i + 1].isLowSurrogate()) return false;
      ++i;
    } else if (c.isLowSurrogate()) {
      return false;
    }
  }
  return name.toUtf8().size() <= kMaxNameBytes;
}

QString JoinHost(const QString& hostDir, const QString& name) {
  return hostDir.endsWith(QLatin1Char('/')) ? hostDir + name : hostDir + QLatin1Char('/') + name;
}

bool HostEntryExists(const QString& hostPath) {
  const QFileInfo info(hostPath);
  return info.exists() || info.isSymLink();
}

std::optional<QString> FindCaseInsensitive(const QString& hostDir, const QString& name) {
  const QStringList entries = QDir(hostDir).entryList(
      QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Unsorted);
  std::optional<QString> best;
  for (const QString& entry : entries) {
    if (entry.compare(name, Qt::CaseInsensitive) != 0) continue;
    if (!best || entry < *best) best = entry;
  }
  return best;
}

bool InsideCanonically(const QString& hostPath, const QString& root) {
  const QString path = QFileInfo(hostPath).canonicalFilePath();
  const QString base = QFileInfo(root).canonicalFilePath();
  if (path.isEmpty() || base.isEmpty()) return false;
  return base == QLatin1String("/") || path == base || path.startsWith(base + QLatin1Char('/'));
}

namespace {

bool SameChar(QChar a, QChar b) {
  return a == b || a.toCaseFolded() == b.toCaseFolded();
}

// '*' and '?' over the whole name, iteratively with one back-track point.
bool Match(QStringView pattern, QStringView name) {
  qsizetype p = 0, n = 0, starP = -1, starN = 0;
  while (n < name.size()) {
    if (p < pattern.size() && pattern[p] == QLatin1Char('*')) {
      starP = p++;
      starN = n;
    } else if (p < pattern.size() &&
               (pattern[p] == QLatin1Char('?') || SameChar(pattern[p], name[n]))) {
      ++p;
      ++n;
    } else if (starP >= 0) {
      p = starP + 1;
      n = ++starN;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == QLatin1Char('*')) ++p;
  return p == pattern.size();
}

}  // namespace

bool WildcardMatch(const QString& pattern, const QString& name) {
  if (Match(pattern, name)) return true;
  if (pattern.endsWith(QLatin1String(".*")))
    return !name.contains(QLatin1Char('.')) && Match(QStringView(pattern).chopped(2), name);
  if (pattern.endsWith(QLatin1Char('.')))
    return !name.contains(QLatin1Char('.')) && Match(QStringView(pattern).chopped(1), name);
  return false;
}

uint32_t AttributesOf(const QFileInfo& info) {
  uint32_t attrs = 0;
  if (info.isDir()) {
    attrs |= faDirectory;
  } else if (info.isFile()) {
    attrs |= faArchive;
  } else {
    attrs |= faSysFile;  // devices, pipes, sockets: nothing the programs should open
  }
  if (info.fileName().startsWith(QLatin1Char('.')) || info.isHidden()) attrs |= faHidden;
  // Read-only: the user cannot write it, or its owner may not (so the bit means the same for
  // an administrator, who can write anything, as for everyone else).
  if (!info.isWritable() || !(info.permissions() & QFileDevice::WriteOwner)) attrs |= faReadOnly;
  return attrs;
}

}  // namespace detail

namespace {

qsizetype LastDelimiter(const QString& path, const char* delimiters) {
  for (qsizetype i = path.size() - 1; i >= 0; --i)
    for (const char* d = delimiters; *d; ++d)
      if (path[i] == QLatin1Char(*d)) return i;
  return -1;
}

}  // namespace

QString ExtractFilePath(const QString& path) {
  return path.left(LastDelimiter(path, "\\:") + 1);
}

QString ExtractFileName(const QString& path) {
  return path.mid(LastDelimiter(path, "\\:") + 1);
}

QString ExtractFileDir(const QString& path) {
  qsizetype i = LastDelimiter(path, "\\:");
  // Keep the backslash of a root ("D:\") and of a doubled separator.
  if (i > 0 && path[i] == QLatin1Char('\\') && path[i - 1] != QLatin1Char('\\') &&
      path[i - 1] != QLatin1Char(':'))
    --i;
  return path.left(i + 1);
}

QString ExtractFileDrive(const QString& path) {
  if (path.size() >= 2 && path[1] == QLatin1Char(':') && path[0].isLetter()) return path.left(2);
  return {};
}

QString ExtractFileExt(const QString& path) {
  const qsizetype i = LastDelimiter(path, ".\\:");
  if (i >= 0 && path[i] == QLatin1Char('.')) return path.mid(i);
  return {};
}

QString IncludeTrailingBackslash(const QString& path) {
  return path.endsWith(QLatin1Char('\\')) ? path : path + QLatin1Char('\\');
}

QString ExcludeTrailingBackslash(const QString& path) {
  return path.endsWith(QLatin1Char('\\')) ? path.chopped(1) : path;
}

}  // namespace platform
