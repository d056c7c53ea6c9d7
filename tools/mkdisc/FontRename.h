#pragma once

// Gives a TrueType font a new family name by rewriting its `name` table, so that a free
// system font can stand in for the navigator's screen face.

#include <QByteArray>
#include <QString>
#include <optional>

namespace font {

// The font with every family, full and PostScript name replaced by family; table checksums
// and the head table's checkSumAdjustment are recomputed. Nothing when the input is not a
// well-formed TrueType file.
std::optional<QByteArray> Rename(const QByteArray& ttf, const QString& family);

}  // namespace font
