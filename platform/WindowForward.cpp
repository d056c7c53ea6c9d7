#include "platform/WindowForward.h"

#include <QProcess>
#include <QProcessEnvironment>
#include <QStandardPaths>

#include "platform/TitledWindow.h"

namespace platform {
namespace {
constexpr int kWindowManagerTimeoutMs = 3000;
}

bool BringWindowForward(const QString& title) {
  if (RestoreWindowByTitle(title)) return true;
  // Wayland compositors let no program raise another's window; only X11 window managers do.
  if (qEnvironmentVariableIsEmpty("DISPLAY")) return false;
  const QString tool = QStandardPaths::findExecutable("wmctrl");
  if (tool.isEmpty()) return false;
  QProcess process;
  process.setStandardInputFile(QProcess::nullDevice());
  // -F: the exact title; -a: switch to its desktop, restore it and raise it.
  process.start(tool, {"-F", "-a", title});
  if (!process.waitForFinished(kWindowManagerTimeoutMs)) {
    process.kill();
    process.waitForFinished();
    return false;
  }
  return process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

}  // namespace platform
