// The description file commands: catalogue, dem, picture.

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>

#include "formats/DemoFile.h"
#include "platform/RegularFile.h"
#include "tools/quarxtool/Tool.h"

namespace quarxtool {
namespace {

QJsonObject RefJson(const ImageRef& ref) {
  return {{"offset", ref.Offset}, {"size", ref.Size}};
}

QJsonObject EntryJson(const DemoEntry& e, const ImageRef* images) {
  QJsonArray pictures;
  for (int k = 0; k < e.ImageCount; ++k) pictures.append(RefJson(images[k]));
  return {{"DemFile", e.DemFile},       {"Title", e.Title},
          {"Subtitle", e.Subtitle},     {"Description", e.Description},
          {"RunsFromCD", e.RunsFromCD}, {"MainCommand", e.MainCommand},
          {"Folder", e.Folder},         {"DirectCommand", e.DirectCommand},
          {"HowTo", e.HowTo},           {"RootRelative", e.RootRelative},
          {"MustClose", e.MustClose},   {"Logo", RefJson(e.Logo)},
          {"ImageCount", e.ImageCount}, {"Images", pictures}};
}

// A sub-folder by name in any letter case (disc images show names in capitals).
QString FindFolder(const QString& parent, const QString& name) {
  const QStringList found =
      QDir(parent).entryList({name}, QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden);
  return found.isEmpty() ? QString() : QDir(parent).filePath(found.first());
}

std::unique_ptr<QIODevice> OpenHost(const QString& path) {
  return platform::OpenRegularFile(path);
}

std::optional<DemoFileData> ReadHostDem(const QString& path, int depth, int& exitCode) {
  const std::unique_ptr<QIODevice> file = OpenHost(path);
  if (!file) {
    PrintError(QStringLiteral("Cannot open file \"%1\"").arg(path));
    exitCode = kUnusable;
    return std::nullopt;
  }
  std::optional<DemoFileData> data = ReadDemoFile(*file, depth);
  if (!data) {
    PrintError(QStringLiteral("\"%1\" is not a usable description file").arg(path));
    exitCode = kUnusable;
    return std::nullopt;
  }
  data->Entry.DemFile = QFileInfo(path).fileName();
  return data;
}

}  // namespace

int Catalogue(const Args& args) {
  if (args.positional.size() != 1 || args.logo || args.image) return Usage();
  const QString share = args.positional[0];
  if (!QFileInfo(share).isDir()) {
    PrintError(QStringLiteral("\"%1\" is not a folder").arg(share));
    return kUnusable;
  }
  const QString folder = FindFolder(share, QStringLiteral("DemoData"));
  const QStringList names = folder.isEmpty()
                                ? QStringList()
                                : QDir(folder).entryList({"*.dem"}, QDir::Files | QDir::Hidden);
  DemoCatalogue catalogue;
  LoadCatalogueFrom(
      catalogue, names, [&](const QString& name) { return OpenHost(QDir(folder).filePath(name)); },
      args.depth);
  QJsonArray categories;
  for (int c = 0; c < kCategoryCount; ++c) {
    QJsonArray entries;
    for (int i = 1; i <= catalogue.Counts[c]; ++i)
      entries.append(EntryJson(catalogue.Entry(c, i), &catalogue.Image(c, i, 1)));
    categories.append(entries);
  }
  PrintJson({{"categories", categories}});
  return kOk;
}

int Dem(const Args& args) {
  if (args.positional.size() != 1 || args.logo || args.image) return Usage();
  int exitCode = kOk;
  const std::optional<DemoFileData> data = ReadHostDem(args.positional[0], args.depth, exitCode);
  if (!data) return exitCode;
  QJsonObject json = EntryJson(data->Entry, data->Images.data());
  json.insert("Category", data->Category);
  PrintJson(json);
  return kOk;
}

int Picture(const Args& args) {
  if (args.positional.size() != 2 || args.logo == (args.image > 0)) return Usage();
  const QString out = args.positional[1];
  if (PictureKind(out).isEmpty()) return Usage(QStringLiteral("OUT must end in .png or .bmp"));
  int exitCode = kOk;
  const std::optional<DemoFileData> data = ReadHostDem(args.positional[0], args.depth, exitCode);
  if (!data) return exitCode;
  ImageRef ref = data->Entry.Logo;
  if (args.image > 0) {
    if (args.image > data->Entry.ImageCount) {
      PrintError(QStringLiteral("the description has %1 screenshots").arg(data->Entry.ImageCount));
      return kUnusable;
    }
    ref = data->Images[size_t(args.image - 1)];
  }
  const std::unique_ptr<QIODevice> file = OpenHost(args.positional[0]);
  const std::optional<platform::Bitmap> bitmap =
      file ? DecodePicture(*file, ref, args.depth) : std::nullopt;
  if (!bitmap) {
    PrintError(args.logo ? QStringLiteral("Sem logotipo")
                         : QString::fromUtf8("Figura não disponível."));
    return kUnusable;
  }
  if (!WritePicture(bitmap->Image(), out)) {
    PrintError(QStringLiteral("cannot write \"%1\"").arg(out));
    return kUnusable;
  }
  return kOk;
}

}  // namespace quarxtool
