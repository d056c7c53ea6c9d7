#pragma once

// Writes a folder as an ISO 9660 disc image with Joliet and Rock Ridge names (through
// libarchive), as a disc is burnt or imaged: for the tests and benchmarks of image discs.

#include <QString>

namespace discwriter {

// False (and *error set) when the folder cannot be read or the image cannot be written.
bool WriteIsoImage(const QString& folder, const QString& isoPath, QString* error = nullptr);

}  // namespace discwriter
