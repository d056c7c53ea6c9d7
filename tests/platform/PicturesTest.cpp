// JPEG decoding and the metafile player on the sample disc's pictures and on damaged copies:
// the right pixels where a picture is whole, a refusal (never a crash) where it is not.

#include <gtest/gtest.h>

#include <QBuffer>
#include <QPainter>
#include <QtEndian>

#include "support/TestSupport.h"
#include "platform/Jpeg.h"
#include "platform/Metafile.h"

using namespace platform;

namespace {

QByteArray SampleFile(const QString& relative) {
  return testsupport::ReadFile(testsupport::SampleDisc() + "/Midia/" + relative);
}

QByteArray EncodeJpeg(const QImage& image, int quality = 90) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, "JPG", quality);
  return bytes;
}

int ColourDistance(QRgb a, QRgb b) {
  return std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) +
         std::abs(qBlue(a) - qBlue(b));
}

TEST(Jpeg, TrueColourAndPaletteDecodesMatchQt) {
  const QByteArray bytes = SampleFile("Imagens/foto.jpg");
  ASSERT_FALSE(bytes.isEmpty());
  const QImage reference = QImage::fromData(bytes, "JPG").convertToFormat(QImage::Format_RGB32);

  const auto rgb = DecodeJpeg(bytes, 24);
  ASSERT_TRUE(rgb);
  EXPECT_FALSE(rgb->HasPalette());
  ASSERT_EQ(rgb->Image().size(), reference.size());
  EXPECT_EQ(rgb->Image(), reference);  // the same library, the same method

  const auto eight = DecodeJpeg(bytes, 8);
  ASSERT_TRUE(eight);
  ASSERT_TRUE(eight->HasPalette());
  EXPECT_LE(eight->Palette().size(), 256);
  EXPECT_GT(eight->Palette().size(), 16);
  // Reduced colours stay close to the picture on average.
  qint64 total = 0;
  for (int y = 0; y < reference.height(); y += 7)
    for (int x = 0; x < reference.width(); x += 7)
      total += ColourDistance(eight->Pixel(x, y), reference.pixel(x, y));
  const qint64 samples = qint64((reference.height() + 6) / 7) * ((reference.width() + 6) / 7);
  EXPECT_LT(total / samples, 40);
}

// A picture shown smaller than itself is reduced while decoding, never below the size asked
// for, and keeps its colours; its header still gives its own size.
TEST(Jpeg, ReducedDecodeIsTheSmallestEighthAtLeastTheShownSize) {
  QImage quarters(1000, 600, QImage::Format_RGB32);
  quarters.fill(qRgb(200, 30, 30));
  for (int y = 300; y < 600; ++y)
    for (int x = 0; x < 1000; ++x) quarters.setPixel(x, y, qRgb(20, 60, 220));
  const QByteArray bytes = EncodeJpeg(quarters);
  EXPECT_EQ(JpegSize(bytes), QSize(1000, 600));

  // 2/8 gives 250 x 150, narrower than 300: 3/8 (375 x 225) is the smallest that holds it.
  const auto reduced = DecodeJpeg(bytes, 24, nullptr, QSize(300, 150));
  ASSERT_TRUE(reduced);
  EXPECT_EQ(reduced->Image().size(), QSize(375, 225));
  EXPECT_LT(ColourDistance(reduced->Pixel(180, 50), qRgb(200, 30, 30)), 24);
  EXPECT_LT(ColourDistance(reduced->Pixel(180, 180), qRgb(20, 60, 220)), 24);
  // The 256-colour path reduces the same way.
  const auto eight = DecodeJpeg(bytes, 8, nullptr, QSize(125, 75));
  ASSERT_TRUE(eight);
  EXPECT_EQ(eight->Image().size(), QSize(125, 75));
  EXPECT_TRUE(eight->HasPalette());

  // Shown at its own size or larger, or with no size: not reduced.
  EXPECT_EQ(DecodeJpeg(bytes, 24, nullptr, QSize(1000, 600))->Image().size(), QSize(1000, 600));
  EXPECT_EQ(DecodeJpeg(bytes, 24, nullptr, QSize(2000, 1))->Image().size(), QSize(1000, 600));
  EXPECT_EQ(DecodeJpeg(bytes, 24)->Image().size(), QSize(1000, 600));

  EXPECT_FALSE(JpegSize(QByteArray()));
  EXPECT_FALSE(JpegSize(bytes.left(40)));
  EXPECT_FALSE(JpegSize("BM not a jpeg"));
}

TEST(Jpeg, GreyPicturesDecodeToGrey) {
  QImage grey(33, 17, QImage::Format_Grayscale8);
  for (int y = 0; y < grey.height(); ++y)
    for (int x = 0; x < grey.width(); ++x) grey.scanLine(y)[x] = uchar(x * 7);
  const auto rgb = DecodeJpeg(EncodeJpeg(grey, 100), 32);
  ASSERT_TRUE(rgb);
  const QRgb p = rgb->Pixel(20, 5);
  EXPECT_EQ(qRed(p), qGreen(p));
  EXPECT_NEAR(qRed(p), 140, 6);
  ASSERT_TRUE(DecodeJpeg(EncodeJpeg(grey, 100), 8));
}

TEST(Jpeg, DamagedFilesAreRefusedOrDecodedPartly) {
  const QByteArray whole = SampleFile("Imagens/foto.jpg");
  QString error;
  EXPECT_FALSE(DecodeJpeg(QByteArray(), 24, &error));
  EXPECT_FALSE(error.isEmpty());
  EXPECT_FALSE(DecodeJpeg(QByteArray("BM not a jpeg at all"), 24));
  EXPECT_FALSE(DecodeJpeg(whole.left(2), 24));
  EXPECT_FALSE(DecodeJpeg(whole.left(100), 8));  // the header is cut

  // Scan data cut short: what arrived is shown, the rest is grey.
  const auto partly = DecodeJpeg(whole.left(whole.size() / 3), 24);
  ASSERT_TRUE(partly);
  EXPECT_EQ(partly->Width(), 640);
  const QRgb bottom = partly->Pixel(600, 470);
  EXPECT_EQ(qRed(bottom), qGreen(bottom));

  // A header claiming a giant picture is refused before anything is allocated.
  QByteArray giant = whole;
  const int sof = giant.indexOf("\xFF\xC0");
  ASSERT_GT(sof, 0);
  qToBigEndian<quint16>(60000, giant.data() + sof + 5);
  qToBigEndian<quint16>(60000, giant.data() + sof + 7);
  EXPECT_FALSE(DecodeJpeg(giant, 24, &error));
  EXPECT_TRUE(error.contains("too large"));

  // Every byte flipped in turn through the header never crashes.
  for (int i = 0; i < std::min<int>(600, int(whole.size())); i += 7) {
    QByteArray bad = whole;
    bad[i] = char(~bad[i]);
    (void)DecodeJpeg(bad, i % 5 ? 24 : 8);
  }
}

QImage Play(const Metafile& m, QSize size) {
  QImage image(size, QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter p(&image);
  m.Play(p, QRect(QPoint(0, 0), size));
  return image;
}

constexpr QRgb kRectBlue = 0xff1e3c8c, kEllipseYellow = 0xfffabe32, kTriangleRed = 0xffc8281e;

TEST(Metafile, SampleDrawsItsFilledShapesAtAnySize) {
  const auto m = Metafile::FromBytes(SampleFile("Desenhos/logotipo.wmf"));
  ASSERT_TRUE(m);
  EXPECT_TRUE(m->Placeable());
  EXPECT_EQ(m->Size(), QSize(400, 300));

  const QImage full = Play(*m, QSize(400, 300));
  EXPECT_EQ(full.pixel(3, 3), 0xffffffff);         // outside the frame
  EXPECT_EQ(full.pixel(30, 280), kRectBlue);       // the rectangle's inside
  EXPECT_EQ(full.pixel(100, 150), kEllipseYellow);  // the ellipse is filled
  EXPECT_EQ(full.pixel(200, 60), kEllipseYellow);
  EXPECT_EQ(full.pixel(200, 170), kTriangleRed);   // drawn over the ellipse
  EXPECT_EQ(full.pixel(75, 60), kRectBlue);        // just outside the ellipse's curve
  EXPECT_EQ(full.pixel(360, 270), kRectBlue);

  const QImage half = Play(*m, QSize(200, 150));
  EXPECT_EQ(half.pixel(50, 75), kEllipseYellow);
  EXPECT_EQ(half.pixel(100, 85), kTriangleRed);
  EXPECT_EQ(half.pixel(15, 140), kRectBlue);

  // Stretched out of proportion, the shapes follow the frame.
  const QImage wide = Play(*m, QSize(800, 150));
  EXPECT_EQ(wide.pixel(200, 75), kEllipseYellow);
}

QByteArray WithoutPlaceableHeader(const QByteArray& placeable) { return placeable.mid(22); }

TEST(Metafile, PlainFileIsSizedByItsWindow) {
  const auto m = Metafile::FromBytes(WithoutPlaceableHeader(SampleFile("Desenhos/logotipo.wmf")));
  ASSERT_TRUE(m);
  EXPECT_FALSE(m->Placeable());
  EXPECT_EQ(m->Size(), QSize(400, 300));
  EXPECT_EQ(Play(*m, QSize(400, 300)).pixel(100, 150), kEllipseYellow);
}

// A metafile built from records, for the cases the sample does not hold.
class Wmf {
 public:
  Wmf& Rec(quint16 function, std::initializer_list<int> words) {
    Dword(quint32(3 + words.size()));
    Word(quint16(function));
    for (int w : words) Word(quint16(w));
    return *this;
  }
  Wmf& Raw(const QByteArray& bytes) {
    body_ += bytes;
    return *this;
  }
  void Word(quint16 v) {
    char b[2];
    qToLittleEndian(v, b);
    body_.append(b, 2);
  }
  void Dword(quint32 v) {
    Word(quint16(v));
    Word(quint16(v >> 16));
  }
  QByteArray Bytes(int objects = 4) const {
    Wmf head;
    head.Word(1);
    head.Word(9);
    head.Word(0x300);
    head.Dword(quint32(9 + body_.size() / 2 + 3));
    head.Word(quint16(objects));
    head.Dword(100);
    head.Word(0);
    Wmf end;
    end.Rec(0, {});
    return head.body_ + body_ + end.body_;
  }
  QByteArray body_;
};

Wmf Frame100() {
  Wmf w;
  w.Rec(0x020C, {100, 100});  // window 100 x 100
  return w;
}

TEST(Metafile, UnknownAndDamagedRecordsAreSkipped) {
  Wmf w = Frame100();
  w.Rec(0x02FC, {0, 0x00ff, 0x0000, 0});  // brush: red
  w.Rec(0x012D, {0});
  w.Rec(0x0777, {1, 2, 3, 4, 5});         // unknown: skipped by its size
  w.Rec(0x0626, {15, 4, 1, 2});           // an escape: ignored
  w.Rec(0x0324, {500, 1, 2});             // a polygon claiming more points than it holds
  w.Rec(0x012D, {99});                    // no such object
  w.Rec(0x01F0, {1000});
  w.Rec(0x041B, {10});                    // a rectangle with too few parameters
  w.Rec(0x041B, {60, 60, 20, 20});
  const auto m = Metafile::FromBytes(w.Bytes());
  ASSERT_TRUE(m);
  const QImage image = Play(*m, QSize(100, 100));
  EXPECT_EQ(image.pixel(40, 40), 0xffff0000);
  EXPECT_EQ(image.pixel(80, 80), 0xffffffff);

  // A record whose size runs past the end, or is too small to be a record, ends the picture.
  QByteArray cut = Frame100().Rec(0x041B, {60, 60, 20, 20}).Bytes();
  qToLittleEndian<quint32>(0x7fffffff, cut.data() + 18 + 10);
  ASSERT_TRUE(Metafile::FromBytes(cut));
  EXPECT_EQ(Play(*Metafile::FromBytes(cut), QSize(100, 100)).pixel(40, 40), 0xffffffff);
  QByteArray zero = Frame100().Rec(0x041B, {60, 60, 20, 20}).Bytes();
  qToLittleEndian<quint32>(0, zero.data() + 18 + 10);
  ASSERT_TRUE(Metafile::FromBytes(zero));
  (void)Play(*Metafile::FromBytes(zero), QSize(100, 100));
}

TEST(Metafile, RefusesWhatIsNoMetafile) {
  QString error;
  EXPECT_FALSE(Metafile::FromBytes(QByteArray(), &error));
  EXPECT_FALSE(error.isEmpty());
  EXPECT_FALSE(Metafile::FromBytes(QByteArray(40, 'x')));
  const QByteArray sample = SampleFile("Desenhos/logotipo.wmf");
  EXPECT_FALSE(Metafile::FromBytes(sample.left(30)));
  // A plain file without a window extent has no size.
  EXPECT_FALSE(Metafile::FromBytes(Wmf().Rec(0x041B, {60, 60, 20, 20}).Bytes(), &error));
  // Every prefix and every flipped byte of the sample is read or refused without harm.
  for (int n = 0; n < sample.size(); n += 5)
    if (auto m = Metafile::FromBytes(sample.left(n))) (void)Play(*m, QSize(64, 48));
  for (int i = 0; i < sample.size(); i += 3) {
    QByteArray bad = sample;
    bad[i] = char(bad[i] ^ 0x80);
    if (auto m = Metafile::FromBytes(bad)) (void)Play(*m, QSize(64, 48));
  }
}

TEST(Metafile, ShapesTextPixelsAndBitmaps) {
  Wmf w = Frame100();
  w.Rec(0x02FC, {1, 0, 0, 0});                  // hollow brush
  w.Rec(0x02FA, {0, 1, 0, 0x00ff, 0});          // pen 1: red
  w.Rec(0x012D, {0});
  w.Rec(0x012D, {1});
  w.Rec(0x061C, {20, 20, 40, 90, 10, 10});       // round rectangle, hollow
  w.Rec(0x041F, {0xff00, 0x0000, 95, 95});       // set-pixel green at (95, 95)
  w.Rec(0x001E, {});                             // save
  w.Rec(0x02FC, {0, 0xff00, 0x0000, 0});         // brush 2: green
  w.Rec(0x012D, {2});
  w.Rec(0x081A, {10, 50, 50, 90, 90, 90, 10, 10});  // pie: the quarter from 0 to 90 degrees
  w.Rec(0x0127, {-1});                           // restore: hollow again
  w.Rec(0x0418, {98, 98, 92, 92});
  // A 2 x 1 24-bit picture stretched over (10, 60)-(50, 80): blue then white.
  QByteArray dib(40, '\0');
  qToLittleEndian<quint32>(40, dib.data());
  qToLittleEndian<qint32>(2, dib.data() + 4);
  qToLittleEndian<qint32>(1, dib.data() + 8);
  qToLittleEndian<quint16>(1, dib.data() + 12);
  qToLittleEndian<quint16>(24, dib.data() + 14);
  dib += QByteArray::fromHex("ff0000ffffff0000");
  Wmf blit;
  blit.Dword(quint32(3 + 11 + dib.size() / 2));
  blit.Word(0x0F43);
  for (int v : {0x0020, 0x00CC, 0, 1, 2, 0, 0, 20, 40, 60, 10}) blit.Word(quint16(v));
  w.Raw(blit.body_ + dib);
  const auto m = Metafile::FromBytes(w.Bytes());
  ASSERT_TRUE(m);
  const QImage image = Play(*m, QSize(100, 100));
  EXPECT_EQ(image.pixel(10, 25), 0xffff0000);   // the outline
  EXPECT_EQ(image.pixel(25, 30), 0xffffffff);   // hollow inside
  EXPECT_EQ(image.pixel(95, 95), 0xff00ff00);
  EXPECT_EQ(image.pixel(70, 25), 0xff00ff00);   // inside the pie's quarter
  EXPECT_EQ(image.pixel(70, 70), 0xffffffff);   // outside it
  EXPECT_EQ(image.pixel(30, 25), 0xffffffff);
  EXPECT_EQ(image.pixel(15, 70), 0xff0000ff);
  EXPECT_EQ(image.pixel(45, 70), 0xffffffff);
}

}  // namespace
