#include "tools/discwriter/Bmp.h"

#include <QBuffer>
#include <QImageWriter>

namespace discwriter {

QByteArray EncodeBmp(const QImage& image) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  QImageWriter writer(&buffer, "BMP");
  const QImage source = image.format() == QImage::Format_Indexed8
                            ? image
                            : image.convertToFormat(QImage::Format_RGB888);
  if (!writer.write(source)) return {};
  return bytes;
}

}  // namespace discwriter
