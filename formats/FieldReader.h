#pragma once

// Bounds-checked little-endian field reading from a random-access device. Every read and skip
// is checked against the bytes left in the device, so hostile lengths never allocate more than
// the file holds and never read past its end.

#include <QIODevice>
#include <QString>
#include <cstdint>

class FieldReader {
 public:
  explicit FieldReader(QIODevice& device) : device_(device), size_(device.size()) {}

  qint64 Remaining() const { return size_ - device_.pos(); }
  [[nodiscard]] bool Int32(int32_t& value);
  [[nodiscard]] bool Byte(uint8_t& value);
  // An int32 byte count then that many Windows-1252 bytes.
  [[nodiscard]] bool Text(QString& text);
  // count Windows-1252 bytes.
  [[nodiscard]] bool Chars(int32_t count, QString& text);
  [[nodiscard]] bool Skip(qint64 count);
  [[nodiscard]] bool Seek(qint64 position);

 private:
  QIODevice& device_;
  qint64 size_;
};
