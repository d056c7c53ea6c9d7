#pragma once

// The fixed version number of a Windows program, read from the version resource of its PE
// image: what the version API's root block ("\") gives. Every offset, count and size in the
// file is checked against the file before it is used; a damaged file has no version.

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <functional>
#include <optional>

namespace platform {

// Reads size bytes at offset into destination; false when the source does not hold them.
using ByteReader = std::function<bool(uint64_t offset, char* destination, uint32_t size)>;

struct FixedFileVersion {
  uint32_t FileVersionMS = 0;  // major << 16 | minor
  uint32_t FileVersionLS = 0;  // release << 16 | build
  uint32_t ProductVersionMS = 0;
  uint32_t ProductVersionLS = 0;
};

// The fixed file information of a PE image of fileSize bytes; nothing when the image is not a
// PE, has no version resource, or any structure on the way lies outside the file.
std::optional<FixedFileVersion> ReadPeVersion(const ByteReader& read, uint64_t fileSize);
std::optional<FixedFileVersion> ReadPeVersion(const QByteArray& image);

// The same for a host file; nothing when it cannot be read.
std::optional<FixedFileVersion> ReadPeVersionOfFile(const QString& hostPath);

}  // namespace platform
