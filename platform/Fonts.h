#pragma once

// Fonts added for the running process from a file, as the programs install their own face
// from the disc at start-up and remove it at shutdown. Other windows of the process see the
// faces at once (Qt's font database is process-wide).

#include <QString>
#include <QStringList>

namespace platform {

// Adds the faces of the font file at hostPath; returns how many faces were added (0 when
// the file cannot be read or is no font). Adding a file twice adds it twice: it then takes
// two removals, as with the platform's own font table.
[[nodiscard]] int AddFontFile(const QString& hostPath);

// Removes one addition of the file; false when it had not been added.
bool RemoveFontFile(const QString& hostPath);

// Family names of the faces the file added; empty when it has not been added.
QStringList AddedFontFamilies(const QString& hostPath);

// Reads the system's fonts into the font database now; otherwise the first text measured
// pays for it. Thread-safe, so a worker can do it while the window starts. (Adding a file
// afterwards makes the database read them again, so add first.)
void PrepareFontDatabase();

}  // namespace platform
