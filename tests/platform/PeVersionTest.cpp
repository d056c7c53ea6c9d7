// The version resource of Windows programs: read from 32- and 64-bit images, absent from
// images without one, and never read past the file however its fields lie.

#include <gtest/gtest.h>

#include "platform/PeVersion.h"
#include "support/StandIns.h"

using platform::ReadPeVersion;
using testsupport::MakePeImage;

namespace {

void Put32(QByteArray& b, int at, uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = char((v >> (8 * i)) & 0xFF);
}

TEST(PeVersion, ReadsTheFixedFileVersion) {
  const auto v32 = ReadPeVersion(MakePeImage(0x00030001));
  ASSERT_TRUE(v32);
  EXPECT_EQ(v32->FileVersionMS, 0x00030001u);
  EXPECT_EQ(v32->FileVersionLS, 7u);
  const auto v64 = ReadPeVersion(MakePeImage(0x00020000, true, true));
  ASSERT_TRUE(v64);
  EXPECT_EQ(v64->FileVersionMS, 0x00020000u);
}

TEST(PeVersion, ImagesWithoutAVersionHaveNone) {
  EXPECT_FALSE(ReadPeVersion(MakePeImage(0x30000, false)));
  EXPECT_FALSE(ReadPeVersion(QByteArray("#!/bin/sh\n")));
  EXPECT_FALSE(ReadPeVersion(QByteArray()));
  EXPECT_FALSE(ReadPeVersion(QByteArray("MZ")));
}

TEST(PeVersion, EveryTruncationIsRefused) {
  const QByteArray image = MakePeImage(0x30000);
  // The fixed information ends at 0x200 + 0x58 + 92; any shorter file cannot hold it.
  for (int size = 0; size < 0x200 + 0x58 + 92; ++size)
    EXPECT_FALSE(ReadPeVersion(image.left(size))) << size;
  EXPECT_TRUE(ReadPeVersion(image.left(0x200 + 0x58 + 92)));
}

TEST(PeVersion, FieldsPointingAnywhereAreRefused) {
  struct Damage {
    int at;
    uint32_t value;
  };
  const Damage damages[] = {
      {0x3C, 0xFFFFFFF0},                     // the PE header beyond the file
      {0x40 + 6, 0xFFFF},                     // sections by the thousand
      {0x40 + 24 + 96 + 16, 0x7FFFFFFF},      // resources at an address no section holds
      {0x138 + 20, 0xFFFFFF00},               // section data beyond the file
      {0x138 + 8, 0x10},                      // a section smaller than its resources
      {0x200 + 16, 99},                       // no version type among the entries
      {0x200 + 20, 0x80000000u | 0x200},      // a subdirectory beyond the section
      {0x200 + 0x48, 0xFFFFFFF0},             // the version data at a wild address
      {0x200 + 0x48 + 4, 0xFFFFFFFF},         // the version data of 4 GB
      {0x200 + 0x58, 0x0000FFFF},             // value length 0
      {0x200 + 0x58 + 40, 0x12345678},        // the fixed information's signature
  };
  for (const Damage& d : damages) {
    QByteArray image = MakePeImage(0x30000);
    Put32(image, d.at, d.value);
    EXPECT_FALSE(ReadPeVersion(image)) << std::hex << d.at;
  }
  // Counts and sizes larger than the file are bounded by it: the version is still found.
  QByteArray wide = MakePeImage(0x30000);
  Put32(wide, 0x200 + 12, 0xFFFFFFFF);  // 131070 directory entries claimed
  Put32(wide, 0x138 + 16, 0xFFFFFFFF);  // a section of 4 GB claimed
  EXPECT_TRUE(ReadPeVersion(wide));
  Put32(wide, 0x200 + 16, 99);  // ... and the scan of the entries meets the end of the file
  EXPECT_FALSE(ReadPeVersion(wide));
}

}  // namespace
