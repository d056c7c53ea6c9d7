#pragma once

// Writes demo description files (".dem"): the texts, commands and flags of one demo followed
// by the two picture tables (palette set, true-colour set) and the zlib-compressed pictures.
// Every field can be set to any value, so that tests can build damaged files too.

#include <QByteArray>
#include <QString>
#include <QVector>
#include <cstdint>
#include <optional>

namespace discwriter {

struct DemPicture {
  QByteArray Bmp;  // a complete Windows bitmap file; stored zlib-compressed
  // Written into the table instead of the real (offset, size), for damaged files.
  std::optional<int32_t> OffsetOverride;
  std::optional<int32_t> SizeOverride;
};

// Where Build put things, for tests that patch or check a file.
struct DemLayout {
  struct Ref {
    int32_t Offset = 0;
    int32_t Size = 0;
  };
  QVector<Ref> PaletteRefs;     // as written in the palette table
  QVector<Ref> TrueColourRefs;  // as written in the true-colour table
  qsizetype CategoryOffset = 0;
  qsizetype TitleOffset = 0;            // the title's int32 length
  qsizetype PaletteCountOffset = 0;     // the C8 byte
  qsizetype TrueColourCountOffset = 0;  // the C24 byte
  qsizetype PictureDataOffset = 0;      // first byte after the tables
};

struct DemWriter {
  int32_t Signature = 207;
  QByteArray Reserved1;  // the reserved block after the signature
  int32_t Category = 0;  // 0..4; the readers use its lowest byte
  QString Title;
  QString Subtitle;
  QString Description;  // paragraphs separated by CR LF
  QByteArray Trailing;  // the block skipped after the description
  uint8_t RunsFromCD = 1;
  QString MainCommand;  // stored as given, e.g. "//95 SETUP.EXE //31 INSTALL.EXE"
  QString Folder;
  uint8_t RootRelative = 0;
  QString DirectCommand = QStringLiteral("none");
  uint8_t MustClose = 0;
  QString HowTo;  // marker ("//mi", "//ex", "//dk") followed by the path
  uint8_t Reserved19 = 0;
  QByteArray Reserved2;               // the reserved block before the pictures
  uint8_t HasLogo = 0;                // 1: the first picture of each set is the logo
  QVector<DemPicture> PaletteSet;     // for displays of 8 bits per pixel or less
  QVector<DemPicture> TrueColourSet;  // for deeper displays
  // Count bytes written instead of the set sizes (the tables still hold every picture).
  std::optional<uint8_t> PaletteCountOverride;
  std::optional<uint8_t> TrueColourCountOverride;
  int CompressionLevel = -1;  // zlib level, -1 for its default

  // Identical pictures (same bytes) are stored once and shared by both tables.
  QByteArray Build(DemLayout* layout = nullptr) const;
};

}  // namespace discwriter
