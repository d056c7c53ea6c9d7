#pragma once

// Windows bitmap files from images, for the writers' callers: 8-bit pictures with their own
// palette (from Format_Indexed8) and 24-bit ones (from everything else).

#include <QByteArray>
#include <QImage>

namespace discwriter {

QByteArray EncodeBmp(const QImage& image);

}  // namespace discwriter
