#pragma once

// The demo actions of the main window: run or install the described demo, save a screenshot
// as the wallpaper, open the magazine, and start the fixed tools (DirectX set-up and
// information, the DLL tool, the explorer, the navigator's own installer). They reach the
// window only through DemoActionWindow, so they are tested without it.
//
//   DemoActions.cpp   RunSelectedDemo and its choice window
//   ToolActions.cpp   the magazine, the tools and the self-install
//   Wallpaper.cpp     the wallpaper
//   CopyAction.cpp    the copy of the demo's folder

#include <QString>
#include <optional>

#include "platform/Bitmap.h"

struct DemoEntry;
class QWidget;

// What the actions need of the main window.
class DemoActionWindow {
 public:
  virtual ~DemoActionWindow() = default;
  virtual int CurrentMode() const = 0;
  virtual int ReturnMode() const = 0;
  virtual int DescribedEntry() const = 0;  // 1-based index in the category of the page
  virtual int ImageNumber() const = 0;     // 1-based screenshot shown
  // Entry index (1-based) of category; nullptr when there is none.
  virtual const DemoEntry* Entry(int category, int index) const = 0;
  // The root of the demo folders ("D:\"); LocateFile may move it to another drive.
  virtual QString& DemosRoot() = 0;
  // In a list mode: opens the selected demo's page as a click on its row does and sets
  // PendingRun, so the action runs again on the page; nothing when no row is selected.
  virtual void OpenSelectedForRun() = 0;
  virtual void PlayEffect(int effect, int channel) = 0;
  // Minimises the application and lets pending events run (the sound goes quiet).
  virtual void MinimiseApplication() = 0;
  virtual void RestoreApplication() = 0;
  // Ends the program through the normal shutdown order.
  virtual void TerminateApplication() = 0;
  // The full-size picture of screenshot ImageNumber of the described entry, or nothing.
  virtual std::optional<platform::Bitmap> Screenshot() const = 0;
  // Owner of the small dialog windows (may be null).
  virtual QWidget* DialogOwner() const = 0;
};

// The window titles looked for before starting a tool a second time.
inline const QString kDirectXWindowTitle = QStringLiteral("Programa de Instalação do DirectX(tm)");
inline const QString kDllToolWindowTitle = QStringLiteral("Copiador de DLLs e afins - 32bits");
inline const QString kExplorerWindowTitle = QStringLiteral("Explorador MM - Quarx CD-ROM");

class DemoActions {
 public:
  explicit DemoActions(DemoActionWindow& window) : window_(window) {}

  // The install button: the "CapOpen" effect, then RunSelectedDemo.
  void gtbInstClick();
  void RunSelectedDemo();
  // The wallpaper button.
  void gtbPapelClick();
  // The magazine button and the tools.
  void gtbMagaClick();
  void gtbdxClick();
  void miDXInfoClick();
  void miDLLlibClick();
  void miAcionarRARezClick();
  void miSelfInstClick();
  // The popup menu's "Copiar Pasta do Demo": the copy window for the described demo.
  void miCopyAllClick();
  // A click on the advertisement panel: the trailer of the advertisement at index.
  void StartTrailer(int index);

  // The reader found for PDF files; empty until the magazine is first opened, cleared again
  // whenever the reader turns out unusable.
  QString PdfReaderPath;

  // Where the explorer is started from: ProgramDir + "Lumex.exe" when the disc has one, else
  // the built explorer beside the navigator's own executable.
  static QString ExplorerProgram();
  // What the built explorer is told of the disc: the navigator's --disc, --program-dir,
  // --drive and --wine-prefix options (arguments as the navigator got them).
  static QString ExplorerParameters(const QStringList& navigatorArguments);
  // The folder that holds "SHAREDIR": where the installer and the DLL tool live.
  static QString InstallerFolder();

 private:
  // LaunchProgram then LaunchErrorCode; on failure the message with path. True when started.
  bool Launch(const QString& path, const QString& parameters = {});
  void InstallReader();
  DemoActionWindow& window_;
};
