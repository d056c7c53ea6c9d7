#pragma once

// The one palette every 8-bit ("WinPal") picture of the disc shares: the twenty static colours
// of a 256-colour Windows display at both ends, a 6x6x6 colour cube and a ramp of the skin's
// navy blues between them. Sharing one palette lets the navigator realise a single palette for the
// whole screen.

#include <QImage>
#include <QVector>

namespace palette {

const QVector<QRgb>& Shared();

// Nearest colour of the shared palette for every pixel (no dithering: deterministic and crisp
// for flat-coloured art).
QImage ToShared(const QImage& image);

// Nearest colour of an arbitrary table, for pictures with a palette of their own.
QImage ToTable(const QImage& image, const QVector<QRgb>& table);

// A palette of n colours taken from the image (popularity of 4-bit-per-channel cells); used
// to give demo screenshots palettes of their own.
QVector<QRgb> Popular(const QImage& image, int n);

}  // namespace palette
