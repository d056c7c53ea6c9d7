#pragma once

// Shared helpers of the readers' tests: small bitmap files and Windows paths for host files.

#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QString>

#include "tools/discwriter/Bmp.h"

namespace formatstest {

// A width x height bitmap file filled with one colour; 8-bit with a palette when indexed.
inline QByteArray SolidBmp(int width, int height, QRgb colour, bool indexed = false) {
  if (indexed) {
    QImage image(width, height, QImage::Format_Indexed8);
    image.setColorTable({qRgb(0, 0, 0), colour});
    image.fill(1);
    return discwriter::EncodeBmp(image);
  }
  QImage image(width, height, QImage::Format_RGB32);
  image.fill(colour);
  return discwriter::EncodeBmp(image);
}

// The Windows path the readers are given for a host file.
QString DiscPath(const QString& hostPath);

}  // namespace formatstest
