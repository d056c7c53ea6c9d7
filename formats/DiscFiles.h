#pragma once

// The readers' access to the disc's files by Windows path, over the drive map.

#include <QFile>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

// The file at winPath opened for reading; nullptr when it is missing or cannot be opened.
// unbuffered: for readers that fetch blocks themselves.
std::unique_ptr<QFile> OpenDiscFile(const QString& winPath, bool unbuffered = false);

// The files of one folder whose names match a wildcard pattern ("*.dem", case-insensitive),
// listed once and opened by name without resolving the folder again. Links go through the
// drive map when opened, which keeps links on a disc inside it.
struct DiscListing {
  QString WinFolder;   // ends with a backslash
  QString HostFolder;  // empty when the folder does not exist
  QStringList Names;   // as stored on the host
  QStringList Links;   // the names that are links

  std::unique_ptr<QFile> Open(const QString& name) const;
};
DiscListing ListDiscFolder(const QString& winFolder, const QString& pattern);
