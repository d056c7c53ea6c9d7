#pragma once

// The desktop's file-type associations, standing for the registry's HKEY_CLASSES_ROOT: the
// MIME type of an extension, the default application the desktop has for it (xdg-mime), and
// the command line its desktop entry runs.

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>

namespace platform {

// The fields of a desktop entry file the launch layer reads.
struct DesktopEntry {
  QString Exec;     // as written, field codes (%f, %U ...) included
  QString TryExec;  // empty when absent
  bool Hidden = false;
};

// Reads the "[Desktop Entry]" group of a .desktop file. Nothing when there is no such group
// or it has no Exec key. Any bytes are safe.
std::optional<DesktopEntry> ParseDesktopEntry(const QByteArray& bytes);

// Splits an Exec value into words by the desktop entry rules (double quotes group; inside
// them a backslash escapes ", `, $ and \). Field codes stay as words.
QStringList SplitExec(const QString& exec);

// "application/pdf" for ".pdf"; empty when the extension has no type of its own.
QString MimeTypeForExtension(const QString& extension);

// The desktop file id the desktop opens a MIME type with ("org.gnome.Evince.desktop"), asked of
// xdg-mime; empty when none is set or xdg-mime is missing.
QString DefaultDesktopEntry(const QString& mimeType);

// The .desktop file of an id in the user's and the system's applications folders; empty when
// none exists.
QString FindDesktopFile(const QString& desktopId);

// The command line registered for opening files of an extension: the Exec value of the default
// application's desktop entry ("evince %U"). Empty when no application is registered.
QString RegisteredOpenCommand(const QString& extension);

// The program a cleaned registered command names, as an absolute host path: a single word is
// looked up on PATH; a command of several words (a sandbox runner, "env" with settings) cannot
// be started as one program, so the desktop's opener (xdg-open) stands for it. Empty when the
// program does not exist.
QString ResolveRegisteredProgram(const QString& cleanedCommand);

// False only when the desktop certainly has no application for the file's type (xdg-mime
// answers nothing for the type and every type it derives from); true when it cannot tell.
bool HasDefaultApplication(const QString& hostPath);

}  // namespace platform
