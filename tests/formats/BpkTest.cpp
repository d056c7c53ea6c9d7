#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "FormatsTestSupport.h"
#include "formats/BPK.h"
#include "support/TestSupport.h"
#include "tools/discwriter/BpkWriter.h"

using discwriter::BpkWriter;
using formatstest::SolidBmp;

namespace {

// Frames of distinct sizes and colours: frame i is (3 + i) x 2 in colour (i, 50, 100).
BpkWriter Frames(int count) {
  BpkWriter w;
  for (int i = 0; i < count; ++i) w.AddFrame(SolidBmp(3 + i, 2, qRgb(i, 50, 100)), 40 + i);
  return w;
}

int FrameNumber(const platform::Bitmap& b) {
  return qRed(b.Pixel(0, 0));
}

// Both source modes over the same bytes, through a file.
struct MovieFile {
  QTemporaryDir dir;
  QString path;
  explicit MovieFile(const QByteArray& bytes) : path(dir.path() + "/m.bpk") {
    EXPECT_TRUE(testsupport::WriteFile(path, bytes));
  }
  QString WinPath() const { return formatstest::DiscPath(path); }
};

class BpkModes : public ::testing::TestWithParam<bool> {};

}  // namespace

TEST(BpkList, ValuesAndRemoval) {
  TBPKList list;
  EXPECT_EQ(list.AddFrame(10, 0), 0);
  EXPECT_EQ(list.AddFrame(20, 5), 1);
  EXPECT_EQ(list.FrameValue(1, 0), 20);
  EXPECT_EQ(list.FrameValue(1, 1), 5);
  EXPECT_EQ(list.FrameValue(0, 1), 0);  // a delay of 0 is a value
  EXPECT_EQ(list.FrameValue(1, 2), -1);
  EXPECT_EQ(list.FrameValue(2, 0), -1);
  EXPECT_EQ(list.FrameValue(-1, 0), -1);
  list.DeleteFrame(5);
  list.DeleteFrame(0);
  EXPECT_EQ(list.Count(), 1);
  EXPECT_EQ(list.FrameValue(0, 0), 20);
}

TEST_P(BpkModes, PlaysSeeksAndReplays) {
  MovieFile file(Frames(3).Build());
  TBPKMovie movie(GetParam());
  ASSERT_TRUE(movie.Open(file.WinPath()));
  EXPECT_EQ(movie.Header.FrameCount, 3);
  platform::Bitmap b;
  for (int i = 0; i < 3; ++i) {
    ASSERT_TRUE(movie.ReadFrame(b, 24)) << i;
    // Frames of different sizes each arrive whole, right after the previous one.
    EXPECT_EQ(b.Width(), 3 + i);
    EXPECT_EQ(FrameNumber(b), i);
    EXPECT_EQ(movie.LastFrame, i);
    EXPECT_EQ(movie.FrameValue(movie.LastFrame, 1), 40 + i);
  }
  EXPECT_FALSE(movie.ReadFrame(b, 24));
  EXPECT_EQ(movie.CurrentFrame, 3);
  EXPECT_EQ(movie.LastFrame, 2);

  movie.SeekFrame(0);
  ASSERT_TRUE(movie.ReadFrame(b, 24));
  EXPECT_EQ(FrameNumber(b), 0);
  movie.SeekFrame(2);
  ASSERT_TRUE(movie.ReadFrame(b, 24));
  EXPECT_EQ(FrameNumber(b), 2);
  movie.SeekFrame(1);
  ASSERT_TRUE(movie.ReadFrame(b, 24));
  EXPECT_EQ(FrameNumber(b), 1);

  EXPECT_TRUE(movie.CloseMovie());
  EXPECT_EQ(movie.Header.FrameCount, 0);
  EXPECT_FALSE(movie.ReadFrame(b, 24));
}

TEST_P(BpkModes, HeaderChecks) {
  BpkWriter empty;
  MovieFile none(empty.Build());
  TBPKMovie movie(GetParam());
  ASSERT_TRUE(movie.Open(none.WinPath()));
  platform::Bitmap b;
  EXPECT_FALSE(movie.ReadFrame(b, 8));
  movie.SeekFrame(-1);  // the last frame of an empty movie
  EXPECT_FALSE(movie.ReadFrame(b, 8));

  BpkWriter wrong = Frames(1);
  wrong.Version = 111;
  MovieFile bad(wrong.Build());
  EXPECT_FALSE(movie.Open(bad.WinPath()));
  EXPECT_FALSE(movie.IsOpen());
  MovieFile tiny(QByteArray("\x6e\x00", 2));
  EXPECT_FALSE(movie.Open(tiny.WinPath()));
  EXPECT_THROW(movie.Open(formatstest::DiscPath(none.dir.path() + "/absent.bpk")), EFOpenError);
}

INSTANTIATE_TEST_SUITE_P(Sources, BpkModes, ::testing::Values(true, false),
                         [](const auto& info) { return info.param ? "File" : "Memory"; });

TEST(Bpk, SeekToTheCurrentFrameDoesNotRestart) {
  BpkWriter w = Frames(2);
  const QByteArray bytes = w.Build();
  MovieFile file(bytes);
  TBPKMovie movie(true);
  ASSERT_TRUE(movie.Open(file.WinPath()));
  platform::Bitmap b;
  ASSERT_TRUE(movie.ReadFrame(b, 24));
  // The compressed data now sits in the inflater's buffer; spoil the file under it. Going on
  // from the current frame must not go back to the file.
  QFile f(file.path);
  ASSERT_TRUE(f.open(QIODevice::ReadWrite));
  f.seek(16);
  f.write(QByteArray(bytes.size() - 16, '\xff'));
  f.close();
  movie.SeekFrame(1);
  ASSERT_TRUE(movie.ReadFrame(b, 24));
  EXPECT_EQ(FrameNumber(b), 1);
  // A real restart reads the spoiled data.
  movie.SeekFrame(0);
  EXPECT_FALSE(movie.ReadFrame(b, 24));
}

TEST(Bpk, DamagedMoviesFailWithoutCrashing) {
  const QByteArray whole = Frames(3).Build();
  TBPKMovie movie(false);
  platform::Bitmap b;

  // A negative count is no frames.
  BpkWriter negative = Frames(1);
  negative.FrameCountOverride = int32_t(0x80000000);
  ASSERT_TRUE(movie.OpenBytes(negative.Build()));
  EXPECT_EQ(movie.Header.FrameCount, 0);
  EXPECT_FALSE(movie.ReadFrame(b, 24));

  // A truncated stream: the frames it still holds come whole, then ReadFrame is false.
  ASSERT_TRUE(movie.OpenBytes(whole.left(whole.size() - 30)));
  int read = 0;
  while (movie.ReadFrame(b, 24)) ++read;
  EXPECT_LT(read, 3);

  // Corrupt compressed data.
  QByteArray corrupt = whole;
  for (qsizetype i = 8 + 24 + 2; i < corrupt.size(); ++i) corrupt[i] = char(0x5a);
  ASSERT_TRUE(movie.OpenBytes(corrupt));
  EXPECT_FALSE(movie.ReadFrame(b, 24));
  movie.SeekFrame(2);
  EXPECT_FALSE(movie.ReadFrame(b, 24));

  // A table claiming more frames and bytes than the file could hold allocates none of them.
  BpkWriter huge = Frames(1);
  huge.FrameCountOverride = 0x7FFFFFFF;
  huge.TableOverride = {{0x7FFFFFF0, 0}, {-5, 1}};
  const QByteArray hugeBytes = huge.Build();
  ASSERT_TRUE(movie.OpenBytes(hugeBytes));
  EXPECT_LE(movie.Header.Frames.Count(), hugeBytes.size() / 8);
  EXPECT_EQ(movie.Header.FrameCount, movie.Header.Frames.Count());
  EXPECT_EQ(movie.FrameValue(1, 0), -5);
  EXPECT_FALSE(movie.ReadFrame(b, 24));
  movie.SeekFrame(2);
  EXPECT_FALSE(movie.ReadFrame(b, 24));

  // A frame whose bytes are not a bitmap still advances.
  BpkWriter junk;
  junk.AddFrame(QByteArray(64, 'j'), 10);
  junk.AddFrame(SolidBmp(2, 2, qRgb(9, 9, 9)), 10);
  ASSERT_TRUE(movie.OpenBytes(junk.Build()));
  EXPECT_FALSE(movie.ReadFrame(b, 24));
  EXPECT_EQ(movie.CurrentFrame, 1);
  EXPECT_TRUE(movie.ReadFrame(b, 24));
}

TEST(Bpk, IndexedFramesKeepTheirPaletteAt256Colours) {
  BpkWriter w;
  w.AddFrame(SolidBmp(5, 5, qRgb(200, 10, 10), true), 0);
  TBPKMovie movie(false);
  ASSERT_TRUE(movie.OpenBytes(w.Build()));
  platform::Bitmap b;
  ASSERT_TRUE(movie.ReadFrame(b, 8));
  EXPECT_TRUE(b.HasPalette());
  EXPECT_EQ(b.Pixel(4, 4), qRgb(200, 10, 10));
}
