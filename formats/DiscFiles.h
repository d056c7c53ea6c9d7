#pragma once

// The readers' access to the disc's files by Windows path, over the drive map.

#include <QFile>
#include <QString>
#include <QStringList>
#include <memory>

// The file at winPath opened for reading; nullptr when it is missing or cannot be opened.
// unbuffered: for readers that fetch large blocks themselves.
std::unique_ptr<QFile> OpenDiscFile(const QString& winPath, bool unbuffered = false);

// Names (without folder) of the files that match a Windows search pattern
// ("D:\SHAREDIR\DemoData\*.dem"); folders are left out.
QStringList ListDiscFiles(const QString& pattern);
