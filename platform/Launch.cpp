#include "platform/Launch.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "platform/DesktopApps.h"
#include "platform/Drives.h"
#include "platform/RegularFile.h"
#include "platform/WinePrefix.h"

namespace platform {
namespace {

bool IsWindowsProgramName(const QString& path) {
  const QString ext = QFileInfo(path).suffix().toLower();
  return ext == "exe" || ext == "com" || ext == "bat" || ext == "pif";
}

bool LooksLikeWindowsPath(const QString& path) {
  return (path.size() >= 2 && path[1] == ':' && path[0].isLetter()) || path.contains('\\');
}

int ShellResultOfErrno(int error) {
  switch (error) {
    case ENOENT: return kShellFileNotFound;
    case ENOTDIR:
    case ELOOP:
    case ENAMETOOLONG: return kShellPathNotFound;
    case EACCES:
    case EPERM: return kShellAccessDenied;
    case ENOEXEC: return kShellBadFormat;
    case ETXTBSY: return kShellSharingViolation;
    case ENOMEM:
    case EAGAIN:
    case E2BIG: return kShellOutOfMemory;
    default: return kShellFailed;
  }
}

// A parameter naming a file on a mapped drive reaches a native program as its host path: a
// native program cannot read "D:\...". Everything else stays as written.
QString NativeArgument(const QString& argument) {
  if (argument.size() < 3 || argument[1] != ':' || argument[2] != '\\' || !argument[0].isLetter())
    return argument;
  if (auto host = Drives().ToHost(argument)) return *host;
  return argument;
}

QString FolderOf(const QString& hostPath) { return QFileInfo(hostPath).absolutePath(); }
}  // namespace

FileKind ClassifyFile(const QString& hostPath) {
  const QFileInfo info(hostPath);
  if (!info.exists()) return FileKind::Missing;
  if (info.isDir()) return FileKind::Folder;
  QByteArray head;
  {
    // A pipe named like a program gives no head instead of waiting for a writer.
    if (const std::unique_ptr<QFile> file = OpenRegularFile(hostPath)) head = file->read(4);
  }
  const bool native = head.startsWith("\x7f" "ELF") || head.startsWith("#!");
  if (native) return info.isExecutable() ? FileKind::Native : FileKind::NotExecutable;
  if (IsWindowsProgramName(hostPath)) {
    const QString ext = info.suffix().toLower();
    // Only .exe files carry a header to check; batch files and .com images have none.
    if (ext == "exe" && !head.startsWith("MZ")) return FileKind::Corrupt;
    return FileKind::Windows;
  }
  return FileKind::Document;
}

std::optional<QString> HostPathOf(const QString& path) {
  if (path.isEmpty()) return std::nullopt;
  if (LooksLikeWindowsPath(path)) return Drives().ToHost(path);
  if (QDir::isAbsolutePath(path)) return QDir::cleanPath(path);
  return std::nullopt;
}

QStringList SplitWindowsArguments(const QString& text) {
  QStringList result;
  QString current;
  bool inArgument = false;
  bool quoted = false;
  for (qsizetype i = 0; i < text.size();) {
    const QChar c = text[i];
    if (!quoted && (c == ' ' || c == '\t')) {
      if (inArgument) result << current;
      current.clear();
      inArgument = false;
      ++i;
      continue;
    }
    inArgument = true;
    if (c == '\\') {
      qsizetype run = 0;
      while (i + run < text.size() && text[i + run] == '\\') ++run;
      if (i + run < text.size() && text[i + run] == '"') {
        current += QString(run / 2, '\\');
        if (run % 2 == 1) {
          current += '"';
          i += run + 1;
        } else {
          i += run;  // the quote itself toggles below
        }
      } else {
        current += QString(run, '\\');
        i += run;
      }
      continue;
    }
    if (c == '"') {
      // Inside quotes a doubled quote stands for one.
      if (quoted && i + 1 < text.size() && text[i + 1] == '"') {
        current += '"';
        i += 2;
        continue;
      }
      quoted = !quoted;
      ++i;
      continue;
    }
    current += c;
    ++i;
  }
  if (inArgument) result << current;
  return result;
}

bool IsNativeProgram(const QString& path) {
  const auto host = HostPathOf(path);
  return host && ClassifyFile(*host) == FileKind::Native;
}

LaunchPlan PlanShellOpen(const QString& path, const QString& parameters) {
  LaunchPlan plan;
  plan.environment = QProcessEnvironment::systemEnvironment();
  // The shell took at most 254 characters of path.
  if (path.size() > 254) {
    plan.failure = kShellPathNotFound;
    return plan;
  }
  const auto host = HostPathOf(path);
  if (!host) {
    plan.failure = kShellPathNotFound;
    return plan;
  }
  plan.workingFolder = FolderOf(*host);
  const QStringList arguments = SplitWindowsArguments(parameters);
  switch (ClassifyFile(*host)) {
    case FileKind::Missing:
      plan.failure = QFileInfo(plan.workingFolder).isDir() ? kShellFileNotFound : kShellPathNotFound;
      return plan;
    case FileKind::Folder: plan.failure = kShellFileNotFound; return plan;
    case FileKind::NotExecutable: plan.failure = kShellAccessDenied; return plan;
    case FileKind::Corrupt: plan.failure = kShellBadFormat; return plan;
    case FileKind::Native:
      plan.program = *host;
      for (const QString& argument : arguments) plan.arguments << NativeArgument(argument);
      return plan;
    case FileKind::Windows: {
      const QString wine = FindWine();
      if (wine.isEmpty()) {
        plan.failure = kShellNoAssociation;
        return plan;
      }
      const QString prefix = WinePrefixPath();
      if (!PrepareWinePrefix(wine, prefix, Drives())) {
        plan.failure = kShellFailed;
        return plan;
      }
      plan.program = wine;
      // Wine turns the host path and the working folder into the prefix's drive letters.
      plan.arguments = QStringList{*host} + arguments;
      plan.environment = WineEnvironment(prefix);
      return plan;
    }
    case FileKind::Document: {
      const QString opener = QStandardPaths::findExecutable("xdg-open");
      if (opener.isEmpty() || !HasDefaultApplication(*host)) {
        plan.failure = kShellNoAssociation;
        return plan;
      }
      plan.program = opener;
      plan.arguments = {*host};
      return plan;
    }
  }
  plan.failure = kShellFailed;
  return plan;
}

int StartDetached(const LaunchPlan& plan) {
  if (plan.failure <= 32) return plan.failure;
  // Everything the child needs is built before fork: after it only async-signal-safe calls.
  std::vector<QByteArray> argStore;
  argStore.push_back(QFile::encodeName(plan.program));
  for (const QString& a : plan.arguments) argStore.push_back(a.toLocal8Bit());
  std::vector<char*> argv;
  for (QByteArray& a : argStore) argv.push_back(a.data());
  argv.push_back(nullptr);
  std::vector<QByteArray> envStore;
  for (const QString& e : plan.environment.toStringList()) envStore.push_back(e.toLocal8Bit());
  std::vector<char*> envp;
  for (QByteArray& e : envStore) envp.push_back(e.data());
  envp.push_back(nullptr);
  const QByteArray folder = QFile::encodeName(plan.workingFolder);
  const QByteArray program = argStore.front();

  int report[2];
  if (pipe2(report, O_CLOEXEC) != 0) return ShellResultOfErrno(errno);
  // Two forks: the program is adopted by init at once, so nobody has to reap it and it
  // outlives the navigator.
  const pid_t middle = fork();
  if (middle < 0) {
    const int error = errno;
    close(report[0]);
    close(report[1]);
    return ShellResultOfErrno(error);
  }
  if (middle == 0) {
    close(report[0]);
    const pid_t child = fork();
    if (child < 0) {
      const int error = errno;
      (void)!write(report[1], &error, sizeof error);
      _exit(1);
    }
    if (child > 0) _exit(0);
    setsid();
    sigset_t none;
    sigemptyset(&none);
    sigprocmask(SIG_SETMASK, &none, nullptr);
    const int devNull = open("/dev/null", O_RDONLY);
    if (devNull >= 0) {
      dup2(devNull, STDIN_FILENO);
      close(devNull);
    }
    if (chdir(folder.constData()) != 0) {
      const int error = errno;
      (void)!write(report[1], &error, sizeof error);
      _exit(127);
    }
    execve(program.constData(), argv.data(), envp.data());
    const int error = errno;
    (void)!write(report[1], &error, sizeof error);
    _exit(127);
  }
  close(report[1]);
  int status = 0;
  while (waitpid(middle, &status, 0) < 0 && errno == EINTR) {
  }
  int childError = 0;
  ssize_t got;
  do {
    got = read(report[0], &childError, sizeof childError);
  } while (got < 0 && errno == EINTR);
  close(report[0]);
  if (got == static_cast<ssize_t>(sizeof childError)) return ShellResultOfErrno(childError);
  return kShellStarted;
}

int ShellOpen(const QString& path, const QString& parameters) {
  // A program on a disc image may read any file beside it: its folder's whole tree is unpacked
  // before it starts.
  if (LooksLikeWindowsPath(path)) Drives().PrepareTree(ExtractFilePath(path));
  return StartDetached(PlanShellOpen(path, parameters));
}

}  // namespace platform
