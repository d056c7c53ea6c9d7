#pragma once

// BMR bitmap containers: a directory of names and (offset, size) pairs over plain Windows
// bitmap files. Names are looked up case-insensitively whatever order they are stored in
// (writers used more than one collation); containers that repeat a name, hold more entries
// than the reader's table, or point outside the file are refused like a missing file.
//
// The navigator keeps one container open at a time in memory (BmrArchive); the explorer reads
// its container once with a local directory (BmrReader). Errors reach the user as error
// dialogs with an OK button through the dialog service.

#include <QByteArray>
#include <QIODevice>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <vector>

#include "formats/FormatErrors.h"
#include "platform/Bitmap.h"

constexpr int32_t kBmrVersion = 100;

struct BmrDirectoryEntry {
  int32_t Offset = 0;
  int32_t Size = 0;
};

// The names and directory of a container, in stored order.
struct BmrDirectory {
  int32_t Version = 0;
  QStringList Names;
  std::vector<BmrDirectoryEntry> Entries;  // entry i belongs to Names[i]

  // Index of name (case-insensitive), or -1.
  int Find(const QString& name) const;
};

enum class BmrDirectoryResult { Ok, WrongVersion, Damaged };

// Reads the directory from the start of file. fileSize bounds every pair; maxEntries is the
// reader's table size. Shows no message (for tools and the fuzzer).
BmrDirectoryResult ParseBmrDirectory(QIODevice& file, qint64 fileSize, int maxEntries,
                                     BmrDirectory& directory);

// Reads the directory of the container winPath (a Windows path over the drive map) and shows
// the messages on failure: "A versão do arquivo BMR é incorreta." for a wrong version, then
// "Arquivo \"" + winPath + "\" não encontrado." for every failure.
std::optional<BmrDirectory> ReadBmrDirectory(const QString& winPath, int maxEntries);

// Shows the toolkit's error dialog (OK button) with text.
void ShowBmrError(const QString& text);
// "Arquivo \"" + fileName + "\" não encontrado."
QString BmrNotFoundText(const QString& fileName);

// The navigator's open-container state.
struct BmrDecoded;

class BmrArchive {
 public:
  static constexpr int kMaxEntries = 120;

  // True when a container of the same name (case-insensitive) is open or it could be opened:
  // directory read and the whole file copied into memory. False after the directory reader's
  // message when it cannot be used.
  bool OpenContainer(const QString& fileName);
  // Forgets the container and frees the memory copy. Always true.
  bool CloseContainer();
  bool IsOpen() const { return !openName_.isEmpty(); }
  const QString& OpenName() const { return openName_; }

  // Loads the bitmap name into target. With an empty containerName the open container serves
  // it; with a name, or when none is open, that container is opened for this call only (the
  // open one is forgotten). convert asks for the display's format when colourDepth is not 8;
  // otherwise the picture keeps its own palette. A missing name or a bad bitmap shows
  // "Arquivo \"" + container + "\" não encontrado." and leaves target unchanged (false).
  // Throws EBmrError("Arquivo \"...\" não encontrado ou defeituoso.") when a given container
  // cannot be opened.
  bool LoadBitmap(platform::Bitmap& target, const QString& name, const QString& containerName,
                  bool convert, int colourDepth);

 private:
  friend BmrDecoded DecodeBmrPictures(const QString&, const QStringList&, bool, int,
                                      const QStringList&);
  QString openName_;
  BmrDirectory directory_;
  QByteArray memoryCopy_;
};

// The navigator's one container.
BmrArchive& NavigatorBmr();

// A container opened and some of its pictures decoded ahead, off the main thread.
struct BmrDecoded {
  BmrArchive Archive;  // open on the container, as OpenContainer leaves it; closed when unusable
  std::map<QString, platform::Bitmap> Pictures;  // decoded with the conversion asked for
  std::map<QString, platform::Bitmap> Stored;    // decoded as stored (no conversion)
};

// Opens the container winPath and decodes the named pictures as BmrArchive::LoadBitmap would
// (convert and colourDepth alike), without any message and without touching NavigatorBmr(), so
// that a worker thread can do it while the window starts; storedNames as LoadBitmap without
// conversion. Names it cannot serve are absent; an unusable container gives a closed archive
// and no pictures.
BmrDecoded DecodeBmrPictures(const QString& winPath, const QStringList& names, bool convert,
                             int colourDepth, const QStringList& storedNames = {});

// The explorer's reader: the directory of one container (at most 40 entries) and the open file,
// while the skin loads.
class BmrReader {
 public:
  static constexpr int kMaxEntries = 40;

  // Reads the directory (with the messages on failure) and keeps the file open.
  bool Open(const QString& fileName);
  void Close();

  // The stored bitmap of name, loaded as stored (8-bit pictures keep their palette at
  // colourDepth 8). Nothing when the name is missing ("Não há bitmap com esse nome: ..." in
  // *error) or the bytes are not a bitmap; the caller ends the skin loading with
  // ReportFailure().
  std::optional<platform::Bitmap> Load(const QString& name, int colourDepth,
                                       QString* error = nullptr);
  // The stored bytes of name, unchanged.
  std::optional<QByteArray> Bytes(const QString& name);
  // "Arquivo \"" + file name + "\" não encontrado." as an error dialog.
  void ReportFailure() const;

  const BmrDirectory& Directory() const { return directory_; }

 private:
  QString fileName_;
  BmrDirectory directory_;
  std::unique_ptr<QIODevice> file_;
};
