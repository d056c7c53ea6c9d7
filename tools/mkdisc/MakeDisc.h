#pragma once

#include <QString>
#include <QStringList>

// Writes the whole sample disc into root (which must be empty, missing, or a disc written
// before, which is replaced). Returns the problems met; empty on success.
QStringList MakeDisc(const QString& root);

// Writes PNG pictures of the skin art (backgrounds, animation frames, control pictures) for
// people to look at.
QStringList WritePreview(const QString& folder);
