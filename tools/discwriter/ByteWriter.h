#pragma once

// Little-endian field writing shared by the disc file writers, plus zlib compression.

#include <QByteArray>
#include <QString>
#include <cstdint>

namespace discwriter {

class ByteWriter {
 public:
  void Int32(int32_t value);
  void Byte(uint8_t value);
  void Bytes(const QByteArray& bytes) { out_.append(bytes); }
  // An int32 byte count followed by the text in Windows-1252, no terminator.
  void Text(const QString& text);
  // A text field whose stored count differs from its bytes (for damaged files).
  void RawText(int32_t storedLength, const QByteArray& bytes);
  // Overwrites 4 bytes at offset (used to patch tables written before their data).
  void PatchInt32(qsizetype offset, int32_t value);

  qsizetype Size() const { return out_.size(); }
  const QByteArray& Data() const { return out_; }
  QByteArray Take() { return std::move(out_); }

 private:
  QByteArray out_;
};

// A complete zlib stream (RFC 1950) of data. level: 0..9, -1 for zlib's default.
QByteArray ZlibCompress(const QByteArray& data, int level = -1);

}  // namespace discwriter
