// Files and folders on the mapped drives: the Windows search with its attribute filters, and
// the few changes the programs make (folders, deletion, the read-only attribute).

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QStorageInfo>
#include <algorithm>

#include "platform/Drives.h"
#include "platform/DrivesInternal.h"

namespace platform {
namespace {

// Entries whose bits are not asked for are left out, except read-only and archive, which
// never exclude anything (the FindFirst rule).
constexpr uint32_t kExcludable = faHidden | faSysFile | faVolumeID | faDirectory;

FindEntry EntryOf(const QFileInfo& info) {
  FindEntry e;
  e.name = info.fileName();
  e.attributes = detail::AttributesOf(info);
  e.size = info.isFile() ? info.size() : 0;
  e.modified = info.lastModified();
  return e;
}

// The host folder standing for a drive's root, when the drive is mapped and the folder exists.
std::optional<QString> PresentRoot(QChar letter) {
  const Drive* drive = Drives().Find(letter);
  if (!drive || !QFileInfo(drive->hostRoot).isDir()) return std::nullopt;
  return drive->hostRoot;
}

bool IsRoot(const QString& winPath) {
  const auto parsed = detail::ParseWinPath(winPath);
  return parsed && parsed->components.isEmpty();
}


std::pair<QString, QString> SplitPattern(const QString& pattern) {
  qsizetype cut = -1;
  for (qsizetype i = pattern.size() - 1; i >= 0 && cut < 0; --i)
    if (pattern[i] == QLatin1Char('\\') || pattern[i] == QLatin1Char('/') ||
        pattern[i] == QLatin1Char(':'))
      cut = i;
  return {pattern.left(cut + 1), pattern.mid(cut + 1)};
}

}  // namespace

std::vector<FindEntry> FindFiles(const QString& pattern, uint32_t includeAttrs) {
  std::vector<FindEntry> out;
  const auto [folder, namePattern] = SplitPattern(pattern);

  if (includeAttrs == faVolumeID) {
    const auto parsed = detail::ParseWinPath(folder);
    if (!parsed || !PresentRoot(parsed->letter)) return out;
    FindEntry label;
    label.name = VolumeLabel(parsed->letter);
    label.attributes = faVolumeID;
    if (!label.name.isEmpty()) out.push_back(label);
    return out;
  }
  if (!detail::IsStorableName(namePattern, true)) return out;
  const auto hostDir = Drives().ToHost(folder);
  if (!hostDir || !QFileInfo(*hostDir).isDir()) return out;

  const uint32_t exclude = ~includeAttrs & kExcludable;
  const QFileInfoList infos = QDir(*hostDir).entryInfoList(
      QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Unsorted);
  for (const QFileInfo& info : infos) {
    if (!info.exists()) continue;  // a link to nothing cannot be opened
    if (!detail::WildcardMatch(namePattern, info.fileName())) continue;
    FindEntry e = EntryOf(info);
    if (e.attributes & exclude) continue;
    out.push_back(std::move(e));
  }
  std::sort(out.begin(), out.end(), [](const FindEntry& a, const FindEntry& b) {
    const int c = a.name.compare(b.name, Qt::CaseInsensitive);
    return c != 0 ? c < 0 : a.name < b.name;
  });
  return out;
}

bool MatchesPattern(const QString& pattern, const QString& name) {
  return detail::WildcardMatch(pattern, name);
}

bool AnyEntry(const QString& pattern, uint32_t includeAttrs) {
  const auto [folder, namePattern] = SplitPattern(pattern);
  if (includeAttrs == faVolumeID) return !FindFiles(pattern, includeAttrs).empty();
  if (!detail::IsStorableName(namePattern, true)) return false;
  const auto hostDir = Drives().ToHost(folder);
  if (!hostDir) return false;
  const uint32_t exclude = ~includeAttrs & kExcludable;
  QDirIterator it(*hostDir, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
  while (it.hasNext()) {
    const QFileInfo info = it.nextFileInfo();
    if (!info.exists() || !detail::WildcardMatch(namePattern, info.fileName())) continue;
    if (!(detail::AttributesOf(info) & exclude)) return true;
  }
  return false;
}

bool FileExists(const QString& winPath) {
  const auto host = Drives().ToHost(winPath);
  if (!host) return false;
  const QFileInfo info(*host);
  return info.exists() && !info.isDir();
}

bool DirectoryExists(const QString& winPath) {
  const auto host = Drives().ToHost(winPath);
  return host && QFileInfo(*host).isDir();
}

std::optional<FindEntry> FileInfo(const QString& winPath) {
  const auto host = Drives().ToHost(winPath);
  if (!host) return std::nullopt;
  const QFileInfo info(*host);
  if (!info.exists()) return std::nullopt;
  FindEntry e = EntryOf(info);
  if (IsRoot(winPath)) e.name.clear();  // a root has no name of its own
  return e;
}

bool CreateDir(const QString& winPath) {
  const auto host = Drives().ToHost(winPath);
  if (!host || IsRoot(winPath) || detail::HostEntryExists(*host)) return false;
  if (!QFileInfo(QFileInfo(*host).path()).isDir()) return false;
  return QDir().mkdir(*host);
}

bool ForceDirectories(const QString& winPath) {
  const auto host = Drives().ToHost(winPath);
  if (!host) return false;
  if (QFileInfo(*host).isDir()) return true;
  return QDir().mkpath(*host);
}

bool RemoveDir(const QString& winPath) {
  const auto host = Drives().ToHost(winPath);
  if (!host || IsRoot(winPath) || !QFileInfo(*host).isDir()) return false;
  return QDir().rmdir(*host);
}

bool DeleteFileW(const QString& winPath) {
  const auto host = Drives().ToHost(winPath);
  if (!host) return false;
  const QFileInfo info(*host);
  if (info.isDir() || !detail::HostEntryExists(*host)) return false;
  // Windows refuses to delete a read-only file; callers clear the attribute first.
  if (info.exists() && (detail::AttributesOf(info) & faReadOnly)) return false;
  return QFile::remove(*host);
}

bool ClearReadOnly(const QString& winPath) {
  const auto host = Drives().ToHost(winPath);
  if (!host) return false;
  const QFileInfo info(*host);
  if (!info.exists()) return false;
  if (!(detail::AttributesOf(info) & faReadOnly)) return true;
  QFile file(*host);
  if (!file.setPermissions(file.permissions() | QFileDevice::WriteOwner | QFileDevice::WriteUser))
    return false;
  return !(detail::AttributesOf(QFileInfo(*host)) & faReadOnly);
}

qint64 DiskFree(QChar letter) {
  const auto root = PresentRoot(letter);
  if (!root) return -1;
  const QStorageInfo storage(*root);
  if (!storage.isValid()) return -1;
  return storage.bytesAvailable();
}

DriveType GetDriveType(QChar letter) {
  const Drive* drive = Drives().Find(letter);
  if (!drive || !QFileInfo(drive->hostRoot).isDir()) return DriveType::Absent;
  return drive->type;
}

QString VolumeLabel(QChar letter) {
  const Drive* drive = Drives().Find(letter);
  if (!drive) return {};
  if (!drive->label.isEmpty()) return drive->label;
  // A mounted medium (an ISO image, a CD) carries its own label.
  const QStorageInfo storage(drive->hostRoot);
  if (storage.isValid() && storage.isReady() &&
      QDir::cleanPath(storage.rootPath()) == drive->hostRoot && !storage.name().isEmpty() &&
      drive->hostRoot != QDir::rootPath())
    return storage.name();
  return QFileInfo(drive->hostRoot).fileName();
}

}  // namespace platform
