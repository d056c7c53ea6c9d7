#include "tools/mkdisc/FontRename.h"

#include <QtEndian>
#include <vector>

namespace font {
namespace {

struct TableRecord {
  quint32 tag = 0;
  QByteArray data;
};

constexpr quint32 Tag(const char (&t)[5]) {
  return (quint32(uchar(t[0])) << 24) | (quint32(uchar(t[1])) << 16) | (quint32(uchar(t[2])) << 8) |
         quint32(uchar(t[3]));
}

quint16 Get16(const QByteArray& b, qsizetype at) {
  return qFromBigEndian<quint16>(reinterpret_cast<const uchar*>(b.constData() + at));
}
quint32 Get32(const QByteArray& b, qsizetype at) {
  return qFromBigEndian<quint32>(reinterpret_cast<const uchar*>(b.constData() + at));
}
void Put16(QByteArray& b, quint16 v) {
  uchar t[2];
  qToBigEndian(v, t);
  b.append(reinterpret_cast<const char*>(t), 2);
}
void Put32(QByteArray& b, quint32 v) {
  uchar t[4];
  qToBigEndian(v, t);
  b.append(reinterpret_cast<const char*>(t), 4);
}
void Set32(QByteArray& b, qsizetype at, quint32 v) {
  qToBigEndian(v, reinterpret_cast<uchar*>(b.data() + at));
}

quint32 Checksum(const QByteArray& data) {
  quint32 sum = 0;
  QByteArray padded = data;
  while (padded.size() % 4 != 0) padded.append('\0');
  for (qsizetype i = 0; i < padded.size(); i += 4) sum += Get32(padded, i);
  return sum;
}

// The names a font menu or a font matcher reads: family, full, PostScript, unique ID and the
// typographic family.
bool IsFamilyName(quint16 nameId) {
  return nameId == 1 || nameId == 3 || nameId == 4 || nameId == 6 || nameId == 16;
}

std::optional<QByteArray> RewriteNames(const QByteArray& name, const QString& family) {
  if (name.size() < 6) return std::nullopt;
  const quint16 count = Get16(name, 2);
  const quint16 stringOffset = Get16(name, 4);
  if (6 + 12 * qsizetype(count) > name.size() || stringOffset > name.size()) return std::nullopt;

  QByteArray utf16;
  for (QChar c : family) Put16(utf16, c.unicode());
  const QByteArray latin = family.toLatin1();

  QByteArray records;
  QByteArray strings;
  for (quint16 i = 0; i < count; ++i) {
    const qsizetype at = 6 + 12 * qsizetype(i);
    const quint16 platformId = Get16(name, at);
    const quint16 nameId = Get16(name, at + 6);
    const quint16 length = Get16(name, at + 8);
    const quint16 offset = Get16(name, at + 10);
    QByteArray text;
    if (IsFamilyName(nameId)) {
      text = (platformId == 0 || platformId == 3) ? utf16 : latin;
    } else {
      if (qsizetype(stringOffset) + offset + length > name.size()) return std::nullopt;
      text = name.mid(stringOffset + offset, length);
    }
    if (strings.size() > 0xffff) return std::nullopt;
    for (int k = 0; k < 4; ++k) Put16(records, Get16(name, at + 2 * k));
    Put16(records, static_cast<quint16>(text.size()));
    Put16(records, static_cast<quint16>(strings.size()));
    strings += text;
  }
  QByteArray out;
  Put16(out, 0);
  Put16(out, count);
  Put16(out, static_cast<quint16>(6 + records.size()));
  return out + records + strings;
}

}  // namespace

std::optional<QByteArray> Rename(const QByteArray& ttf, const QString& family) {
  if (ttf.size() < 12) return std::nullopt;
  const quint32 version = Get32(ttf, 0);
  const quint16 numTables = Get16(ttf, 4);
  if (numTables == 0 || 12 + 16 * qsizetype(numTables) > ttf.size()) return std::nullopt;

  std::vector<TableRecord> tables;
  bool haveName = false, haveHead = false;
  for (quint16 i = 0; i < numTables; ++i) {
    const qsizetype at = 12 + 16 * qsizetype(i);
    TableRecord t;
    t.tag = Get32(ttf, at);
    const quint32 offset = Get32(ttf, at + 8);
    const quint32 length = Get32(ttf, at + 12);
    if (qsizetype(offset) + qsizetype(length) > ttf.size()) return std::nullopt;
    t.data = ttf.mid(offset, length);
    if (t.tag == Tag("name")) {
      auto renamed = RewriteNames(t.data, family);
      if (!renamed) return std::nullopt;
      t.data = *renamed;
      haveName = true;
    }
    if (t.tag == Tag("head")) {
      if (t.data.size() < 12) return std::nullopt;
      Set32(t.data, 8, 0);  // checkSumAdjustment, set once the whole file is known
      haveHead = true;
    }
    tables.push_back(std::move(t));
  }
  if (!haveName || !haveHead) return std::nullopt;

  // Header fields are kept; only offsets, lengths and checksums follow the new contents.
  QByteArray out = ttf.left(12);
  Set32(out, 0, version);
  qsizetype offset = 12 + 16 * qsizetype(numTables);
  qsizetype headAt = -1;
  QByteArray body;
  for (const TableRecord& t : tables) {
    Put32(out, t.tag);
    Put32(out, Checksum(t.data));
    Put32(out, static_cast<quint32>(offset + body.size()));
    Put32(out, static_cast<quint32>(t.data.size()));
    if (t.tag == Tag("head")) headAt = offset + body.size();
    body += t.data;
    while (body.size() % 4 != 0) body.append('\0');
  }
  out += body;
  Set32(out, headAt + 8, 0xB1B0AFBAu - Checksum(out));
  return out;
}

}  // namespace font
