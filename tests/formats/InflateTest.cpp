#include <gtest/gtest.h>

#include <QBuffer>

#include "formats/Inflate.h"
#include "tools/discwriter/ByteWriter.h"

namespace {

QByteArray Pattern(int size) {
  QByteArray data(size, Qt::Uninitialized);
  uint32_t x = 12345;
  for (int i = 0; i < size; ++i) {
    x = x * 1103515245u + 12345u;
    data[i] = char((x >> 16) % 7 + 'a');
  }
  return data;
}

struct Source {
  QByteArray bytes;
  QBuffer buffer{&bytes};
  explicit Source(const QByteArray& b, qint64 start = 0) : bytes(b) {
    buffer.open(QIODevice::ReadOnly);
    buffer.seek(start);
  }
};

}  // namespace

TEST(Inflate, ReadsAcrossInputBlocksFromAnyStart) {
  const QByteArray plain = Pattern(300000);
  const QByteArray prefix("HEADER");
  Source s(prefix + discwriter::ZlibCompress(plain, 1), prefix.size());
  InflateStream z(s.buffer);
  QByteArray out(plain.size() + 10, 0);
  EXPECT_EQ(z.Read(out.data(), 100), 100);
  EXPECT_EQ(z.Read(out.data() + 100, out.size() - 100), plain.size() - 100);
  EXPECT_EQ(out.left(plain.size()), plain);
  EXPECT_TRUE(z.AtStreamEnd());
  EXPECT_EQ(z.Read(out.data(), 10), 0);
}

TEST(Inflate, SeekRestartsOrSkipsForwardOnly) {
  const QByteArray plain = Pattern(20000);
  Source s(discwriter::ZlibCompress(plain));
  InflateStream z(s.buffer);
  char c[8];
  EXPECT_EQ(z.Seek(9000, SeekOrigin::Beginning), 9000);
  z.ReadBuffer(c, 8);
  EXPECT_EQ(QByteArray(c, 8), plain.mid(9000, 8));
  EXPECT_EQ(z.Seek(100, SeekOrigin::Current), 9108);
  EXPECT_EQ(z.Seek(0, SeekOrigin::Beginning), 0);
  z.ReadBuffer(c, 8);
  EXPECT_EQ(QByteArray(c, 8), plain.left(8));

  EXPECT_THROW(z.Seek(4, SeekOrigin::Beginning), EInflateError);
  EXPECT_THROW(z.Seek(-1, SeekOrigin::Current), EInflateError);
  EXPECT_THROW(z.Seek(0, SeekOrigin::End), EInflateError);
  EXPECT_THROW(z.Write(c, 1), EInflateError);
  // Skipping past the end stops there; the next read is short.
  EXPECT_EQ(z.Seek(50000, SeekOrigin::Beginning), plain.size());
  EXPECT_THROW(z.ReadBuffer(c, 1), EInflateError);
}

TEST(Inflate, TruncatedAndCorruptStreams) {
  const QByteArray plain = Pattern(5000);
  const QByteArray packed = discwriter::ZlibCompress(plain);
  Source cut(packed.left(packed.size() / 2));
  InflateStream z(cut.buffer);
  QByteArray out(plain.size(), 0);
  const qint64 got = z.Read(out.data(), out.size());
  EXPECT_LT(got, plain.size());
  EXPECT_EQ(out.left(got), plain.left(got));

  QByteArray bad = packed;
  bad[0] = 0x12;  // not a zlib header
  Source corrupt(bad);
  InflateStream y(corrupt.buffer);
  EXPECT_THROW(y.Read(out.data(), 10), EInflateError);

  Source nothing(QByteArray{});
  InflateStream e(nothing.buffer);
  EXPECT_EQ(e.Read(out.data(), 10), 0);
}

TEST(Inflate, ClosingChecksumIsVerifiedUnlessIgnored) {
  const QByteArray plain = Pattern(70000);
  QByteArray packed = discwriter::ZlibCompress(plain);
  packed[packed.size() - 1] = char(packed[packed.size() - 1] ^ 0x5a);  // the Adler-32 trailer
  QByteArray out(plain.size(), 0);

  Source verified(packed);
  InflateStream v(verified.buffer);
  EXPECT_THROW(v.ReadBuffer(out.data(), out.size()), EInflateError);

  // Ignored, every byte arrives and the end is reached, also after a restart.
  Source ignored(packed);
  InflateStream i(ignored.buffer, StreamChecksum::Ignore);
  for (int pass = 0; pass < 2; ++pass) {
    out.fill(0);
    i.ReadBuffer(out.data(), out.size());
    EXPECT_EQ(out, plain);
    EXPECT_TRUE(i.AtStreamEnd());
    i.Seek(0, SeekOrigin::Beginning);
  }
}
