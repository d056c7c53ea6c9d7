#pragma once

// How large a compressed picture may claim to be. Deflate expands up to about 1032:1, so the
// ratio alone would let a small file demand a thousand times its size; the picture's own
// header says what it can really need.

#include <QByteArray>
#include <QtGlobal>

// The bytes of a bitmap file that hold everything the bound depends on.
constexpr qint64 kBitmapHeadBytes = 54;
// No picture on a disc comes near this (a 4096 x 4096 true-colour picture): a header claiming
// more is taken for a hostile one.
constexpr qint64 kMaxPictureFileBytes = qint64(64) << 20;

// The largest bitmap file the header in head can describe (file and info header, palette,
// masks, pixel rows, a little slack for padding); -1 when head does not begin a bitmap file
// the readers take.
qint64 BitmapFileBound(const QByteArray& head);

// Whether a picture whose first bytes are head may hold claimedSize bytes. Sizes up to
// kBitmapHeadBytes are always allowed (they cannot amplify anything).
bool PlausiblePictureSize(const QByteArray& head, qint64 claimedSize);
