// The popup menu's "Copiar Pasta do Demo": the described demo's folder, found on whichever
// drive holds the disc, into the copy window.

#include "formats/DemoFile.h"
#include "navigator/DemoActions.h"
#include "navigator/LaunchHelpers.h"
#include "navigator/ViewState.h"
#include "navigator/uCopyAll.h"

void DemoActions::miCopyAllClick() {
  const int mode = window_.CurrentMode();
  if (!IsDescriptionMode(mode)) return;
  const DemoEntry* entry = window_.Entry(CategoryOfMode(mode), window_.DescribedEntry());
  if (!entry) return;
  QString& demosRoot = window_.DemosRoot();
  QString source = DemoSourceFolder(demosRoot, *entry);
  // An existing folder counts as found; the user may point at the disc in another drive.
  if (!LocateFile(source, demosRoot, LocateTarget::Folder)) return;
  CopyDemoFolder(window_.DialogOwner(), entry->Title, source);
}
