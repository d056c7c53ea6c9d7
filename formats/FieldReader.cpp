#include "formats/FieldReader.h"

#include <QByteArray>

#include "platform/Text.h"

bool FieldReader::Int32(int32_t& value) {
  unsigned char b[4];
  if (device_.read(reinterpret_cast<char*>(b), 4) != 4) return false;
  value =
      int32_t(uint32_t(b[0]) | uint32_t(b[1]) << 8 | uint32_t(b[2]) << 16 | uint32_t(b[3]) << 24);
  return true;
}

bool FieldReader::Byte(uint8_t& value) {
  char c;
  if (!device_.getChar(&c)) return false;
  value = uint8_t(c);
  return true;
}

bool FieldReader::Text(QString& text) {
  int32_t count = 0;
  return Int32(count) && Chars(count, text);
}

bool FieldReader::Chars(int32_t count, QString& text) {
  if (count < 0 || count > Remaining()) return false;
  if (count == 0) {
    text.clear();
    return true;
  }
  const QByteArray bytes = device_.read(count);
  if (bytes.size() != count) return false;
  text = platform::FromWin1252(bytes);
  return true;
}

bool FieldReader::Skip(qint64 count) {
  if (count < 0 || count > Remaining()) return false;
  return count == 0 || device_.seek(device_.pos() + count);
}

bool FieldReader::Seek(qint64 position) {
  if (position < 0 || position > size_) return false;
  return device_.seek(position);
}
