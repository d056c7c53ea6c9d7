#include "platform/Drives.h"

#include "platform/DiscImage.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <QTextStream>

#include "platform/DrivesInternal.h"

namespace platform {
namespace {

std::optional<QChar> DriveLetter(QChar letter) {
  const QChar up = letter.toUpper();
  if (up < QLatin1Char('A') || up > QLatin1Char('Z')) return std::nullopt;
  return up;
}

// Absolute, cleaned host folder without a trailing slash (the root stays "/").
QString CleanRoot(const QString& hostRoot) {
  return QDir::cleanPath(QFileInfo(hostRoot).absoluteFilePath());
}

std::optional<DriveType> ParseDriveType(const QString& text) {
  const QString t = text.trimmed().toLower();
  if (t == QLatin1String("cdrom") || t == QLatin1String("cd-rom") || t == QLatin1String("cd"))
    return DriveType::CdRom;
  if (t == QLatin1String("fixed") || t == QLatin1String("hd")) return DriveType::Fixed;
  if (t == QLatin1String("removable") || t == QLatin1String("floppy")) return DriveType::Removable;
  return std::nullopt;
}

// Wine keeps the drive types it was told about in system.reg, under [Software\\Wine\\Drives],
// as lines like "d:"="cdrom".
std::map<QChar, DriveType> WineDriveTypes(const QString& prefix) {
  std::map<QChar, DriveType> types;
  QFile reg(prefix + QLatin1String("/system.reg"));
  if (!reg.open(QIODevice::ReadOnly | QIODevice::Text)) return types;
  QTextStream in(&reg);
  bool inDrives = false;
  while (!in.atEnd()) {
    const QString line = in.readLine().trimmed();
    if (line.startsWith(QLatin1Char('['))) {
      inDrives =
          line.startsWith(QLatin1String("[Software\\\\Wine\\\\Drives]"), Qt::CaseInsensitive);
      continue;
    }
    if (!inDrives || line.size() < 8 || line[0] != QLatin1Char('"')) continue;
    // "d:"="cdrom"
    const qsizetype eq = line.indexOf(QLatin1String("\"=\""));
    if (eq != 3 || line[2] != QLatin1Char(':') || !line.endsWith(QLatin1Char('"'))) continue;
    const auto letter = DriveLetter(line[1]);
    const auto type = ParseDriveType(line.mid(eq + 3, line.size() - eq - 4));
    if (letter && type) types[*letter] = *type;
  }
  return types;
}

}  // namespace

void DriveMap::Map(QChar letter, const QString& hostRoot, DriveType type, const QString& label) {
  const auto up = DriveLetter(letter);
  if (!up || hostRoot.isEmpty()) return;
  drives_[*up] = Drive{CleanRoot(hostRoot), type, label};
}

void DriveMap::MapImage(QChar letter, std::shared_ptr<DiscImage> image, const QString& label) {
  const auto up = DriveLetter(letter);
  if (!up || !image) return;
  const QString root = image->CacheRoot();
  drives_[*up] = Drive{CleanRoot(root), DriveType::CdRom, label, std::move(image)};
}

bool DriveMap::PrepareTree(const QString& winFolder) const {
  const auto parsed = detail::ParseWinPath(winFolder);
  if (!parsed) return true;
  const Drive* drive = Find(parsed->letter);
  return !drive || !drive->image || drive->image->PrepareTree(parsed->components);
}

void DriveMap::Unmap(QChar letter) {
  if (const auto up = DriveLetter(letter)) drives_.erase(*up);
}

void DriveMap::Clear() {
  drives_.clear();
}

const Drive* DriveMap::Find(QChar letter) const {
  const auto up = DriveLetter(letter);
  if (!up) return nullptr;
  const auto it = drives_.find(*up);
  return it == drives_.end() ? nullptr : &it->second;
}

DriveMap DriveMap::Default(const QString& discHostRoot) {
  DriveMap map;
  map.Map(QLatin1Char('C'), QDir::homePath(), DriveType::Fixed);
  if (!discHostRoot.isEmpty()) map.Map(QLatin1Char('D'), discHostRoot, DriveType::CdRom);
  map.Map(QLatin1Char('Z'), QDir::rootPath(), DriveType::Fixed);
  return map;
}

bool DriveMap::ApplySpec(const QString& spec) {
  const qsizetype eq = spec.indexOf(QLatin1Char('='));
  if (eq < 1) return false;
  QString letterText = spec.left(eq).trimmed();
  if (letterText.endsWith(QLatin1Char(':'))) letterText.chop(1);
  if (letterText.size() != 1) return false;
  const auto letter = DriveLetter(letterText[0]);
  if (!letter) return false;
  QString dir = spec.mid(eq + 1);
  if (dir.trimmed().isEmpty()) {
    // "Z=" takes a letter away, e.g. to keep the file system root out of reach.
    Unmap(*letter);
    return true;
  }
  DriveType type = DriveType::Fixed;
  // Only a known type name after the last comma is a type; a folder may hold commas.
  const qsizetype comma = dir.lastIndexOf(QLatin1Char(','));
  if (comma >= 0) {
    if (const auto t = ParseDriveType(dir.mid(comma + 1))) {
      type = *t;
      dir.truncate(comma);
    }
  }
  if (dir.isEmpty() || dir.contains(QChar(0))) return false;
  Map(*letter, dir, type);
  return true;
}

int DriveMap::ApplyWinePrefix(const QString& prefix) {
  const QDir devices(prefix + QLatin1String("/dosdevices"));
  if (!devices.exists()) return 0;
  const auto types = WineDriveTypes(prefix);
  const QStringList names =
      devices.entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
  int mapped = 0;
  for (const QString& name : names) {
    if (name.size() != 2 || name[1] != QLatin1Char(':')) continue;
    const auto letter = DriveLetter(name[0]);
    if (!letter) continue;
    const QFileInfo link(devices.filePath(name));
    const QString target = link.isSymLink() ? link.symLinkTarget() : link.absoluteFilePath();
    if (!QFileInfo(target).isDir()) continue;
    DriveType type = DriveType::Fixed;
    if (const auto it = types.find(*letter); it != types.end()) {
      type = it->second;
    } else if (names.contains(name + QLatin1Char(':'), Qt::CaseInsensitive)) {
      type = DriveType::CdRom;  // "d::" names the raw device, which Wine gives CD drives
    }
    Map(*letter, target, type);
    ++mapped;
  }
  return mapped;
}

QString DriveMap::SettingsFilePath() {
  return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
         QLatin1String("/quarx/drives.ini");
}

int DriveMap::ApplySettingsFile(const QString& iniPath, QStringList* rejected) {
  if (!QFileInfo(iniPath).isFile()) return 0;
  QSettings settings(iniPath, QSettings::IniFormat);
  settings.beginGroup(QStringLiteral("Drives"));
  int applied = 0;
  for (const QString& key : settings.childKeys()) {
    // An unquoted value with a comma reads as a list: join it back into one value.
    const QVariant value = settings.value(key);
    const QString dir = value.typeId() == QMetaType::QStringList
                            ? value.toStringList().join(QLatin1Char(','))
                            : value.toString();
    const QString spec = key + QLatin1Char('=') + dir;
    if (ApplySpec(spec)) {
      ++applied;
    } else if (rejected) {
      rejected->append(spec);
    }
  }
  return applied;
}

std::optional<QString> DriveMap::ToHost(const QString& winPath) const {
  const auto parsed = detail::ParseWinPath(winPath);
  if (!parsed) return std::nullopt;
  const Drive* drive = Find(parsed->letter);
  if (!drive) return std::nullopt;
  // An image's files reach its cache folder when first looked at; a failed read leaves them
  // missing, which the caller reports as it reports any missing file.
  if (drive->image) drive->image->Prepare(parsed->components);
  QString host = drive->hostRoot;
  for (const QString& component : parsed->components) {
    if (!detail::IsStorableName(component, false)) return std::nullopt;
    host = detail::JoinHost(host, component);
  }
  QString existing = host;  // the deepest part of the path that is on the disc
  // Most paths exist as written: one look at the whole path then spares one per component.
  if (host != drive->hostRoot && !detail::HostEntryExists(host)) {
    host = existing = drive->hostRoot;
    bool resolving = true;
    for (const QString& component : parsed->components) {
      QString next = detail::JoinHost(host, component);
      if (resolving && !detail::HostEntryExists(next)) {
        if (const auto match = detail::FindCaseInsensitive(host, component)) {
          next = detail::JoinHost(host, *match);
        } else {
          resolving = false;  // the rest is kept as written: where a new entry would go
        }
      }
      host = next;
      if (resolving) existing = host;
    }
  }
  if (host.toUtf8().size() >= detail::kMaxHostPathBytes) return std::nullopt;
  // A CD's content is not the user's: its symbolic links must not lead off the disc. (The
  // user's own drives may link wherever the user likes.)
  if (drive->type == DriveType::CdRom && existing != drive->hostRoot &&
      !detail::InsideCanonically(existing, drive->hostRoot))
    return std::nullopt;
  return host;
}

std::optional<QString> DriveMap::ToWindows(const QString& hostPath) const {
  if (hostPath.isEmpty()) return std::nullopt;
  const QString path = QDir::cleanPath(QFileInfo(hostPath).absoluteFilePath());
  const std::pair<const QChar, Drive>* best = nullptr;
  for (const auto& entry : drives_) {
    const QString& root = entry.second.hostRoot;
    const bool inside =
        root == QLatin1String("/") || path == root || path.startsWith(root + QLatin1Char('/'));
    // Longest root wins; on a tie the lower letter (the map is ordered).
    if (inside && (!best || root.size() > best->second.hostRoot.size())) best = &entry;
  }
  if (!best) return std::nullopt;
  const QString& root = best->second.hostRoot;
  QString rest = path.mid(root == QLatin1String("/") ? 1 : root.size() + 1);
  rest.replace(QLatin1Char('/'), QLatin1Char('\\'));
  return QString(best->first) + QLatin1String(":\\") + rest;
}

DriveMap& Drives() {
  static DriveMap map;
  return map;
}

}  // namespace platform
