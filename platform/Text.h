#pragma once

#include <QByteArray>
#include <QString>

namespace platform {

// Windows-1252 (the Windows ANSI code page of the disc's files) to and from Unicode.
// The five code points that 1252 leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to the
// C1 controls of the same value, as Windows does, so every byte survives a round trip.
QString FromWin1252(const QByteArray& bytes);
QString FromWin1252(const char* data, qsizetype size);

// Characters outside the code page become '?'.
QByteArray ToWin1252(const QString& text);

// True when every character of text has a Windows-1252 byte.
bool FitsWin1252(const QString& text);

}  // namespace platform
