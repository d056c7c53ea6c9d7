#pragma once

// JPEG pictures through libjpeg. On palette displays (8 bits per pixel or less) the decoder
// reduces the picture to 256 colours itself and the result is an 8-bit picture with that
// palette, as the explorer showed JPEG pictures on such displays; otherwise it is RGB32.

#include <QByteArray>
#include <QSize>
#include <QString>
#include <optional>

#include "platform/Bitmap.h"

namespace platform {

// Largest picture decoded, in pixels; a header claiming more is refused before any allocation.
inline constexpr qint64 kMaxJpegPixels = qint64(1) << 26;

// Decodes a whole JPEG file held in memory. Nothing (with error set to libjpeg's reason) when
// the data is not a JPEG picture or is damaged beyond decoding. A picture whose data ends
// early keeps what was decoded, the rest grey, as libjpeg delivers it.
//
// atLeast: the largest size the picture will be shown at. When it is smaller than the picture,
// libjpeg reduces the picture while decoding (in eighths of its size, in the DCT itself) to
// the smallest size still at least atLeast in both directions: a picture shown fitted into a
// window costs a fraction of a full decode, and every shown pixel still comes from a picture
// at least as large as the shown one. Empty: the picture's own size.
[[nodiscard]] std::optional<Bitmap> DecodeJpeg(const QByteArray& bytes, int displayDepth,
                                               QString* error = nullptr, QSize atLeast = {});

// The picture's own size from its header; nothing when the data is no JPEG picture.
[[nodiscard]] std::optional<QSize> JpegSize(const QByteArray& bytes);

}  // namespace platform
