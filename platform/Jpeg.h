#pragma once

// JPEG pictures through libjpeg. On palette displays (8 bits per pixel or less) the decoder
// reduces the picture to 256 colours itself and the result is an 8-bit picture with that
// palette, as the explorer showed JPEG pictures on such displays; otherwise it is RGB32.

#include <QByteArray>
#include <QString>
#include <optional>

#include "platform/Bitmap.h"

namespace platform {

// Largest picture decoded, in pixels; a header claiming more is refused before any allocation.
inline constexpr qint64 kMaxJpegPixels = qint64(1) << 26;

// Decodes a whole JPEG file held in memory. Nothing (with error set to libjpeg's reason) when
// the data is not a JPEG picture or is damaged beyond decoding. A picture whose data ends
// early keeps what was decoded, the rest grey, as libjpeg delivers it.
[[nodiscard]] std::optional<Bitmap> DecodeJpeg(const QByteArray& bytes, int displayDepth,
                                               QString* error = nullptr);

}  // namespace platform
