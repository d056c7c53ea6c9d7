#pragma once

// A disc image file standing for a CD-ROM drive. The image (ISO 9660 with Joliet and Rock Ridge
// names) is read through libarchive; its folders are made at once in a cache folder and its
// files unpacked there only when something looks at them: a file when its folder is first
// looked at, a whole tree when a demo is run or copied. The drive map then serves the cache
// folder like any disc folder.

#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

namespace platform {

class DiscImage {
 public:
  // Reads the image's directory and makes its folders under cacheRoot. Nothing, with a message
  // in *error, when the file cannot be read as a disc image.
  static std::shared_ptr<DiscImage> Open(const QString& imagePath, const QString& cacheRoot,
                                         QString* error);
  // The user's cache folder for an image: one per image file (path, size and time), so a
  // changed image is never served from an older one's files.
  static QString CacheFolderFor(const QString& imagePath);
  // True when the file looks like a disc image rather than a disc folder.
  static bool IsImageFile(const QString& path);

  const QString& CacheRoot() const { return cacheRoot_; }
  const QString& ImagePath() const { return imagePath_; }
  // The stored path ("QUARX/Resour") of a path in any letter case; empty when the image has
  // no such entry.
  QString StoredPath(const QStringList& components) const;

  // The files of the folder that holds the entry (the entry itself when it is a folder), or
  // of the folder a wildcard pattern searches, unpacked. Entries outside the image need
  // nothing. False when the image could not be read. Safe from any thread.
  bool Prepare(QStringList components);
  // Every file below the folder, unpacked (a demo about to run or be copied).
  bool PrepareTree(const QStringList& components);

  // How many times the image has been read for files, and how many files are unpacked.
  int UnpackPasses() const;
  int UnpackedFiles() const;
  const QString& LastError() const { return lastError_; }

 private:
  struct Entry {
    QString path;  // as stored, '/' between names, no leading or trailing '/'
    bool folder = false;
    qint64 size = 0;
  };

  DiscImage() = default;
  int FindEntry(const QStringList& components) const;
  // Unpacks the files for which wanted is true and that are not in the cache yet.
  bool Unpack(const std::function<bool(const Entry&)>& wanted);
  bool InCache(const Entry& e) const;

  QString imagePath_;
  QString cacheRoot_;
  std::vector<Entry> entries_;
  QHash<QString, int> byFolded_;  // case-folded path -> entry
  QSet<QString> preparedFolders_;
  QSet<QString> unpacked_;
  int passes_ = 0;
  QString lastError_;
  mutable std::mutex mutex_;
};

}  // namespace platform
