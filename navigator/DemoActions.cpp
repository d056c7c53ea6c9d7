#include "navigator/DemoActions.h"

#include "common/Messages.h"
#include "formats/DemoFile.h"
#include "navigator/LaunchHelpers.h"
#include "navigator/uInst.h"
#include "platform/Dialogs.h"

namespace {
constexpr int kEffectCapOpen = 5;
constexpr int kCapOpenChannel = 6;
constexpr int kFirstPageMode = 5;
constexpr int kLastPageMode = 9;
constexpr int kLastListMode = 4;
enum Choice : uint8_t { kDirect = 0, kInstall = 1, kCancel = 2 };
}  // namespace

void DemoActions::gtbInstClick() {
  window_.PlayEffect(kEffectCapOpen, kCapOpenChannel);
  RunSelectedDemo();
}

bool DemoActions::Launch(const QString& path, const QString& parameters) {
  const int code = LaunchErrorCode(LaunchProgram(path, parameters));
  if (code < 0) return true;
  ShowAppMessage(code, path);
  return false;
}

void DemoActions::RunSelectedDemo() {
  const int mode = window_.CurrentMode();
  if (mode >= 0 && mode <= kLastListMode) {
    window_.OpenSelectedForRun();
    return;
  }
  if (mode < kFirstPageMode || mode > kLastPageMode) return;
  const DemoEntry* entry = window_.Entry(mode - kFirstPageMode, window_.DescribedEntry());
  if (!entry) return;

  uint8_t choice = kInstall;
  if (entry->RunsFromCD == 0) {
    if (ShowAppMessage(31) != platform::MsgResult::Yes) return;
  } else if (entry->DirectCommand == "none") {  // the marker is lower case only
    if (ShowAppMessage(30) != platform::MsgResult::Yes) return;
  } else {
    choice = kDirect;
    {
      TfmInst form(&choice, window_.DialogOwner());
      platform::Dialogs().RunForm(form);
    }
    if (choice == kCancel) return;
  }
  const bool closeAfter = entry->MustClose != 0;
  if (closeAfter && ShowAppMessage(24) != platform::MsgResult::Yes) return;

  const QString command = choice == kInstall ? entry->MainCommand : entry->DirectCommand;
  QString& demosRoot = window_.DemosRoot();
  const QString base = entry->RootRelative ? demosRoot : demosRoot + "Demos\\";
  QString program;
  QString parameters;
  if (command.contains('/')) {
    const qsizetype space = command.indexOf(' ');
    program = base + (space < 0 ? QString() : command.left(space));
    parameters = command.mid(command.indexOf('/') + 1);
    // The description files write paths on the disc as ":\..." without a drive letter.
    if (parameters.contains(":\\") && !demosRoot.isEmpty()) parameters.prepend(demosRoot[0]);
  } else {
    program = base + command;
  }
  if (!LocateFile(program, demosRoot)) return;

  window_.MinimiseApplication();
  const int code = LaunchErrorCode(LaunchProgram(program, parameters));
  if (code >= 0) {
    window_.RestoreApplication();
    ShowAppMessage(code, program);
    return;
  }
  if (closeAfter) window_.TerminateApplication();
}
