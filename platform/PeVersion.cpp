#include "platform/PeVersion.h"

#include <QFile>
#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/RegularFile.h"

namespace platform {
namespace {
constexpr uint32_t kPeSignature = 0x00004550;  // "PE\0\0"
constexpr uint16_t kPe32Magic = 0x10B;
constexpr uint16_t kPe32PlusMagic = 0x20B;
constexpr uint32_t kResourceDirectoryIndex = 2;
constexpr uint32_t kVersionResourceType = 16;
constexpr uint32_t kFixedInfoSignature = 0xFEEF04BD;
// Real images have a few dozen sections; the format allows 96.
constexpr uint16_t kMaxSections = 96;
// A directory level never needs more entries than this to find the version resource.
constexpr uint32_t kMaxDirectoryEntries = 4096;
constexpr uint32_t kMaxVersionResourceBytes = 1 << 20;
// Length, value length, type, "VS_VERSION_INFO" with its zero and padding, fixed information.
constexpr uint32_t kMinVersionResourceBytes = 40 + 52;

class Reader {
 public:
  Reader(const ByteReader& read, uint64_t size) : read_(read), size_(size) {}

  template <typename T>
  std::optional<T> Get(uint64_t offset) const {
    if (offset > size_ || size_ - offset < sizeof(T)) return std::nullopt;
    unsigned char bytes[sizeof(T)];
    if (!read_(offset, reinterpret_cast<char*>(bytes), sizeof(T))) return std::nullopt;
    T value = 0;
    for (size_t i = 0; i < sizeof(T); ++i) value |= static_cast<T>(bytes[i]) << (8 * i);
    return value;
  }

  bool Bytes(uint64_t offset, char* destination, uint32_t count) const {
    if (offset > size_ || size_ - offset < count) return false;
    return read_(offset, destination, count);
  }

 private:
  const ByteReader& read_;
  uint64_t size_;
};

struct Section {
  uint32_t virtualAddress = 0;
  uint32_t virtualSize = 0;
  uint32_t rawSize = 0;
  uint32_t rawOffset = 0;
};

// File offset of an address of the loaded image, when a section's file data holds count bytes
// from there.
std::optional<uint64_t> FileOffsetOf(const std::vector<Section>& sections, uint32_t rva,
                                     uint32_t count) {
  for (const Section& s : sections) {
    if (rva < s.virtualAddress) continue;
    const uint64_t into = uint64_t(rva) - s.virtualAddress;
    if (into + count > s.rawSize) continue;
    return uint64_t(s.rawOffset) + into;
  }
  return std::nullopt;
}

// The entry of a resource directory (offset within the resource data) matching id, or the
// first entry when id is nothing. Returns OffsetToData.
std::optional<uint32_t> DirectoryEntry(const Reader& r, uint64_t resourceBase, uint32_t dirOffset,
                                       std::optional<uint32_t> id) {
  const auto named = r.Get<uint16_t>(resourceBase + dirOffset + 12);
  const auto ids = r.Get<uint16_t>(resourceBase + dirOffset + 14);
  if (!named || !ids) return std::nullopt;
  const uint32_t count = std::min<uint32_t>(uint32_t(*named) + *ids, kMaxDirectoryEntries);
  for (uint32_t i = 0; i < count; ++i) {
    const uint64_t entry = resourceBase + dirOffset + 16 + uint64_t(i) * 8;
    const auto name = r.Get<uint32_t>(entry);
    const auto data = r.Get<uint32_t>(entry + 4);
    if (!name || !data) return std::nullopt;
    if (!id || (!(*name & 0x80000000u) && *name == *id)) return *data;
  }
  return std::nullopt;
}
}  // namespace

std::optional<FixedFileVersion> ReadPeVersion(const ByteReader& read, uint64_t fileSize) {
  const Reader r(read, fileSize);
  const auto mz = r.Get<uint16_t>(0);
  if (!mz || *mz != 0x5A4D) return std::nullopt;
  const auto peOffset = r.Get<uint32_t>(0x3C);
  if (!peOffset) return std::nullopt;
  const uint64_t pe = *peOffset;
  const auto signature = r.Get<uint32_t>(pe);
  if (!signature || *signature != kPeSignature) return std::nullopt;
  const auto sectionCount = r.Get<uint16_t>(pe + 6);
  const auto optionalSize = r.Get<uint16_t>(pe + 20);
  if (!sectionCount || !optionalSize || *sectionCount > kMaxSections) return std::nullopt;
  const uint64_t optional = pe + 24;
  const auto magic = r.Get<uint16_t>(optional);
  if (!magic) return std::nullopt;
  uint64_t countField = 0;
  uint64_t directories = 0;
  if (*magic == kPe32Magic) {
    countField = 92;
    directories = 96;
  } else if (*magic == kPe32PlusMagic) {
    countField = 108;
    directories = 112;
  } else {
    return std::nullopt;
  }
  const auto directoryCount = r.Get<uint32_t>(optional + countField);
  if (!directoryCount || *directoryCount <= kResourceDirectoryIndex) return std::nullopt;
  const uint64_t resourceEntry = directories + kResourceDirectoryIndex * 8;
  if (resourceEntry + 8 > *optionalSize) return std::nullopt;
  const auto resourceRva = r.Get<uint32_t>(optional + resourceEntry);
  if (!resourceRva || *resourceRva == 0) return std::nullopt;

  std::vector<Section> sections;
  const uint64_t table = optional + *optionalSize;
  for (uint16_t i = 0; i < *sectionCount; ++i) {
    const uint64_t at = table + uint64_t(i) * 40;
    const auto vsize = r.Get<uint32_t>(at + 8);
    const auto vaddr = r.Get<uint32_t>(at + 12);
    const auto rawSize = r.Get<uint32_t>(at + 16);
    const auto rawOffset = r.Get<uint32_t>(at + 20);
    if (!vsize || !vaddr || !rawSize || !rawOffset) return std::nullopt;
    // Only the part of a section that the file holds can be read.
    const uint32_t held = std::min(*rawSize, *vsize == 0 ? *rawSize : *vsize);
    sections.push_back({*vaddr, *vsize, held, *rawOffset});
  }
  const auto resourceBase = FileOffsetOf(sections, *resourceRva, 16);
  if (!resourceBase) return std::nullopt;

  // Type, name, language: the first name and language of the version type, as the version
  // API takes them.
  const auto typeEntry = DirectoryEntry(r, *resourceBase, 0, kVersionResourceType);
  if (!typeEntry || !(*typeEntry & 0x80000000u)) return std::nullopt;
  const auto nameEntry = DirectoryEntry(r, *resourceBase, *typeEntry & 0x7FFFFFFFu, std::nullopt);
  if (!nameEntry || !(*nameEntry & 0x80000000u)) return std::nullopt;
  const auto langEntry = DirectoryEntry(r, *resourceBase, *nameEntry & 0x7FFFFFFFu, std::nullopt);
  if (!langEntry || (*langEntry & 0x80000000u)) return std::nullopt;
  const auto dataRva = r.Get<uint32_t>(*resourceBase + *langEntry);
  const auto dataSize = r.Get<uint32_t>(*resourceBase + *langEntry + 4);
  // Anything shorter than the header and the fixed information holds no version.
  if (!dataRva || !dataSize || *dataSize < kMinVersionResourceBytes ||
      *dataSize > kMaxVersionResourceBytes)
    return std::nullopt;
  const auto data = FileOffsetOf(sections, *dataRva, *dataSize);
  if (!data) return std::nullopt;

  // VS_VERSIONINFO: length, value length, type, the key "VS_VERSION_INFO" in UTF-16, padding
  // to 32 bits, then the fixed information.
  std::vector<char> block(*dataSize);
  if (!r.Bytes(*data, block.data(), *dataSize)) return std::nullopt;
  static const char16_t kKey[] = u"VS_VERSION_INFO";
  constexpr size_t kKeyBytes = sizeof kKey;  // with its terminating zero
  const size_t fixedAt = (6 + kKeyBytes + 3) & ~size_t(3);
  if (block.size() < fixedAt + 52) return std::nullopt;
  const auto word = [&](size_t at) {
    return uint16_t(uint8_t(block[at]) | uint16_t(uint8_t(block[at + 1])) << 8);
  };
  const auto dword = [&](size_t at) { return uint32_t(word(at)) | uint32_t(word(at + 2)) << 16; };
  const uint16_t valueLength = word(2);
  if (valueLength < 52) return std::nullopt;
  for (size_t i = 0; i < kKeyBytes / 2; ++i)
    if (word(6 + i * 2) != kKey[i]) return std::nullopt;
  if (dword(fixedAt) != kFixedInfoSignature) return std::nullopt;
  FixedFileVersion version;
  version.FileVersionMS = dword(fixedAt + 8);
  version.FileVersionLS = dword(fixedAt + 12);
  version.ProductVersionMS = dword(fixedAt + 16);
  version.ProductVersionLS = dword(fixedAt + 20);
  return version;
}

std::optional<FixedFileVersion> ReadPeVersion(const QByteArray& image) {
  const ByteReader read = [&image](uint64_t offset, char* destination, uint32_t size) {
    if (offset > uint64_t(image.size()) || uint64_t(image.size()) - offset < size) return false;
    if (size > 0) std::memcpy(destination, image.constData() + offset, size);
    return true;
  };
  return ReadPeVersion(read, uint64_t(image.size()));
}

std::optional<FixedFileVersion> ReadPeVersionOfFile(const QString& hostPath) {
  const std::unique_ptr<QFile> file = OpenRegularFile(hostPath);
  if (!file) return std::nullopt;
  const ByteReader read = [&file](uint64_t offset, char* destination, uint32_t size) {
    return file->seek(qint64(offset)) && file->read(destination, size) == qint64(size);
  };
  return ReadPeVersion(read, uint64_t(file->size()));
}

}  // namespace platform
