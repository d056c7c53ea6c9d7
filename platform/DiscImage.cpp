#include "platform/DiscImage.h"

#include <archive.h>
#include <archive_entry.h>

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <algorithm>

namespace platform {
namespace {

constexpr size_t kReadBlockBytes = 64 * 1024;

// libarchive's reader, freed on every path out.
struct Reader {
  archive* a = archive_read_new();
  ~Reader() { archive_read_free(a); }
  bool Open(const QString& path) {
    archive_read_support_format_iso9660(a);
    return archive_read_open_filename(a, QFile::encodeName(path).constData(), kReadBlockBytes) ==
           ARCHIVE_OK;
  }
  QString Error() const {
    const char* text = archive_error_string(a);
    return text ? QString::fromUtf8(text) : QStringLiteral("unknown error");
  }
};

// The stored path made safe: names only, nothing that climbs out of the cache folder. Empty
// for the root itself or a path that cannot be stored.
QString CleanPath(const char* raw, bool* ok) {
  *ok = true;
  if (!raw) {
    *ok = false;
    return {};
  }
  QStringList names;
  for (const QString& name : QString::fromUtf8(raw).split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
    if (name == QLatin1String(".")) continue;
    if (name == QLatin1String("..") || name.contains(QLatin1Char('\\')) ||
        name.toUtf8().size() > 255) {
      *ok = false;
      return {};
    }
    names.append(name);
  }
  return names.join(QLatin1Char('/'));
}

QString ParentOf(const QString& path) {
  const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
  return slash < 0 ? QString() : path.left(slash);
}

QString Message(const QString& imagePath, const QString& reason) {
  return QStringLiteral("The disc image \"%1\" cannot be read: %2.").arg(imagePath, reason);
}

}  // namespace

bool DiscImage::IsImageFile(const QString& path) {
  const QFileInfo info(path);
  return info.exists() && !info.isDir();
}

QString DiscImage::CacheFolderFor(const QString& imagePath) {
  const QFileInfo info(imagePath);
  const QByteArray identity = QFile::encodeName(info.absoluteFilePath()) + '\n' +
                              QByteArray::number(info.size()) + '\n' +
                              QByteArray::number(info.lastModified().toMSecsSinceEpoch());
  const QByteArray key =
      QCryptographicHash::hash(identity, QCryptographicHash::Sha256).toHex().left(24);
  return QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) +
         QStringLiteral("/quarx/images/") + QString::fromLatin1(key);
}

std::shared_ptr<DiscImage> DiscImage::Open(const QString& imagePath, const QString& cacheRoot,
                                           QString* error) {
  std::shared_ptr<DiscImage> image(new DiscImage);
  image->imagePath_ = QFileInfo(imagePath).absoluteFilePath();
  Reader reader;
  if (!reader.Open(imagePath)) {
    if (error) *error = Message(imagePath, reader.Error());
    return nullptr;
  }
  archive_entry* entry = nullptr;
  int r = ARCHIVE_OK;
  QSet<QString> folders;
  while ((r = archive_read_next_header(reader.a, &entry)) == ARCHIVE_OK ||
         r == ARCHIVE_WARN) {
    bool ok = false;
    const QString path = CleanPath(archive_entry_pathname_utf8(entry), &ok);
    if (!ok || path.isEmpty()) continue;
    const mode_t type = archive_entry_filetype(entry);
    // Only folders and plain files: links and devices on a disc are not followed.
    if (type != AE_IFDIR && type != AE_IFREG) continue;
    if (archive_entry_hardlink(entry)) continue;
    image->entries_.push_back({path, type == AE_IFDIR, archive_entry_size(entry)});
    for (QString p = type == AE_IFDIR ? path : ParentOf(path); !p.isEmpty(); p = ParentOf(p))
      folders.insert(p);
  }
  if (r != ARCHIVE_EOF) {
    if (error) *error = Message(imagePath, reader.Error());
    return nullptr;
  }
  if (image->entries_.empty()) {
    if (error) *error = Message(imagePath, QStringLiteral("it holds no files"));
    return nullptr;
  }
  // Folders a file implies but the image does not list.
  for (const QString& f : std::as_const(folders)) image->entries_.push_back({f, true, 0});
  // Byte order, so that of names differing only in case the first in byte order wins, as on
  // disc folders.
  std::sort(image->entries_.begin(), image->entries_.end(),
            [](const Entry& a, const Entry& b) { return a.path.toUtf8() < b.path.toUtf8(); });
  for (int i = 0; i < int(image->entries_.size()); ++i) {
    const QString folded = image->entries_[size_t(i)].path.toCaseFolded();
    if (!image->byFolded_.contains(folded)) image->byFolded_.insert(folded, i);
  }

  if (!QDir().mkpath(cacheRoot)) {
    if (error) *error = Message(imagePath, QStringLiteral("the cache folder cannot be made"));
    return nullptr;
  }
  image->cacheRoot_ = QDir(cacheRoot).canonicalPath();
  for (const QString& f : std::as_const(folders)) QDir(image->cacheRoot_).mkpath(f);
  return image;
}

int DiscImage::FindEntry(const QStringList& components) const {
  return byFolded_.value(components.join(QLatin1Char('/')).toCaseFolded(), -1);
}

QString DiscImage::StoredPath(const QStringList& components) const {
  const int i = FindEntry(components);
  return i < 0 ? QString() : entries_[size_t(i)].path;
}

bool DiscImage::InCache(const Entry& e) const {
  if (unpacked_.contains(e.path)) return true;
  // Unpacked by an earlier run: files appear only whole (written aside, then renamed).
  const QFileInfo cached(cacheRoot_ + QLatin1Char('/') + e.path);
  return cached.isFile() && cached.size() == e.size;
}

bool DiscImage::Prepare(QStringList components) {
  std::lock_guard<std::mutex> lock(mutex_);
  // A search pattern looks at its folder.
  if (!components.isEmpty() && (components.last().contains(QLatin1Char('*')) ||
                                components.last().contains(QLatin1Char('?'))))
    components.removeLast();
  QString folder;
  if (!components.isEmpty()) {
    const int i = FindEntry(components);
    if (i < 0) return true;
    const Entry& e = entries_[size_t(i)];
    folder = e.folder ? e.path : ParentOf(e.path);
  }
  if (preparedFolders_.contains(folder)) return true;
  const bool ok = Unpack([&](const Entry& e) { return !e.folder && ParentOf(e.path) == folder; });
  if (ok) preparedFolders_.insert(folder);
  return ok;
}

bool DiscImage::PrepareTree(const QStringList& components) {
  std::lock_guard<std::mutex> lock(mutex_);
  QString folder;
  if (!components.isEmpty()) {
    const int i = FindEntry(components);
    if (i < 0 || !entries_[size_t(i)].folder) return i < 0;
    folder = entries_[size_t(i)].path;
  }
  const QString prefix = folder.isEmpty() ? QString() : folder + QLatin1Char('/');
  return Unpack([&](const Entry& e) { return !e.folder && e.path.startsWith(prefix); });
}

bool DiscImage::Unpack(const std::function<bool(const Entry&)>& wanted) {
  QSet<QString> missing;
  for (const Entry& e : entries_)
    if (wanted(e) && !InCache(e)) missing.insert(e.path);
  if (missing.isEmpty()) return true;

  ++passes_;
  Reader reader;
  if (!reader.Open(imagePath_)) {
    lastError_ = Message(imagePath_, reader.Error());
    return false;
  }
  std::vector<char> buffer(kReadBlockBytes);
  archive_entry* entry = nullptr;
  int r = ARCHIVE_OK;
  while (!missing.isEmpty() &&
         ((r = archive_read_next_header(reader.a, &entry)) == ARCHIVE_OK || r == ARCHIVE_WARN)) {
    bool ok = false;
    const QString path = CleanPath(archive_entry_pathname_utf8(entry), &ok);
    if (!ok || archive_entry_filetype(entry) != AE_IFREG || !missing.contains(path)) continue;
    const QString target = cacheRoot_ + QLatin1Char('/') + path;
    // Written aside and renamed, so that a file in the cache is always whole, also for a
    // second program reading the same cache.
    QFile out(target + QStringLiteral(".partial"));
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
      lastError_ = Message(imagePath_, QStringLiteral("\"%1\" cannot be written").arg(target));
      return false;
    }
    la_ssize_t n = 0;
    while ((n = archive_read_data(reader.a, buffer.data(), buffer.size())) > 0) {
      if (out.write(buffer.data(), n) != n) break;
    }
    const bool whole = n == 0 && out.size() == archive_entry_size(entry) && out.flush();
    // A program the disc marks runnable (Rock Ridge) stays runnable in the cache.
    if (whole && (archive_entry_perm(entry) & 0111))
      out.setPermissions(out.permissions() | QFileDevice::ExeOwner | QFileDevice::ExeUser |
                         QFileDevice::ExeGroup | QFileDevice::ExeOther);
    out.close();
    if (!whole) {
      out.remove();
      lastError_ = Message(imagePath_, n < 0 ? reader.Error()
                                             : QStringLiteral("\"%1\" cannot be written").arg(target));
      return false;
    }
    QFile::remove(target);
    if (!QFile::rename(out.fileName(), target)) {
      out.remove();
      lastError_ = Message(imagePath_, QStringLiteral("\"%1\" cannot be written").arg(target));
      return false;
    }
    unpacked_.insert(path);
    missing.remove(path);
  }
  if (!missing.isEmpty()) {
    lastError_ = Message(imagePath_, r == ARCHIVE_EOF ? QStringLiteral("files are missing")
                                                      : reader.Error());
    return false;
  }
  return true;
}

int DiscImage::UnpackPasses() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return passes_;
}

int DiscImage::UnpackedFiles() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return int(unpacked_.size());
}

}  // namespace platform
