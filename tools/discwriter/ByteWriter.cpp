#include "tools/discwriter/ByteWriter.h"

#include <zlib.h>

#include <stdexcept>

#include "platform/Text.h"

namespace discwriter {

void ByteWriter::Int32(int32_t value) {
  const auto v = static_cast<uint32_t>(value);
  const char bytes[4] = {char(v & 0xFF), char((v >> 8) & 0xFF), char((v >> 16) & 0xFF),
                         char((v >> 24) & 0xFF)};
  out_.append(bytes, 4);
}

void ByteWriter::Byte(uint8_t value) {
  out_.append(char(value));
}

void ByteWriter::Text(const QString& text) {
  const QByteArray bytes = platform::ToWin1252(text);
  RawText(int32_t(bytes.size()), bytes);
}

void ByteWriter::RawText(int32_t storedLength, const QByteArray& bytes) {
  Int32(storedLength);
  out_.append(bytes);
}

void ByteWriter::PatchInt32(qsizetype offset, int32_t value) {
  const auto v = static_cast<uint32_t>(value);
  for (int i = 0; i < 4; ++i) out_[offset + i] = char((v >> (8 * i)) & 0xFF);
}

QByteArray ZlibCompress(const QByteArray& data, int level) {
  uLongf bound = compressBound(uLong(data.size()));
  QByteArray out(qsizetype(bound), Qt::Uninitialized);
  const int rc =
      compress2(reinterpret_cast<Bytef*>(out.data()), &bound,
                reinterpret_cast<const Bytef*>(data.constData()), uLong(data.size()), level);
  // Only a wrong level or lack of memory can fail here; both are programming errors.
  if (rc != Z_OK) throw std::runtime_error("zlib compression failed");
  out.resize(qsizetype(bound));
  return out;
}

}  // namespace discwriter
