#pragma once

// The rules of the wallpaper file: its default name, the forced ".bmp" extension, its size and
// its pixels. gtbPapelClick (DemoActions) asks for the name and writes the file.

#include <QByteArray>
#include <QSize>
#include <QString>
#include <optional>

#include "platform/Bitmap.h"

// "Dalventora " + the description file's name without its last five characters + the
// screenshot number + ".bmp".
QString WallpaperDefaultName(const QString& demFile, int imageNumber);

// A name whose fourth character from the end is "." gets its last four replaced by ".bmp";
// any other name gets ".bmp" appended.
QString ForceBmpExtension(const QString& name);

// The screen's size; a screenshot less tall than the screen keeps its own size.
QSize WallpaperSize(QSize screenshot, QSize screen);

// The screenshot stretched over a bitmap of size; at 8 bits per pixel it keeps its palette.
platform::Bitmap MakeWallpaper(const platform::Bitmap& screenshot, QSize size, int colourDepth);

// The bitmap as a Windows bitmap file.
QByteArray WallpaperFileBytes(const platform::Bitmap& wallpaper);

// Writes the file whole or not at all: a temporary name in the same folder, then a rename.
// Nothing on success, else the reason.
std::optional<QString> WriteWholeFile(const QString& hostPath, const QByteArray& bytes);

// The folder the save dialog starts in: the user's pictures folder (the home folder when the
// desktop names none).
QString DefaultWallpaperFolder();
