#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

namespace testsupport {

// Folder of the sample disc written by mkdisc in the build folder.
QString SampleDisc();

// Writes bytes to a file, creating its folders.
bool WriteFile(const QString& path, const QByteArray& bytes);

// Reads a whole file; empty when missing.
QByteArray ReadFile(const QString& path);

}  // namespace testsupport
