#pragma once

// Starting programs and documents the way the shell's "open" verb did, on a desktop that has
// no such verb. A native executable (ELF, or a script with "#!" and the run bit) starts
// directly; a Windows program (.exe, .com, .bat, .pif) starts through Wine in the navigator's
// own prefix; anything else opens with the desktop's default application. Nothing passes
// through a shell: the parameter text is split by the Windows command-line rules and each
// argument reaches the program as it stands. The result is the shell's number: above 32 the
// program started, the small numbers below tell the failure classes apart.

#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <optional>

namespace platform {

// The shell's result numbers the programs tell apart.
enum ShellResult : int {
  kShellOutOfResources = 0,
  kShellFailed = 1,  // any other failure
  kShellFileNotFound = 2,
  kShellPathNotFound = 3,
  kShellAccessDenied = 5,  // not executable
  kShellOutOfMemory = 8,
  kShellBadFormat = 11,
  kShellSharingViolation = 26,
  kShellNoAssociation = 31,  // no Wine for a Windows program, no application for a document
  kShellStarted = 42,
};

enum class FileKind {
  Missing,
  Folder,
  Native,         // ELF or "#!" script with the run bit
  NotExecutable,  // ELF or "#!" script without the run bit
  Windows,        // .exe/.com/.bat/.pif for Wine
  Corrupt,        // a .exe that is neither a PE nor a native program
  Document,
};

// What a host file is, read from its first bytes, its run bit and its extension.
FileKind ClassifyFile(const QString& hostPath);

// The host path of a path the programs hold: a Windows path over the drive map, or an
// absolute host path as it stands. Nothing for a path on no drive or leaving its drive.
std::optional<QString> HostPathOf(const QString& path);

// Splits a command-line tail the way a Windows program's start-up code does: blanks separate,
// double quotes group, backslashes escape only quotes.
QStringList SplitWindowsArguments(const QString& text);

// How one start is made; what ShellOpen would run, for callers that show or test it.
struct LaunchPlan {
  int failure = kShellStarted;  // the shell number when the start cannot be made
  QString program;              // host executable
  QStringList arguments;
  QString workingFolder;  // host folder
  QProcessEnvironment environment;
};

// The plan for opening path (Windows or host) with the parameter text. A Wine start makes
// the navigator's prefix first when it does not exist yet (a few seconds, once).
LaunchPlan PlanShellOpen(const QString& path, const QString& parameters);

// Starts the plan detached (the caller never waits for the program) without a shell.
// Returns kShellStarted or the failure class of the start.
int StartDetached(const LaunchPlan& plan);

// PlanShellOpen, then StartDetached.
int ShellOpen(const QString& path, const QString& parameters);

// True for a native executable with the run bit (a reader installed on the desktop counts as
// current whatever its version: it has no Windows version resource).
bool IsNativeProgram(const QString& path);

}  // namespace platform
