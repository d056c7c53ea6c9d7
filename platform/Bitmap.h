#pragma once

// Pixels with an optional palette: what a GDI bitmap is to the programs. 8-bit pictures keep
// their own palette (Format_Indexed8 with its colour table); everything else is held as
// Format_RGB32 (or ARGB32 where alpha matters to a caller). QPainter cannot paint on an
// Indexed8 image, so drawing an 8-bit picture goes through its palette into RGB32 (Canvas).

#include <QByteArray>
#include <QImage>
#include <QVector>
#include <QRgb>
#include <optional>

namespace platform {

class Bitmap {
 public:
  Bitmap() = default;
  explicit Bitmap(QImage image) : image_(std::move(image)) {}

  // A Windows bitmap file held in memory (BITMAPFILEHEADER first), read by Qt's BMP reader.
  // At displayDepth <= 8 an 8-bit (or 4/1-bit) picture stays indexed with its own palette;
  // otherwise, or for deeper pictures, it becomes RGB32. Nothing on malformed input.
  [[nodiscard]] static std::optional<Bitmap> FromBmp(const QByteArray& bytes, int displayDepth);
  // The direct reader behind FromBmp for the kinds the disc uses (uncompressed 8, 24 and 32-bit
  // pictures with a 40-byte info header, whole and consistent); its result equals Qt's for the
  // same file. Nothing for any other file, which FromBmp then hands to Qt.
  [[nodiscard]] static std::optional<Bitmap> FromPlainBmp(const QByteArray& bytes,
                                                          int displayDepth);

  // A blank true-colour bitmap (black).
  static Bitmap Blank(int width, int height);

  bool IsEmpty() const { return image_.isNull(); }
  int Width() const { return image_.width(); }
  int Height() const { return image_.height(); }
  bool HasPalette() const { return image_.format() == QImage::Format_Indexed8; }
  QVector<QRgb> Palette() const { return image_.colorTable(); }
  // Colour of a pixel (through the palette for indexed pictures); 0 outside.
  QRgb Pixel(int x, int y) const;

  const QImage& Image() const { return image_; }
  QImage& Image() { return image_; }
  // The picture as RGB32 (converted through the palette when indexed).
  QImage ToRgb32() const;

 private:
  QImage image_;
};

}  // namespace platform
