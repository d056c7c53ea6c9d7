#include "formats/DemoFile.h"

#include <QCollator>
#include <QLocale>
#include <algorithm>

#include "formats/DiscFiles.h"
#include "formats/FieldReader.h"

namespace {

constexpr int kSignatureReads = 3;

// Reads the entry's texts and flags (fields 4 to 18 of the file).
bool ReadTexts(FieldReader& r, DemoFileData& data) {
  DemoEntry& e = data.Entry;
  int32_t category = 0;
  if (!r.Int32(category)) return false;
  data.Category = category & 0xFF;

  int32_t descriptionLength = 0;
  int32_t trailingLength = 0;
  if (!r.Text(e.Title) || !r.Text(e.Subtitle) || !r.Int32(descriptionLength) ||
      !r.Int32(trailingLength) || !r.Skip(4) || !r.Chars(descriptionLength, e.Description) ||
      !r.Skip(trailingLength))
    return false;

  QString mainCommand;
  QString directCommand;
  if (!r.Byte(e.RunsFromCD) || !r.Text(mainCommand) || !r.Text(e.Folder) ||
      !r.Byte(e.RootRelative) || !r.Text(directCommand) || !r.Byte(e.MustClose) || !r.Text(e.HowTo))
    return false;
  e.MainCommand = SelectMainCommand(mainCommand);
  e.DirectCommand = TrimControls(directCommand);
  // A marker without a path means there are no instructions.
  if (e.HowTo.size() == 4) e.HowTo.clear();
  return true;
}

bool ReadRef(FieldReader& r, ImageRef& ref) {
  return r.Int32(ref.Offset) && r.Int32(ref.Size);
}

// Fields 19 to 28: the picture set chosen by the colour depth.
bool ReadPictures(FieldReader& r, DemoFileData& data, int colourDepth) {
  int32_t reservedLength = 0;
  uint8_t hasLogo = 0;
  uint8_t paletteCount = 0;
  int32_t paletteTableLength = 0;
  if (!r.Skip(1) || !r.Int32(reservedLength) || !r.Skip(reservedLength) || !r.Byte(hasLogo) ||
      !r.Byte(paletteCount) || !r.Int32(paletteTableLength))
    return false;
  int count = paletteCount;
  if (colourDepth > 8) {
    uint8_t trueColourCount = 0;
    if (!r.Skip(paletteTableLength) || !r.Byte(trueColourCount) || !r.Skip(4)) return false;
    count = trueColourCount;
  }
  DemoEntry& e = data.Entry;
  if (count > 0 && (hasLogo & 1)) {
    if (!ReadRef(r, e.Logo)) return false;
    --count;
  }
  e.ImageCount = std::min(count, kMaxImagesPerDemo);
  data.Images.resize(size_t(e.ImageCount));
  for (ImageRef& ref : data.Images)
    if (!ReadRef(r, ref)) return false;
  return true;
}

bool IsBlankOrControl(QChar c) {
  return c.unicode() <= 0x20;
}

}  // namespace

int CompareNamesInsensitive(const QString& a, const QString& b) {
  return QString::compare(a, b, Qt::CaseInsensitive);
}

void SortCatalogueNames(QStringList& names) {
  // The disc's own language decides where accented letters go; the order must not change
  // with the machine's locale.
  QCollator collator{QLocale(QLocale::Portuguese, QLocale::Brazil)};
  collator.setCaseSensitivity(Qt::CaseInsensitive);
  collator.setNumericMode(false);
  std::sort(names.begin(), names.end(), [&](const QString& a, const QString& b) {
    const int c = collator.compare(a, b);
    if (c != 0) return c < 0;
    // Names that differ only in letter case keep one order on every machine.
    return a.toUtf8() < b.toUtf8();
  });
}

QString TrimControls(const QString& text) {
  qsizetype first = 0;
  qsizetype last = text.size();
  while (first < last && IsBlankOrControl(text[first])) ++first;
  while (last > first && IsBlankOrControl(text[last - 1])) --last;
  return text.mid(first, last - first);
}

QString SelectMainCommand(const QString& stored) {
  const qsizetype p95 = stored.indexOf(QLatin1String("//95"));
  if (p95 < 0) return TrimControls(stored);
  const qsizetype start = p95 + 4;
  const qsizetype p31 = stored.indexOf(QLatin1String("//31"));
  // The command ends before the character that precedes "//31" (the separating blank).
  if (p31 > p95) return TrimControls(stored.mid(start, std::max<qsizetype>(0, p31 - 1 - start)));
  return TrimControls(stored.mid(start));
}

std::optional<DemoFileData> ReadDemoFile(QIODevice& file, int colourDepth) {
  FieldReader r(file);
  // Slow optical drives sometimes return garbage on the first read: try the signature again.
  bool signed207 = false;
  for (int i = 0; i < kSignatureReads && !signed207; ++i) {
    int32_t signature = 0;
    r.DropBlock();
    signed207 = r.Seek(0) && r.Int32(signature) && signature == kDemSignature;
  }
  if (!signed207) return std::nullopt;

  DemoFileData data;
  int32_t reservedLength = 0;
  if (!r.Int32(reservedLength) || !r.Skip(reservedLength) || !ReadTexts(r, data) ||
      !ReadPictures(r, data, colourDepth))
    return std::nullopt;
  return data;
}

bool AppendDemo(DemoCatalogue& catalogue, DemoFileData data) {
  const int c = data.Category;
  if (c < 0 || c >= kCategoryCount) return false;
  const int count = catalogue.Counts[c];
  if (count < 0 || count >= kMaxDemosPerCategory) return false;
  catalogue.Entries[c][count] = std::move(data.Entry);
  auto& images = catalogue.Images[c][count];
  images.fill(ImageRef{});
  std::copy_n(data.Images.begin(), std::min<size_t>(data.Images.size(), images.size()),
              images.begin());
  catalogue.Counts[c] = count + 1;
  return true;
}

int LoadCatalogueFrom(DemoCatalogue& catalogue, QStringList names, const DemoFileOpener& open,
                      int colourDepth) {
  SortCatalogueNames(names);
  int added = 0;
  for (const QString& name : names) {
    const std::unique_ptr<QIODevice> file = open(name);
    if (!file) continue;
    std::optional<DemoFileData> data = ReadDemoFile(*file, colourDepth);
    if (!data) continue;
    data->Entry.DemFile = name;
    if (AppendDemo(catalogue, std::move(*data))) ++added;
  }
  return added;
}

int LoadCatalogue(DemoCatalogue& catalogue, const QString& shareDir, int colourDepth) {
  const QString folder = shareDir + QStringLiteral("DemoData\\");
  const DiscListing listing = ListDiscFolder(folder, QStringLiteral("*.dem"));
  return LoadCatalogueFrom(
      catalogue, listing.Names,
      [&](const QString& name) -> std::unique_ptr<QIODevice> { return listing.Open(name); },
      colourDepth);
}
