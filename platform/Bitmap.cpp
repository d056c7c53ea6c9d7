#include "platform/Bitmap.h"

namespace platform {

std::optional<Bitmap> Bitmap::FromBmp(const QByteArray& bytes, int displayDepth) {
  // Qt's reader bounds its allocations, so a header claiming a huge picture fails cleanly.
  QImage image = QImage::fromData(bytes, "BMP");
  if (image.isNull()) return std::nullopt;
  const bool indexed = image.format() == QImage::Format_Indexed8 ||
                       image.format() == QImage::Format_Mono ||
                       image.format() == QImage::Format_MonoLSB;
  if (indexed && displayDepth <= 8) {
    if (image.format() != QImage::Format_Indexed8)
      image = image.convertToFormat(QImage::Format_Indexed8);
  } else if (image.format() != QImage::Format_RGB32) {
    image = image.convertToFormat(QImage::Format_RGB32);
  }
  if (image.isNull()) return std::nullopt;
  return Bitmap(std::move(image));
}

Bitmap Bitmap::Blank(int width, int height) {
  if (width <= 0 || height <= 0) return Bitmap();
  QImage image(width, height, QImage::Format_RGB32);
  image.fill(qRgb(0, 0, 0));
  return Bitmap(std::move(image));
}

QRgb Bitmap::Pixel(int x, int y) const {
  if (!image_.valid(x, y)) return 0;
  if (image_.format() == QImage::Format_Indexed8) {
    const int index = image_.pixelIndex(x, y);
    const QVector<QRgb> table = image_.colorTable();
    return index < table.size() ? table[index] : 0;
  }
  return image_.pixel(x, y);
}

QImage Bitmap::ToRgb32() const {
  if (image_.isNull() || image_.format() == QImage::Format_RGB32) return image_;
  return image_.convertToFormat(QImage::Format_RGB32);
}

}  // namespace platform
