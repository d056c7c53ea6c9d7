// A small Windows metafile for the explorer: a placeable header, then records drawn in logical
// units (a window of 400 x 300).

#include <QtEndian>

#include "tools/mkdisc/Media.h"

namespace media {
namespace {

class Records {
 public:
  void Record(quint16 function, std::initializer_list<qint32> words) {
    Begin(function, int(words.size()));
    for (qint32 w : words) Word(quint16(w));
  }
  void Begin(quint16 function, int paramWords) {
    const quint32 size = 3 + quint32(paramWords);
    maxRecord_ = std::max(maxRecord_, size);
    Dword(size);
    Word(function);
  }
  void Word(quint16 v) {
    char b[2];
    qToLittleEndian(v, b);
    data_.append(b, 2);
  }
  void Dword(quint32 v) {
    Word(quint16(v & 0xffff));
    Word(quint16(v >> 16));
  }
  void Colour(int r, int g, int b) { Dword(quint32(r) | (quint32(g) << 8) | (quint32(b) << 16)); }

  const QByteArray& Data() const { return data_; }
  quint32 MaxRecord() const { return maxRecord_; }

 private:
  QByteArray data_;
  quint32 maxRecord_ = 0;
};

constexpr quint16 kSetWindowOrg = 0x020B, kSetWindowExt = 0x020C, kSetBkMode = 0x0102,
                  kCreatePen = 0x02FA, kCreateBrush = 0x02FC, kSelectObject = 0x012D,
                  kDeleteObject = 0x01F0, kRectangle = 0x041B, kEllipse = 0x0418, kPolygon = 0x0324,
                  kMoveTo = 0x0214, kLineTo = 0x0213, kCreateFont = 0x02FB, kSetTextColor = 0x0209,
                  kTextOut = 0x0521;

void Pen(Records& r, int style, int width, int red, int green, int blue) {
  r.Begin(kCreatePen, 5);
  r.Word(quint16(style));
  r.Word(quint16(width));
  r.Word(0);
  r.Colour(red, green, blue);
}

void Brush(Records& r, int red, int green, int blue) {
  r.Begin(kCreateBrush, 4);
  r.Word(0);  // solid
  r.Colour(red, green, blue);
  r.Word(0);
}

}  // namespace

QByteArray Metafile() {
  Records r;
  r.Record(kSetWindowOrg, {0, 0});
  r.Record(kSetWindowExt, {300, 400});
  r.Record(kSetBkMode, {1});
  Pen(r, 0, 3, 20, 30, 80);  // object 0
  Brush(r, 30, 60, 140);     // object 1
  Brush(r, 250, 190, 50);    // object 2
  Brush(r, 200, 40, 30);     // object 3
  {                          // object 4: the text face
    const QByteArray face("Arial");
    r.Begin(kCreateFont, 9 + 16);
    for (qint16 v : {qint16(-40), qint16(0), qint16(0), qint16(0), qint16(700)}) r.Word(quint16(v));
    r.Word(0);       // italic, underline
    r.Word(0);       // strike-out, character set
    r.Word(0);       // precisions
    r.Word(0x2202);  // quality, pitch and family
    QByteArray name = face;
    name.resize(32, '\0');
    for (int i = 0; i < 32; i += 2)
      r.Word(quint16(uchar(name[i])) | quint16(uchar(name[i + 1]) << 8));
  }
  r.Record(kSelectObject, {0});
  r.Record(kSelectObject, {1});
  r.Record(kRectangle, {290, 390, 10, 10});  // bottom, right, top, left
  r.Record(kSelectObject, {2});
  r.Record(kEllipse, {250, 330, 50, 70});
  r.Record(kSelectObject, {3});
  r.Begin(kPolygon, 1 + 2 * 3);
  r.Word(3);
  for (qint16 v : {qint16(200), qint16(80), qint16(260), qint16(200), qint16(140), qint16(200)})
    r.Word(quint16(v));
  r.Record(kMoveTo, {270, 40});
  r.Record(kLineTo, {270, 360});
  r.Record(kSelectObject, {4});
  r.Begin(kSetTextColor, 2);
  r.Colour(255, 255, 255);
  const QByteArray text("QUARX");
  r.Begin(kTextOut, 1 + (text.size() + 1) / 2 + 2);
  r.Word(quint16(text.size()));
  QByteArray padded = text;
  if (padded.size() % 2) padded.append('\0');
  for (int i = 0; i < padded.size(); i += 2)
    r.Word(quint16(uchar(padded[i])) | quint16(uchar(padded[i + 1]) << 8));
  r.Word(30);   // y
  r.Word(140);  // x
  for (qint32 i = 0; i < 5; ++i) r.Record(kDeleteObject, {i});
  r.Record(0x0000, {});  // end of file

  // Standard header (9 words), then the records.
  Records head;
  head.Word(1);  // in memory
  head.Word(9);
  head.Word(0x0300);
  head.Dword(quint32(9 + r.Data().size() / 2));
  head.Word(5);  // objects
  head.Dword(r.MaxRecord());
  head.Word(0);

  // Placeable header: key, handle, bounds, units per inch, reserved, checksum of the words.
  Records placeable;
  placeable.Dword(0x9AC6CDD7u);
  placeable.Word(0);
  for (quint16 v : {quint16(0), quint16(0), quint16(400), quint16(300)}) placeable.Word(v);
  placeable.Word(96);
  placeable.Dword(0);
  quint16 sum = 0;
  for (int i = 0; i < placeable.Data().size(); i += 2)
    sum ^= qFromLittleEndian<quint16>(placeable.Data().constData() + i);
  placeable.Word(sum);
  return placeable.Data() + head.Data() + r.Data();
}

}  // namespace media
