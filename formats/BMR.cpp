#include "formats/BMR.h"

#include <algorithm>

#include "formats/DemoFile.h"
#include "formats/DiscFiles.h"
#include "formats/FieldReader.h"
#include "platform/Dialogs.h"

namespace {

// One entry's picture, read in place from the container's memory copy (the entry was checked
// to lie inside it).
std::optional<platform::Bitmap> DecodeEntry(const QByteArray& copy, const BmrDirectoryEntry& e,
                                            bool convert, int colourDepth) {
  if (e.Offset < 0 || e.Size < 0 || qint64(e.Offset) + e.Size > copy.size()) return std::nullopt;
  const QByteArray bytes = QByteArray::fromRawData(copy.constData() + e.Offset, e.Size);
  return platform::Bitmap::FromBmp(bytes, convert && colourDepth != 8 ? 32 : 8);
}

QString VersionText() {
  return QString::fromUtf8("A versão do arquivo BMR é incorreta.");
}

QString DamagedText(const QString& fileName) {
  return QString::fromUtf8("Arquivo \"%1\" não encontrado ou defeituoso.").arg(fileName);
}

// Reads the directory from an open file and shows the messages of a failed read.
std::optional<BmrDirectory> ReadDirectoryOrReport(QIODevice* file, const QString& fileName,
                                                  int maxEntries) {
  BmrDirectory directory;
  const BmrDirectoryResult result =
      file ? ParseBmrDirectory(*file, file->size(), maxEntries, directory)
           : BmrDirectoryResult::Damaged;
  if (result == BmrDirectoryResult::Ok) return directory;
  if (result == BmrDirectoryResult::WrongVersion) ShowBmrError(VersionText());
  ShowBmrError(BmrNotFoundText(fileName));
  return std::nullopt;
}

}  // namespace

int BmrDirectory::Find(const QString& name) const {
  // Containers were written in more than one collation's order, so the lookup does not rely on
  // the stored order; a directory holds at most a few hundred names.
  for (qsizetype i = 0; i < Names.size(); ++i)
    if (Names[i].compare(name, Qt::CaseInsensitive) == 0) return int(i);
  return -1;
}

BmrDirectoryResult ParseBmrDirectory(QIODevice& file, qint64 fileSize, int maxEntries,
                                     BmrDirectory& directory) {
  directory = BmrDirectory{};
  FieldReader r(file);
  if (!r.Seek(0) || !r.Int32(directory.Version)) return BmrDirectoryResult::Damaged;
  if (directory.Version != kBmrVersion) return BmrDirectoryResult::WrongVersion;
  int32_t headerLength = 0;
  int32_t count = 0;
  if (!r.Int32(headerLength) || !r.Skip(headerLength) || !r.Int32(count))
    return BmrDirectoryResult::Damaged;
  if (count < 0 || count > maxEntries) return BmrDirectoryResult::Damaged;
  for (int32_t i = 0; i < count; ++i) {
    QString name;
    if (!r.Text(name)) return BmrDirectoryResult::Damaged;
    directory.Names.append(name);
  }
  // A name stored twice would leave one of its pictures unreachable.
  QStringList folded;
  folded.reserve(directory.Names.size());
  for (const QString& name : directory.Names) folded.append(name.toCaseFolded());
  folded.sort();
  if (std::adjacent_find(folded.begin(), folded.end()) != folded.end())
    return BmrDirectoryResult::Damaged;
  directory.Entries.resize(size_t(count));
  for (BmrDirectoryEntry& e : directory.Entries) {
    if (!r.Int32(e.Offset) || !r.Int32(e.Size)) return BmrDirectoryResult::Damaged;
    if (e.Offset < 0 || e.Size < 0 || qint64(e.Offset) + e.Size > fileSize)
      return BmrDirectoryResult::Damaged;
  }
  return BmrDirectoryResult::Ok;
}

std::optional<BmrDirectory> ReadBmrDirectory(const QString& winPath, int maxEntries) {
  const std::unique_ptr<QFile> file = OpenDiscFile(winPath);
  return ReadDirectoryOrReport(file.get(), winPath, maxEntries);
}

void ShowBmrError(const QString& text) {
  platform::MessageBoxRequest request;
  request.title = QStringLiteral("Error");
  request.text = text;
  request.icon = platform::MsgIcon::Stop;
  request.buttons = platform::MsgButtons::Ok;
  platform::Dialogs().ShowMessage(request);
}

QString BmrNotFoundText(const QString& fileName) {
  return QString::fromUtf8("Arquivo \"%1\" não encontrado.").arg(fileName);
}

// ---- The navigator's open container ----

bool BmrArchive::OpenContainer(const QString& fileName) {
  if (IsOpen() && openName_.compare(fileName, Qt::CaseInsensitive) == 0) return true;
  CloseContainer();
  std::optional<BmrDirectory> directory = ReadBmrDirectory(fileName, kMaxEntries);
  if (!directory) return false;
  const std::unique_ptr<QFile> file = OpenDiscFile(fileName);
  QByteArray copy = file ? file->readAll() : QByteArray();
  // The directory was checked against the file's size; a file that changed since is refused.
  for (const BmrDirectoryEntry& e : directory->Entries)
    if (qint64(e.Offset) + e.Size > copy.size()) return false;
  directory_ = std::move(*directory);
  memoryCopy_ = std::move(copy);
  openName_ = fileName;
  return true;
}

bool BmrArchive::CloseContainer() {
  openName_.clear();
  directory_ = BmrDirectory{};
  memoryCopy_ = QByteArray();
  return true;
}

bool BmrArchive::LoadBitmap(platform::Bitmap& target, const QString& name,
                            const QString& containerName, bool convert, int colourDepth) {
  if (containerName.isEmpty() && !IsOpen()) {
    ShowBmrError(BmrNotFoundText(containerName));
    return false;
  }
  const bool openedHere = !containerName.isEmpty();
  if (openedHere) {
    openName_.clear();  // the open container is forgotten
    if (!OpenContainer(containerName)) throw EBmrError(DamagedText(containerName));
  }
  const QString container = openName_;
  bool loaded = false;
  const int index = directory_.Find(name);
  if (index >= 0) {
    std::optional<platform::Bitmap> bitmap =
        DecodeEntry(memoryCopy_, directory_.Entries[size_t(index)], convert, colourDepth);
    if (bitmap) {
      target = std::move(*bitmap);
      loaded = true;
    }
  }
  if (!loaded) ShowBmrError(BmrNotFoundText(container));
  if (openedHere) CloseContainer();
  return loaded;
}

BmrArchive& NavigatorBmr() {
  static BmrArchive archive;
  return archive;
}

BmrDecoded DecodeBmrPictures(const QString& winPath, const QStringList& names, bool convert,
                             int colourDepth, const QStringList& storedNames) {
  BmrDecoded decoded;
  const std::unique_ptr<QFile> file = OpenDiscFile(winPath);
  if (!file) return decoded;
  BmrDirectory directory;
  if (ParseBmrDirectory(*file, file->size(), BmrArchive::kMaxEntries, directory) !=
      BmrDirectoryResult::Ok)
    return decoded;
  if (!file->seek(0)) return decoded;
  QByteArray copy = file->readAll();
  for (const BmrDirectoryEntry& e : directory.Entries)
    if (qint64(e.Offset) + e.Size > copy.size()) return decoded;
  auto decode = [&](const QStringList& wanted, bool conversion, auto& into) {
    for (const QString& name : wanted) {
      const int index = directory.Find(name);
      if (index < 0) continue;
      if (auto bitmap = DecodeEntry(copy, directory.Entries[size_t(index)], conversion, colourDepth))
        into.emplace(name, std::move(*bitmap));
    }
  };
  decode(names, convert, decoded.Pictures);
  decode(storedNames, false, decoded.Stored);
  BmrArchive& archive = decoded.Archive;
  archive.directory_ = std::move(directory);
  archive.memoryCopy_ = std::move(copy);
  archive.openName_ = winPath;
  return decoded;
}

// ---- The explorer's reader ----

bool BmrReader::Open(const QString& fileName) {
  Close();
  fileName_ = fileName;
  file_ = OpenDiscFile(fileName);
  std::optional<BmrDirectory> directory = ReadDirectoryOrReport(file_.get(), fileName, kMaxEntries);
  if (!directory) {
    file_.reset();
    return false;
  }
  directory_ = std::move(*directory);
  return true;
}

void BmrReader::Close() {
  file_.reset();
  directory_ = BmrDirectory{};
}

std::optional<QByteArray> BmrReader::Bytes(const QString& name) {
  const int index = directory_.Find(name);
  if (index < 0 || !file_) return std::nullopt;
  const BmrDirectoryEntry& e = directory_.Entries[size_t(index)];
  if (!file_->seek(e.Offset)) return std::nullopt;
  QByteArray bytes = file_->read(e.Size);
  if (bytes.size() != e.Size) return std::nullopt;
  return bytes;
}

std::optional<platform::Bitmap> BmrReader::Load(const QString& name, int colourDepth,
                                                QString* error) {
  const std::optional<QByteArray> bytes = Bytes(name);
  if (!bytes) {
    if (error) *error = QString::fromUtf8("Não há bitmap com esse nome: \"%1\"").arg(name);
    return std::nullopt;
  }
  std::optional<platform::Bitmap> bitmap = platform::Bitmap::FromBmp(*bytes, colourDepth);
  if (!bitmap && error) *error = QStringLiteral("Bitmap image is not valid");
  return bitmap;
}

void BmrReader::ReportFailure() const {
  ShowBmrError(BmrNotFoundText(fileName_));
}
