#include "formats/FieldReader.h"

#include <algorithm>

#include "platform/Text.h"

bool FieldReader::Fetch(qint64 count) {
  if (InBlock(count)) return true;
  // A block-sized read needs no size check (a short read shows the end); larger ones are
  // checked first so that a hostile length never allocates more than the file holds.
  qint64 want = kBlockBytes;
  if (count > kBlockBytes) {
    if (count > Remaining()) return false;
    want = count;
  }
  if (device_.pos() != pos_ && !device_.seek(pos_)) return false;
  block_.resize(qsizetype(want));
  const qint64 got = device_.read(block_.data(), want);
  block_.resize(qsizetype(std::max<qint64>(got, 0)));
  blockStart_ = pos_;
  return got >= count;
}

bool FieldReader::Int32(int32_t& value) {
  if (!Fetch(4)) return false;
  const auto* b = reinterpret_cast<const unsigned char*>(At());
  value =
      int32_t(uint32_t(b[0]) | uint32_t(b[1]) << 8 | uint32_t(b[2]) << 16 | uint32_t(b[3]) << 24);
  pos_ += 4;
  return true;
}

bool FieldReader::Byte(uint8_t& value) {
  if (!Fetch(1)) return false;
  value = uint8_t(*At());
  pos_ += 1;
  return true;
}

bool FieldReader::Text(QString& text) {
  int32_t count = 0;
  return Int32(count) && Chars(count, text);
}

bool FieldReader::Chars(int32_t count, QString& text) {
  if (count < 0) return false;
  if (count == 0) {
    text.clear();
    return true;
  }
  if (!Fetch(count)) return false;
  // Windows-1252 differs from Latin-1 only in 0x80..0x9F; most texts have none of those.
  const char* bytes = At();
  unsigned high = 0;
  for (int32_t i = 0; i < count; ++i) high |= unsigned(uint8_t(bytes[i]) - 0x80u < 0x20u);
  text = high ? platform::FromWin1252(bytes, count) : QString::fromLatin1(bytes, count);
  pos_ += count;
  return true;
}

bool FieldReader::Skip(qint64 count) {
  if (count < 0) return false;
  if (!InBlock(count) && count > Remaining()) return false;
  pos_ += count;
  return true;
}

bool FieldReader::Seek(qint64 position) {
  // The start is always there; other positions are checked against the size.
  if (position < 0 || (position > 0 && position > Size())) return false;
  pos_ = position;
  return true;
}
