#include "audio/SoundModuleTags.h"

#include <QtEndian>
#include <algorithm>

namespace {

// Random access to a device through one cached block.
class BlockReader {
 public:
  explicit BlockReader(QIODevice& stream) : stream_(stream), size_(stream.size()) {}
  qint64 Size() const { return size_; }

  // Up to count bytes at offset (fewer at the end of the file).
  QByteArray Read(qint64 offset, int count) {
    if (offset < 0 || offset >= size_ || count <= 0) return {};
    if (offset < blockStart_ || offset + count > blockStart_ + block_.size()) {
      if (!stream_.seek(offset)) return {};
      block_ = stream_.read(std::max<qint64>(kBlockBytes, count));
      blockStart_ = offset;
    }
    const qint64 available = std::min<qint64>(count, blockStart_ + block_.size() - offset);
    if (available <= 0) return {};
    return block_.mid(static_cast<qsizetype>(offset - blockStart_),
                      static_cast<qsizetype>(available));
  }

 private:
  static constexpr qint64 kBlockBytes = 65536;
  QIODevice& stream_;
  qint64 size_;
  QByteArray block_;
  qint64 blockStart_ = 0;
};

qint64 ScanForTag(BlockReader& reader, const QByteArray& tag) {
  const int length = static_cast<int>(tag.size());
  if (length == 0) return -1;
  const char first = tag[0];
  qint64 offset = 0;
  QByteArray previous;
  while (previous != "data" && offset < reader.Size()) {
    const QByteArray window = reader.Read(offset, length);
    if (window == tag) return offset;
    // Bytes below 32 stand for a character no tag holds, so a plain byte comparison finds
    // the same places.
    const qsizetype at = window.indexOf(first);
    qint64 advance = length;
    if (at > 0) {
      advance = at;
    } else if (at == 0) {
      const qsizetype again = window.indexOf(first, 1);
      if (again > 0) advance = again;
    }
    previous = window;
    offset += advance;
  }
  return -1;
}

}  // namespace

qint64 FindWaveTag(QIODevice& stream, const QByteArray& tag) {
  const qint64 saved = stream.pos();
  BlockReader reader(stream);
  const qint64 found = ScanForTag(reader, tag);
  stream.seek(saved);
  return found;
}

WaveHeader ReadWaveHeader(QIODevice& stream) {
  WaveHeader header;
  const qint64 saved = stream.pos();
  BlockReader reader(stream);
  header.IsWave = ScanForTag(reader, "RIFF") >= 0 && ScanForTag(reader, "WAVE") >= 0;
  const qint64 fmt = ScanForTag(reader, "fmt ");
  if (fmt >= 0) {
    const QByteArray chunk = reader.Read(fmt + 8, 16);
    if (chunk.size() == 16) {
      const auto* p = reinterpret_cast<const uchar*>(chunk.constData());
      header.HasFormat = true;
      header.Format.FormatTag = qFromLittleEndian<quint16>(p);
      header.Format.Channels = qFromLittleEndian<quint16>(p + 2);
      header.Format.SamplesPerSec = qFromLittleEndian<quint32>(p + 4);
      header.Format.AvgBytesPerSec = qFromLittleEndian<quint32>(p + 8);
      header.Format.BlockAlign = qFromLittleEndian<quint16>(p + 12);
      header.Format.BitsPerSample = qFromLittleEndian<quint16>(p + 14);
      header.Format.CbSize = 0;
    }
  }
  const qint64 data = ScanForTag(reader, "data");
  if (data >= 0) {
    header.DataOffset = data + 8;
    const QByteArray size = reader.Read(data + 4, 4);
    if (size.size() == 4) {
      header.DataSize =
          qFromLittleEndian<quint32>(reinterpret_cast<const uchar*>(size.constData()));
    }
  }
  stream.seek(saved);
  return header;
}
