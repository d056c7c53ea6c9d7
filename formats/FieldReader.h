#pragma once

// Bounds-checked little-endian field reading from a random-access device. Every read and skip
// is checked against the bytes left in the device, so hostile lengths never allocate more than
// the file holds and never read past its end. The reader fetches the device in blocks of its
// own and moves within them, so the many small fields and skips of a header cost one read.
// The device's own position is left wherever the last block ended: call SyncDevice() before
// handing the device to another reader.

#include <QByteArray>
#include <QIODevice>
#include <QString>
#include <cstdint>

class FieldReader {
 public:
  static constexpr qint64 kBlockBytes = 4096;

  explicit FieldReader(QIODevice& device) : device_(device) {}

  qint64 Pos() const { return pos_; }
  qint64 Remaining() { return Size() - pos_; }
  [[nodiscard]] bool Int32(int32_t& value);
  [[nodiscard]] bool Byte(uint8_t& value);
  // An int32 byte count then that many Windows-1252 bytes.
  [[nodiscard]] bool Text(QString& text);
  // count Windows-1252 bytes.
  [[nodiscard]] bool Chars(int32_t count, QString& text);
  [[nodiscard]] bool Skip(qint64 count);
  [[nodiscard]] bool Seek(qint64 position);
  // Forgets the fetched block, so the next field is read from the device again.
  void DropBlock() {
    block_.clear();
    blockStart_ = 0;
  }
  // Puts the device at Pos().
  [[nodiscard]] bool SyncDevice() { return device_.seek(pos_); }

 private:
  // Makes bytes [pos_, pos_ + count) available in the block; false when the device ends first.
  bool Fetch(qint64 count);
  // The device's size, asked once and only when a check needs it.
  qint64 Size() {
    if (size_ < 0) size_ = device_.size();
    return size_;
  }
  bool InBlock(qint64 count) const {
    return pos_ >= blockStart_ && pos_ + count <= blockStart_ + block_.size();
  }
  const char* At() const { return block_.constData() + (pos_ - blockStart_); }

  QIODevice& device_;
  qint64 size_ = -1;
  qint64 pos_ = 0;
  QByteArray block_;
  qint64 blockStart_ = 0;
};
