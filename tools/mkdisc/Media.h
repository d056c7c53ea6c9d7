#pragma once

// The disc's other media: the intro movie and logos, the credits picture, the magazine and
// the sample files for the explorer.

#include <QByteArray>
#include <QImage>
#include <QString>

class DiscTree;

namespace media {

// "abertura.avi", "LOGO256.BMP", "LOGORGB.BMP" and "credits.bmp" into the shared folder.
void WriteShareMedia(DiscTree& disc, const QString& shareFolder);

// The magazine, a few pages drawn with Qt's PDF writer (dates and ids made fixed).
QByteArray Magazine();

// Pictures, sounds, a drawing and a video in several formats for the explorer, under folder.
void WriteExplorerMedia(DiscTree& disc, const QString& folder);

// A Windows metafile (placeable) with a small drawing: rectangles, ellipses, a polygon, lines
// and text.
QByteArray Metafile();

// The title picture shared by the intro movie and the logos.
QImage TitlePicture(int width, int height, double progress);

}  // namespace media
