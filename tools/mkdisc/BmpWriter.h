#pragma once

// Windows bitmap files written byte for byte the way we choose (depth, RLE, palette), so the
// disc's pictures exercise every variant the readers accept and never depend on a library's
// writer defaults.

#include <QByteArray>
#include <QImage>

namespace bmp {

enum class Encoding { Rgb24, Pal8, Rle8, Pal4, Rle4, Mono };

// RGB images are written at 24 bits; Indexed8 images at 8 bits with their colour table.
QByteArray Encode(const QImage& image);

// Explicit encodings. Pal4/Rle4 need at most 16 colours in the table, Mono at most 2.
QByteArray Encode(const QImage& image, Encoding encoding);

}  // namespace bmp
