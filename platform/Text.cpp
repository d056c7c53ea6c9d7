#include "platform/Text.h"

#include <array>

namespace platform {
namespace {

// 0x80..0x9F of Windows-1252; the rest of the page is Latin-1.
constexpr std::array<char16_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 80..87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  // 88..8F
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90..97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,  // 98..9F
};

char16_t Decode(unsigned char b) {
  if (b >= 0x80 && b < 0xA0) return kHighControls[b - 0x80];
  return b;
}

int Encode(char16_t c) {
  if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return c;
  for (size_t i = 0; i < kHighControls.size(); ++i)
    if (kHighControls[i] == c) return int(0x80 + i);
  return -1;
}

}  // namespace

QString FromWin1252(const char* data, qsizetype size) {
  QString out(size, Qt::Uninitialized);
  QChar* dst = out.data();
  for (qsizetype i = 0; i < size; ++i) dst[i] = QChar(Decode(static_cast<unsigned char>(data[i])));
  return out;
}

QString FromWin1252(const QByteArray& bytes) { return FromWin1252(bytes.constData(), bytes.size()); }

QByteArray ToWin1252(const QString& text) {
  QByteArray out(text.size(), Qt::Uninitialized);
  for (qsizetype i = 0; i < text.size(); ++i) {
    const int b = Encode(text[i].unicode());
    out[i] = static_cast<char>(b < 0 ? '?' : b);
  }
  return out;
}

bool FitsWin1252(const QString& text) {
  for (QChar c : text)
    if (Encode(c.unicode()) < 0) return false;
  return true;
}

}  // namespace platform
