#pragma once

// Windows metafiles (the 16-bit kind, with or without the placeable header) played onto a
// QPainter by our own interpreter of the records a 1990s drawing program wrote. Every record
// is checked against its own size and the file's; a record this player does not know is
// skipped by its size, and a damaged one is skipped the same way, so a file plays as far as
// it makes sense.

#include <QByteArray>
#include <QRect>
#include <QSize>
#include <QString>
#include <optional>

class QPainter;

namespace platform {

class Metafile {
 public:
  // Checks the headers and the record chain. Nothing (error says why) when the data is not a
  // metafile: no valid header, or no extent to size the picture by.
  [[nodiscard]] static std::optional<Metafile> FromBytes(const QByteArray& bytes,
                                                         QString* error = nullptr);

  // The picture's size in screen pixels (96 per inch): the placeable header's bounds in its
  // units per inch; for a plain file, the first window extent its records set.
  QSize Size() const { return size_; }
  bool Placeable() const { return placeable_; }
  // The logical rectangle the picture covers (the placeable bounds, or the window origin and
  // extent of a plain file).
  QRect Bounds() const { return bounds_; }

  // Plays every record, mapping the picture's bounds onto target.
  void Play(QPainter& painter, const QRect& target) const;

 private:
  QByteArray data_;
  int recordsOffset_ = 0;
  QRect bounds_;
  QSize size_;
  int objectCount_ = 0;
  bool placeable_ = false;
};

}  // namespace platform
