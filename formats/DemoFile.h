#pragma once

// Demo description files (".dem" in ShareDir + "DemoData\") and the catalogue built from them
// at start-up. Only texts and picture locations are kept; the zlib-compressed pictures stay in
// the description files and are decoded on demand, one at a time.

#include <QIODevice>
#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "platform/Bitmap.h"

// The five categories, in the order of the main window's category buttons.
enum DemoCategory : int {
  dcGames = 0,
  dcApplications = 1,
  dcInternet = 2,
  dcScreenSavers = 3,
  dcUtilities = 4,
};
constexpr int kCategoryCount = 5;
constexpr int kMaxDemosPerCategory = 19;
constexpr int kMaxImagesPerDemo = 10;
constexpr int32_t kDemSignature = 207;

// A zlib-compressed Windows bitmap inside a description file: Offset is the byte position of
// the zlib stream from the start of the file (0: no picture), Size the exact length of the
// decompressed bitmap file.
struct ImageRef {
  int32_t Offset = 0;
  int32_t Size = 0;
  friend bool operator==(const ImageRef&, const ImageRef&) = default;
};

struct DemoEntry {
  QString DemFile;           // file name as found in "DemoData\", without folder
  QString Title;             // first title line
  QString Subtitle;          // second title line
  QString Description;       // paragraphs separated by CR LF
  uint8_t RunsFromCD = 0;    // 0: must be installed on a hard disk first
  QString MainCommand;       // reduced to its Windows 95 part and trimmed
  QString Folder;            // relative to the demos base, as stored
  QString DirectCommand;     // trimmed; "none": no run-from-disc choice
  QString HowTo;             // marker ("//mi", "//ex", "//dk") + path; empty when only a marker
  uint8_t RootRelative = 0;  // 1: relative to DemosRoot; 0: to DemosRoot + "Demos\"
  uint8_t MustClose = 0;     // 1: the navigator closes to run this demo
  ImageRef Logo;             // {0, 0} when there is none
  int32_t ImageCount = 0;    // 0..10
};

// One description file as read, before it takes its place in the catalogue.
struct DemoFileData {
  int Category = 0;  // lowest byte of the stored category (may lie outside 0..4)
  DemoEntry Entry;
  std::vector<ImageRef> Images;  // Entry.ImageCount screenshots, in order
};

// Five categories of at most 19 demos, each with up to 10 screenshots. Entries are addressed
// by (category 0..4, index 1..Counts[category]).
struct DemoCatalogue {
  std::array<std::array<DemoEntry, kMaxDemosPerCategory>, kCategoryCount> Entries;
  std::array<std::array<std::array<ImageRef, kMaxImagesPerDemo>, kMaxDemosPerCategory>,
             kCategoryCount>
      Images{};
  std::array<int32_t, kCategoryCount> Counts{};

  DemoEntry& Entry(int category, int index) { return Entries.at(category).at(index - 1); }
  const DemoEntry& Entry(int category, int index) const {
    return Entries.at(category).at(index - 1);
  }
  // Screenshot k (1..10) of entry index (1-based) of category.
  const ImageRef& Image(int category, int index, int k) const {
    return Images.at(category).at(index - 1).at(k - 1);
  }
  // Before a reload (the loader itself never clears the counts).
  void ClearCounts() { Counts.fill(0); }
};

// Reads one description file from its start. The picture set follows colourDepth (the
// true-colour set above 8 bits per pixel). Nothing when the file is unusable: the signature
// missing after three reads, a length or count running past the end of the file, or a
// negative length.
std::optional<DemoFileData> ReadDemoFile(QIODevice& file, int colourDepth);

// Appends a read file to its category. False (catalogue unchanged) when the category lies
// outside 0..4 or already holds 19 demos.
bool AppendDemo(DemoCatalogue& catalogue, DemoFileData data);

// Loads every "*.dem" of shareDir + "DemoData\" (a Windows path over the drive map), in
// SortCatalogueNames order, appending to the catalogue. Unusable files are skipped; with
// no files the catalogue is left as it was. Returns how many demos were added.
int LoadCatalogue(DemoCatalogue& catalogue, const QString& shareDir, int colourDepth);

// The same over any file source: names are sorted here, open returns nothing for a file that
// cannot be opened.
using DemoFileOpener = std::function<std::unique_ptr<QIODevice>(const QString& name)>;
int LoadCatalogueFrom(DemoCatalogue& catalogue, QStringList names, const DemoFileOpener& open,
                      int colourDepth);

// The catalogue's order: case-insensitive collation of the disc's language ("Ábaco", "bola",
// "Égua", "faca"); names that differ only in letter case in byte order.
void SortCatalogueNames(QStringList& names);

// Names compared without regard to case, code point by code point (the advertisements' order).
int CompareNamesInsensitive(const QString& a, const QString& b);

// Leading and trailing blanks and control characters (anything up to the space) removed.
QString TrimControls(const QString& text);

// The command of a stored main command text: the part after "//95" (up to the blank before a
// later "//31"), trimmed; the whole text trimmed when it has no "//95".
QString SelectMainCommand(const QString& stored);

// Decodes the picture at ref from a description file: inflates ref.Size bytes from ref.Offset
// and reads the bitmap file. At colourDepth 8 the picture keeps its own palette; otherwise it
// is converted to true colour. Nothing on offset 0, an inflate error, a short stream or a
// file that is not a bitmap; never throws.
std::optional<platform::Bitmap> DecodePicture(QIODevice& file, ImageRef ref, int colourDepth);
// The same for ShareDir + "DemoData\" + demFile (a Windows path over the drive map); the file
// is opened for this call only.
std::optional<platform::Bitmap> DecodeDemoPicture(const QString& shareDir, const QString& demFile,
                                                  ImageRef ref, int colourDepth);
// The decompressed bitmap file itself (what DecodePicture reads), for tools.
std::optional<QByteArray> InflatePicture(QIODevice& file, ImageRef ref);

// The installation instructions of a HowTo text: header lines by marker, then the path from
// the outermost folder to the innermost ("C:", "·Jogos", "·Demo").
struct HowToText {
  QStringList Lines;
  int FirstPathLine = 0;  // index of the first path line (Lines.size() when there is none)
};
HowToText HowToLines(const QString& howTo);
