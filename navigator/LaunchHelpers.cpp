#include "navigator/LaunchHelpers.h"

#include "common/Messages.h"
#include "platform/DesktopApps.h"
#include "platform/Dialogs.h"
#include "platform/Drives.h"
#include "platform/Launch.h"
#include "platform/PeVersion.h"

int LaunchProgram(const QString& path, const QString& parameters) {
  return platform::ShellOpen(path, parameters);
}

int LaunchErrorCode(int shellResult) {
  if (shellResult > 32 || shellResult == -1) return -1;
  switch (shellResult) {
    case 0:
    case 8: return 18;
    case 2:
    case 3: return 19;
    case 11: return 20;
    case 26: return 21;
    default: return 39;
  }
}

namespace {
bool Exists(const QString& path, LocateTarget target) {
  return target == LocateTarget::Folder ? platform::DirectoryExists(path)
                                        : platform::FileExists(path);
}
}  // namespace

bool LocateFile(QString& path, QString& demosRoot, LocateTarget target) {
  bool found = true;
  while (!Exists(path, target)) {
    found = false;
    ShowAppMessage(19, path);
    platform::FileDialogRequest request;
    request.title = "Cadê: " + path + "?";
    request.filters = {"Todos os arquivos (*.*)", "Executáveis (*.exe)", "Lote (*.bat)"};
    const auto chosen = platform::Dialogs().OpenFile(request);
    if (!chosen) break;
    // Only the drive of the chosen file is used: the disc is the same, its letter differs.
    const auto windows = platform::Drives().ToWindows(*chosen);
    const QString drive = windows ? platform::ExtractFileDrive(*windows) : QString();
    if (!drive.isEmpty()) path = drive + path.mid(2);
    if (Exists(path, target)) {
      // Without a drive of its own the choice says nothing about where the disc now is.
      if (!drive.isEmpty()) demosRoot = drive + "\\";
      found = true;
    }
  }
  return found;
}

QString CleanRegisteredCommand(const QString& command) {
  QString text = command;
  for (const char* marker : {" \"%", " %"}) {
    const qsizetype at = text.indexOf(marker);
    if (at >= 0) text.truncate(at);
  }
  return text.trimmed();
}

QString FindAssociatedProgram(const QString& extension) {
  const QString cleaned = CleanRegisteredCommand(platform::RegisteredOpenCommand(extension));
  if (cleaned.isEmpty()) return {};
  const QString program = platform::ResolveRegisteredProgram(cleaned);
  return program.isEmpty() ? cleaned : program;
}

uint32_t FileVersionHigh(const QString& path) {
  const auto host = platform::HostPathOf(path);
  if (!host) return 0;
  const auto version = platform::ReadPeVersionOfFile(*host);
  return version ? version->FileVersionMS : 0;
}
