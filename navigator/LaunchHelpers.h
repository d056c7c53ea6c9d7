#pragma once

// The launching operations every demo action and the advertisement panel use: start a program
// or document, turn the shell's result into a message code, ask where a missing file is when
// the disc sits in another drive, and find the program the desktop opens a file type with.
// The callers follow one pattern: LocateFile (for files on the disc), LaunchProgram, then
// LaunchErrorCode; a code of 0 or more is shown with ShowAppMessage(code, path).

#include <QString>
#include <cstdint>

// Starts a program or opens a document (path: a Windows path over the drive map or a host
// path) with the parameter text, the path's own folder as working folder. Returns the shell's
// number: above 32 means started.
int LaunchProgram(const QString& path, const QString& parameters);

// The message code for a shell result, or -1 when the start succeeded.
int LaunchErrorCode(int shellResult);

enum class LocateTarget { File, Folder };

// True when path names an existing file (or folder), possibly after the user pointed at it on
// another drive: then path's drive and demosRoot become that drive. False when the user
// cancels the dialog.
bool LocateFile(QString& path, QString& demosRoot, LocateTarget target = LocateTarget::File);

// A registered command cut before its first " \"%" or " %" placeholder and trimmed.
QString CleanRegisteredCommand(const QString& command);

// The program the desktop opens files of extension (".pdf") with, or empty text.
QString FindAssociatedProgram(const QString& extension);

// The high 32 bits of a program's fixed file version (major << 16 | minor); 0 without a
// version resource.
uint32_t FileVersionHigh(const QString& path);
