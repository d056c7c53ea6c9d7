#pragma once

// The demos of the sample disc: their description files and the folders with the stand-in
// programs their commands start.

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <vector>

namespace demos {

struct Demo {
  QString DemFile;  // as stored in "DemoData"
  int Category = 0;
  QString Title;
  QString Subtitle;
  QString Description;  // paragraphs joined by CR LF
  int RunsFromCD = 1;
  QString MainCommand;  // as stored, with "//95" and "//31" where used
  QString Folder;       // relative to the demos base, Windows separators
  int RootRelative = 0;
  QString DirectCommand = QStringLiteral("none");
  int MustClose = 0;
  QString HowTo;
  bool HasLogo = true;
  int Screenshots = 3;    // true-colour set (and palette set unless PaletteShots >= 0)
  int PaletteShots = -1;  // a different count for the palette set
  int ShotWidth = 320, ShotHeight = 240;
  QStringList Programs;  // disc paths (from the drive root, '/') of the stand-ins to write
};

// Every demo, in no particular order.
std::vector<Demo> All();

// The description file of a demo (pictures generated and compressed).
QByteArray DescriptionFile(const Demo& demo, int index);

}  // namespace demos
