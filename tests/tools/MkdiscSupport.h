#pragma once

// Helpers for the sample disc tests: where the disc and the tool are, and finding files on the
// disc the way the programs do (every path component without regard to letter case).

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace mkdisctest {

// The disc written by the build; the tests stop with a clear message when it is missing.
QString Disc();

// The mkdisc program of this build.
QString MkdiscProgram();

// Host path of a Windows path on the disc (drive D: stands for the disc); empty when a
// component does not exist.
QString OnDisc(const QString& winPath);

// Every file below folder (relative paths, '/' separators), sorted.
QStringList FilesBelow(const QString& folder);

// 32-bit little-endian value at offset; 0 when out of range.
quint32 Le32(const QByteArray& bytes, qsizetype offset);
quint16 Le16(const QByteArray& bytes, qsizetype offset);

}  // namespace mkdisctest
