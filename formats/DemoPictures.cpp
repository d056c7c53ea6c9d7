// Decoding the compressed pictures of description files, on demand.

#include <algorithm>

#include "formats/DemoFile.h"
#include "formats/DiscFiles.h"
#include "formats/Inflate.h"
#include "formats/PictureBound.h"

namespace {

// Deflate cannot expand data by more than about 1032 to 1; a picture claiming more than that
// cannot be in the file, so it is refused before anything is allocated.
constexpr qint64 kMaxInflateRatio = 1032;
constexpr qint64 kInitialReserveBytes = 16 << 20;

}  // namespace

std::optional<QByteArray> InflatePicture(QIODevice& file, ImageRef ref) {
  if (ref.Offset <= 0 || ref.Size <= 0) return std::nullopt;
  const qint64 fileSize = file.size();
  if (ref.Offset >= fileSize) return std::nullopt;
  if (qint64(ref.Size) > (fileSize - ref.Offset) * kMaxInflateRatio + 64) return std::nullopt;
  if (!file.seek(ref.Offset)) return std::nullopt;
  try {
    InflateStream inflater(file);
    // The picture's own header first: a size it cannot need is refused before it is inflated.
    const qint64 head = std::min<qint64>(ref.Size, kBitmapHeadBytes);
    QByteArray bytes(qsizetype(head), Qt::Uninitialized);
    if (inflater.Read(bytes.data(), head) != head || !PlausiblePictureSize(bytes, ref.Size))
      return std::nullopt;
    bytes.reserve(std::min<qint64>(ref.Size, kInitialReserveBytes));
    // Grown as the data arrives, so a stream that ends early never costs its claimed size.
    constexpr qint64 kPieceBytes = 1 << 20;
    while (bytes.size() < ref.Size) {
      const qsizetype before = bytes.size();
      const qint64 want = std::min<qint64>(ref.Size - before, kPieceBytes);
      bytes.resize(before + want);
      if (inflater.Read(bytes.data() + before, want) != want) return std::nullopt;
    }
    return bytes;
  } catch (const EInflateError&) {
    return std::nullopt;
  }
}

std::optional<platform::Bitmap> DecodePicture(QIODevice& file, ImageRef ref, int colourDepth) {
  const std::optional<QByteArray> bytes = InflatePicture(file, ref);
  if (!bytes) return std::nullopt;
  // At 256 colours the picture keeps its own palette; otherwise it takes the display's format.
  return platform::Bitmap::FromBmp(*bytes, colourDepth == 8 ? 8 : 32);
}

std::optional<platform::Bitmap> DecodeDemoPicture(const QString& shareDir, const QString& demFile,
                                                  ImageRef ref, int colourDepth) {
  if (ref.Offset == 0) return std::nullopt;
  const std::unique_ptr<QFile> file =
      OpenDiscFile(shareDir + QStringLiteral("DemoData\\") + demFile, true);
  if (!file) return std::nullopt;
  return DecodePicture(*file, ref, colourDepth);
}
