#include <QCoreApplication>
#include <QFileInfo>

#include "common/CommandLine.h"
#include "common/Environment.h"
#include "common/Messages.h"
#include "navigator/AdvPanel.h"
#include "navigator/DemoActions.h"
#include "navigator/LaunchHelpers.h"
#include "navigator/uNewQuery.h"
#include "platform/Drives.h"
#include "platform/Launch.h"
#include "platform/WindowForward.h"

namespace {
constexpr uint32_t kCurrentReaderVersion = 0x30000;
constexpr int kEffectClick = 0;
constexpr int kClickChannel = 1;

QString MagazinePath(const QString& demosRoot) { return demosRoot + "Revista\\KVR.pdf"; }
QString ReaderSetupPath(const QString& demosRoot) {
  return demosRoot + "Demos\\Utilitar\\Acro3_32\\Setup.exe";
}
}  // namespace

QString DemoActions::InstallerFolder() {
  const QString share = Env().ShareDir;
  const QString folder = platform::ExtractFilePath(share.left(share.size() - 1));
  return platform::IncludeTrailingBackslash(folder);
}

QString DemoActions::ExplorerProgram() {
  const QString onDisc = Env().ProgramDir + "Lumex.exe";
  if (platform::FileExists(onDisc)) return onDisc;
  // The explorer is built beside the navigator rather than kept on the disc.
  const QString built = QCoreApplication::applicationDirPath() + "/lumex";
  if (QFileInfo(built).isExecutable()) return built;
  return onDisc;
}

void DemoActions::InstallReader() {
  QString setup = ReaderSetupPath(window_.DemosRoot());
  if (!LocateFile(setup, window_.DemosRoot())) return;
  if (Launch(setup)) window_.MinimiseApplication();
}

void DemoActions::gtbMagaClick() {
  if (PdfReaderPath.isEmpty()) PdfReaderPath = FindAssociatedProgram(".pdf");
  if (PdfReaderPath.isEmpty()) {
    if (ShowAppMessage(41) == platform::MsgResult::Yes) {
      InstallReader();
      return;
    }
    if (AskText("Onde está o Acrobat Reader?",
                "Indique o caminho completo, se souber.\n\rCancele o processo se você não "
                "souber ou se ele não existir.",
                PdfReaderPath)) {
      gtbMagaClick();
    } else {
      PdfReaderPath.clear();
    }
    return;
  }
  // A reader of this desktop has no Windows version resource: it counts as current.
  const bool current = FileVersionHigh(PdfReaderPath) >= kCurrentReaderVersion ||
                       platform::IsNativeProgram(PdfReaderPath);
  if (current || ShowAppMessage(40) == platform::MsgResult::Yes) {
    QString magazine = MagazinePath(window_.DemosRoot());
    if (!LocateFile(magazine, window_.DemosRoot())) return;
    const int code = LaunchErrorCode(LaunchProgram(PdfReaderPath, magazine));
    if (code < 0) {
      window_.MinimiseApplication();
    } else {
      ShowAppMessage(code, PdfReaderPath);
      PdfReaderPath.clear();
    }
    return;
  }
  PdfReaderPath.clear();
  if (ShowAppMessage(42) == platform::MsgResult::Yes) InstallReader();
}

void DemoActions::gtbdxClick() {
  window_.PlayEffect(kEffectClick, kClickChannel);
  if (ShowAppMessage(24) != platform::MsgResult::Yes) return;
  QString setup = window_.DemosRoot() + "Demos\\utilitar\\directx\\dx6su111.exe";
  if (!LocateFile(setup, window_.DemosRoot())) return;
  if (Launch(setup)) window_.TerminateApplication();
}

void DemoActions::miDXInfoClick() {
  if (platform::BringWindowForward(kDirectXWindowTitle)) return;
  QString diagnostics = window_.DemosRoot() + "Demos\\utilitar\\directx\\dxdiag.exe";
  if (!LocateFile(diagnostics, window_.DemosRoot())) return;
  Launch(diagnostics);
}

void DemoActions::miDLLlibClick() {
  if (platform::BringWindowForward(kDllToolWindowTitle)) return;
  Launch(InstallerFolder() + "dllinst\\copier32.exe", "velOrbint");
}

void DemoActions::miAcionarRARezClick() {
  if (platform::BringWindowForward(kExplorerWindowTitle)) return;
  const QString program = ExplorerProgram();
  // The explorer built beside the navigator is not on the disc: it is told where the disc is.
  const bool onDisc = program == Env().ProgramDir + "Lumex.exe";
  Launch(program, onDisc ? QString() : ExplorerParameters(QCoreApplication::arguments()));
}

QString DemoActions::ExplorerParameters(const QStringList& navigatorArguments) {
  const CommandLine line = ParseCommandLine(navigatorArguments, ProgramKind::Navigator);
  QStringList parts;
  auto add = [&parts](const char* option, const QString& value) {
    parts << QString::fromLatin1(option) << '"' + value + '"';
  };
  if (!line.disc.isEmpty()) add("--disc", QFileInfo(line.disc).absoluteFilePath());
  if (!line.programDir.isEmpty()) add("--program-dir", QFileInfo(line.programDir).absoluteFilePath());
  for (const QString& drive : line.driveSpecs) add("--drive", drive);
  if (!line.winePrefix.isEmpty()) add("--wine-prefix", line.winePrefix);
  return parts.join(' ');
}

void DemoActions::miSelfInstClick() {
  // The installer copies the navigator, which must not be running then.
  if (Launch(InstallerFolder() + "instalar.exe")) window_.TerminateApplication();
}

void DemoActions::StartTrailer(int index) {
  QString trailer = AdvPanel::TrailerPath(window_.DemosRoot(), index);
  if (trailer.isEmpty() || !LocateFile(trailer, window_.DemosRoot())) return;
  window_.MinimiseApplication();
  const int code = LaunchErrorCode(LaunchProgram(trailer, {}));
  if (code < 0) return;
  window_.RestoreApplication();
  ShowAppMessage(code, trailer);
}
