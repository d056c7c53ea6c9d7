#pragma once

// Writes BPK animations: version, frame count, the table of (size, delay) pairs and one zlib
// stream holding every frame's bitmap file back to back. Tests can override the header and
// the table to build damaged files.

#include <QByteArray>
#include <QPair>
#include <QVector>
#include <cstdint>
#include <optional>

namespace discwriter {

class BpkWriter {
 public:
  int32_t Version = 110;
  std::optional<int32_t> FrameCountOverride;
  // Written instead of the real table when not empty.
  QVector<QPair<int32_t, int32_t>> TableOverride;
  int CompressionLevel = -1;  // zlib level, -1 for its default

  void AddFrame(const QByteArray& bmp, int32_t delayMs) { frames_.append({bmp, delayMs}); }
  int FrameCount() const { return int(frames_.size()); }

  // The whole file. The frames are compressed as one stream without being joined in memory.
  QByteArray Build() const;

 private:
  struct Frame {
    QByteArray Bmp;
    int32_t DelayMs;
  };
  QVector<Frame> frames_;
};

}  // namespace discwriter
