// The bitmap container and animation commands: bmr list/extract, bpk info/frame/extract.

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>

#include "common/Messages.h"
#include "formats/BMR.h"
#include "formats/BPK.h"
#include "platform/RegularFile.h"
#include "tools/quarxtool/Tool.h"

namespace quarxtool {
namespace {

// Stored bytes for ".bmp", the decoded picture for ".png"; either way only bytes the programs
// would accept as a picture are written.
bool WriteStoredPicture(const QByteArray& bmp, const QString& out) {
  const std::optional<platform::Bitmap> bitmap = platform::Bitmap::FromBmp(bmp, 32);
  if (!bitmap) return false;
  if (PictureKind(out) == QLatin1String(".bmp")) return WriteBytes(bmp, out);
  return WritePicture(bitmap->Image(), out);
}

std::optional<BmrDirectory> ReadDirectory(const QString& path, std::unique_ptr<QFile>& file) {
  file = platform::OpenRegularFile(path);
  BmrDirectory directory;
  BmrDirectoryResult result = BmrDirectoryResult::Damaged;
  // A tool may list any number of entries the file can hold.
  if (file)
    result = ParseBmrDirectory(*file, file->size(),
                               int(std::min<qint64>(file->size() / 8, 1 << 24)), directory);
  if (result == BmrDirectoryResult::Ok) return directory;
  if (result == BmrDirectoryResult::WrongVersion)
    PrintError(QString::fromUtf8("A versão do arquivo BMR é incorreta."));
  PrintError(BmrNotFoundText(path));
  return std::nullopt;
}

bool OpenMovie(TBPKMovie& movie, const QString& path) {
  const std::unique_ptr<QFile> file = platform::OpenRegularFile(path);
  if (!file) {
    PrintError(QStringLiteral("Cannot open file \"%1\"").arg(path));
    return false;
  }
  if (!movie.OpenBytes(file->readAll())) {
    PrintError(AppMessage(20, path).text);
    return false;
  }
  return true;
}

}  // namespace

int Bmr(const Args& args) {
  const QStringList& p = args.positional;
  if (p.size() == 2 && p[0] == QLatin1String("list")) {
    std::unique_ptr<QFile> file;
    const std::optional<BmrDirectory> directory = ReadDirectory(p[1], file);
    if (!directory) return kUnusable;
    QJsonArray entries;
    for (int i = 0; i < directory->Names.size(); ++i)
      entries.append(QJsonObject{{"name", directory->Names[i]},
                                 {"offset", directory->Entries[size_t(i)].Offset},
                                 {"size", directory->Entries[size_t(i)].Size}});
    PrintJson({{"version", directory->Version}, {"entries", entries}});
    return kOk;
  }
  if (p.size() == 4 && p[0] == QLatin1String("extract")) {
    if (PictureKind(p[3]).isEmpty()) return Usage(QStringLiteral("OUT must end in .png or .bmp"));
    std::unique_ptr<QFile> file;
    const std::optional<BmrDirectory> directory = ReadDirectory(p[1], file);
    if (!directory) return kUnusable;
    const int index = directory->Find(p[2]);
    if (index < 0) {
      PrintError(QString::fromUtf8("Não há bitmap com esse nome: \"%1\"").arg(p[2]));
      return kUnusable;
    }
    const BmrDirectoryEntry& e = directory->Entries[size_t(index)];
    file->seek(e.Offset);
    const QByteArray bytes = file->read(e.Size);
    if (bytes.size() != e.Size || !WriteStoredPicture(bytes, p[3])) {
      PrintError(QStringLiteral("cannot extract \"%1\"").arg(p[2]));
      return kUnusable;
    }
    return kOk;
  }
  return Usage();
}

int Bpk(const Args& args) {
  const QStringList& p = args.positional;
  TBPKMovie movie(false);
  if (p.size() == 2 && p[0] == QLatin1String("info")) {
    if (!OpenMovie(movie, p[1])) return kUnusable;
    QJsonArray frames;
    for (int i = 0; i < movie.Header.Frames.Count(); ++i)
      frames.append(
          QJsonObject{{"size", movie.FrameValue(i, 0)}, {"delay", movie.FrameValue(i, 1)}});
    PrintJson({{"version", movie.Header.Version}, {"frames", frames}});
    return kOk;
  }
  if (p.size() == 4 && p[0] == QLatin1String("frame")) {
    bool ok = false;
    const int index = p[2].toInt(&ok);
    if (!ok || index < 0) return Usage(QStringLiteral("bad frame index %1").arg(p[2]));
    if (PictureKind(p[3]).isEmpty()) return Usage(QStringLiteral("OUT must end in .png or .bmp"));
    if (!OpenMovie(movie, p[1])) return kUnusable;
    movie.SeekFrame(index);
    QByteArray bytes;
    if (!movie.ReadFrameBytes(bytes) || !WriteStoredPicture(bytes, p[3])) {
      PrintError(QStringLiteral("frame %1 cannot be read").arg(index));
      return kUnusable;
    }
    return kOk;
  }
  if (p.size() == 3 && p[0] == QLatin1String("extract")) {
    if (!OpenMovie(movie, p[1])) return kUnusable;
    QDir out(p[2]);
    if (!out.mkpath(QStringLiteral("."))) {
      PrintError(QStringLiteral("cannot create \"%1\"").arg(p[2]));
      return kUnusable;
    }
    QJsonArray delays;
    QByteArray bytes;
    int unreadable = -1;
    while (movie.CurrentFrame < movie.Header.FrameCount) {
      const int frame = movie.CurrentFrame;
      if (!movie.ReadFrameBytes(bytes) || !platform::Bitmap::FromBmp(bytes, 32)) {
        unreadable = frame;
        break;
      }
      const QString name = QStringLiteral("frame%1.bmp").arg(movie.LastFrame, 3, 10, QChar('0'));
      if (!WriteBytes(bytes, out.filePath(name))) {
        PrintError(QStringLiteral("cannot write \"%1\"").arg(out.filePath(name)));
        return kUnusable;
      }
      delays.append(QJsonObject{{"file", name}, {"delay", movie.FrameValue(movie.LastFrame, 1)}});
    }
    const QJsonObject result{{"version", movie.Header.Version}, {"frames", delays}};
    WriteBytes(QJsonDocument(result).toJson(), out.filePath(QStringLiteral("delays.json")));
    if (unreadable >= 0) {
      PrintError(QStringLiteral("frame %1 cannot be read").arg(unreadable));
      return kUnusable;
    }
    PrintJson(result);
    return kOk;
  }
  return Usage();
}

}  // namespace quarxtool
