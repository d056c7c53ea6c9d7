#pragma once

// The navigator's own Wine prefix: Windows demos and installers run there, so they never touch
// the user's default prefix, and its drive letters are the navigator's (the disc's letter is
// a CD-ROM drive pointing at the disc, so the ":\" parameters of the description files reach
// the right files on both sides).

#include <QProcessEnvironment>
#include <QString>

namespace platform {

class DriveMap;

// <user's data folder>/quarx/wine.
QString WinePrefixPath();

// The Wine loader on PATH ("wine", else "wine64"); empty when Wine is not installed.
QString FindWine();

// The process environment with the prefix, no Mono or Gecko installation prompts, and Wine's
// debug output off unless the user asked for some.
QProcessEnvironment WineEnvironment(const QString& prefix);

// Makes the prefix on first use (wineboot, once, a few seconds), links every mapped drive
// letter but C: into its dosdevices, and registers the CD-ROM letters as such. False, with a
// reason, when Wine could not make it.
bool PrepareWinePrefix(const QString& wine, const QString& prefix, const DriveMap& drives,
                       QString* error = nullptr);

}  // namespace platform
