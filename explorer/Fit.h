#pragma once

// Where a picture of w x h goes in a box of W x H: a picture at least as wide or as high as
// the box is scaled down (or up to the box) keeping its proportions, a smaller one keeps its
// size; either is centred.

#include <QRect>
#include <QSize>

QRect FitPicture(QSize box, QSize picture);

// The media kinds of the explorer, by a file's lower-cased extension.
enum class MediaKindOf : int { Bitmap = 0, Jpeg = 1, Metafile = 2, Wave = 3, Video = 4, None = 5 };
MediaKindOf MediaKindOfPath(const QString& path);
