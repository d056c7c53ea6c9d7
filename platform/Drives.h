#pragma once

// Windows paths over a drive map. The programs keep Windows paths ("D:\DEMOS\X.EXE"); this
// layer turns them into host paths, resolving each component case-insensitively when the
// exact name is missing (ISO 9660 media show names in capitals), and never resolves a path
// outside the host folder of its drive.

#include <QChar>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <vector>

namespace platform {

class DiscImage;

enum class DriveType { Absent, Removable, Fixed, CdRom };

// Windows file attribute bits as the programs test them.
enum FileAttr : uint32_t {
  faReadOnly = 0x01,
  faHidden = 0x02,
  faSysFile = 0x04,
  faVolumeID = 0x08,
  faDirectory = 0x10,
  faArchive = 0x20,
  faAnyFile = 0x3F,
};

struct Drive {
  QString hostRoot;  // host folder that stands for "X:\", absolute, without trailing slash
  DriveType type = DriveType::Fixed;
  QString label;  // volume label; empty: the host folder's name
  // A disc image behind the drive: hostRoot is its cache folder, filled as paths are resolved.
  std::shared_ptr<DiscImage> image;
};

class DriveMap {
 public:
  // Maps letter (A..Z, any case) to a host folder.
  void Map(QChar letter, const QString& hostRoot, DriveType type, const QString& label = {});
  // A CD-ROM drive served from a disc image (its cache folder).
  void MapImage(QChar letter, std::shared_ptr<DiscImage> image, const QString& label = {});
  void Unmap(QChar letter);
  void Clear();
  const Drive* Find(QChar letter) const;
  const std::map<QChar, Drive>& All() const { return drives_; }

  // The default map: the disc (the folder above the navigator's folder) as CD-ROM D:, the
  // user's home as C:, the file system root as Z:.
  static DriveMap Default(const QString& discHostRoot);

  // "E=/media/cdrom" or "E=/media/cdrom,cdrom" (types: cdrom, fixed, removable); "E:=" works
  // too, and "E=" with no folder takes the letter away. A relative folder is taken from the
  // current folder. False on a malformed spec.
  [[nodiscard]] bool ApplySpec(const QString& spec);
  // The drives of a Wine prefix's dosdevices folder (links "c:", "d:", "d::" for devices).
  // Returns how many drives it mapped.
  int ApplyWinePrefix(const QString& prefix);
  // The user's own drive letters: an INI file with a [Drives] group whose keys are letters and
  // whose values are ApplySpec's right-hand side ("E=/media/cdrom,cdrom"; an empty value takes
  // the letter away). Returns how many entries it applied; malformed ones go to rejected.
  int ApplySettingsFile(const QString& iniPath, QStringList* rejected = nullptr);
  // "drives.ini" in the user's configuration folder (~/.config/quarx/drives.ini on Linux).
  static QString SettingsFilePath();

  // Host path of a Windows path; nothing when the drive is not mapped, the path is not
  // absolute, or ".." leaves the drive. Missing components are kept as written (so the
  // result names where a new file would go).
  std::optional<QString> ToHost(const QString& winPath) const;
  // Every file below a folder of an image drive unpacked, before a program runs from it or it
  // is copied; true at once on other drives. False when the image could not be read.
  bool PrepareTree(const QString& winFolder) const;
  // Windows path of a host path inside one of the mapped drives (longest root wins).
  std::optional<QString> ToWindows(const QString& hostPath) const;

 private:
  std::map<QChar, Drive> drives_;
};

// The process's drive map.
DriveMap& Drives();

struct FindEntry {
  QString name;  // as stored on the host
  uint32_t attributes = 0;
  qint64 size = 0;
  QDateTime modified;
};

// Windows search: pattern is a Windows path whose last component may hold '*' and '?'
// (compared case-insensitively). As with FindFirst, normal files always match; hidden,
// system, directory entries only when their bit is in includeAttrs; faVolumeID alone returns
// the volume label. "." and ".." are not returned. Sorted by name, case-insensitively.
std::vector<FindEntry> FindFiles(const QString& pattern, uint32_t includeAttrs);
// Whether a name matches a search pattern ("*.bmp", "x?.*") as FindFiles matches it, so one
// listing can serve several patterns.
bool MatchesPattern(const QString& pattern, const QString& name);
// Whether FindFiles would return anything; stops at the first entry, so a large folder costs
// no more than a small one.
bool AnyEntry(const QString& pattern, uint32_t includeAttrs);

bool FileExists(const QString& winPath);       // a file (not a folder)
bool DirectoryExists(const QString& winPath);  // a folder
std::optional<FindEntry> FileInfo(const QString& winPath);
bool CreateDir(const QString& winPath);         // one level
bool ForceDirectories(const QString& winPath);  // every missing level
bool RemoveDir(const QString& winPath);         // empty folder only
bool DeleteFileW(const QString& winPath);
bool ClearReadOnly(const QString& winPath);
// Free bytes on a drive ("D:" or 'D'); -1 when the drive is absent.
qint64 DiskFree(QChar letter);
DriveType GetDriveType(QChar letter);
QString VolumeLabel(QChar letter);

// Path text helpers with the Windows rules the programs use.
QString ExtractFilePath(const QString& path);   // up to and with the last '\' or ':'
QString ExtractFileName(const QString& path);   // after the last '\' or ':'
QString ExtractFileDir(const QString& path);    // ExtractFilePath without a trailing '\'
                                                // unless it is a root ("D:\")
QString ExtractFileDrive(const QString& path);  // "D:" or ""
QString ExtractFileExt(const QString& path);    // ".exe" or ""
QString IncludeTrailingBackslash(const QString& path);
QString ExcludeTrailingBackslash(const QString& path);

}  // namespace platform
