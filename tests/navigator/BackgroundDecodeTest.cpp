// The design background decoded on a worker thread while the window loads.

#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QImage>
#include <memory>

#include "formats/BPK.h"
#include "navigator/BackgroundDecode.h"
#include "platform/Drives.h"
#include "support/TestSupport.h"

namespace {

class BackgroundDecodeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const QString disc = testsupport::SampleDisc();
    if (!QFileInfo(disc + "/QUARX/Resour").isDir()) GTEST_SKIP() << "no sample disc";
    platform::Drives() = platform::DriveMap::Default(disc);
  }
  const QString trueColour_ = "D:\\QUARX\\Resour\\G8\\AnyPal\\gbttin.bpk";
  const QString palette_ = "D:\\QUARX\\Resour\\G8\\WinPal\\gbttin.bpk";
};

TEST_F(BackgroundDecodeTest, PrefetchedFrameIsTheLastOneAndOnlyServesTheSameFileAndDepth) {
  const DecodedBackground direct = DecodeLastFrame(trueColour_, 32);
  ASSERT_TRUE(direct.Usable);
  EXPECT_EQ(direct.Frame.Width(), 800);

  BackgroundPrefetch prefetch;
  prefetch.Start(trueColour_, 32);
  EXPECT_TRUE(prefetch.Pending());
  const DecodedBackground taken = prefetch.Take(trueColour_, 32);
  EXPECT_FALSE(prefetch.Pending());
  ASSERT_TRUE(taken.Usable);
  EXPECT_EQ(taken.Frame.ToRgb32(), direct.Frame.ToRgb32());

  // A display change between start and take: the prefetched picture is for the old display.
  prefetch.Start(palette_, 8);
  const DecodedBackground other = prefetch.Take(trueColour_, 32);
  ASSERT_TRUE(other.Usable);
  EXPECT_EQ(other.Frame.ToRgb32(), direct.Frame.ToRgb32());
  // Nothing prefetched: decoded on the spot.
  EXPECT_EQ(prefetch.Take(palette_, 8).Frame.Width(), 800);
}

TEST_F(BackgroundDecodeTest, OpenErrorsComeBackToTheTakerAndDamageIsUnusable) {
  BackgroundPrefetch prefetch;
  prefetch.Start("D:\\QUARX\\Resour\\G8\\AnyPal\\nothere.bpk", 32);
  const DecodedBackground missing = prefetch.Take("D:\\QUARX\\Resour\\G8\\AnyPal\\nothere.bpk", 32);
  EXPECT_FALSE(missing.Usable);
  ASSERT_TRUE(missing.Error);
  EXPECT_ANY_THROW(std::rethrow_exception(missing.Error));

  // Not an animation at all: no error to raise, just nothing usable.
  const DecodedBackground notBpk =
      DecodeLastFrame("D:\\QUARX\\Resour\\G8\\AnyPal\\controls.bmr", 32);
  EXPECT_FALSE(notBpk.Usable);
  EXPECT_FALSE(notBpk.Error);
  EXPECT_TRUE(notBpk.Frame.IsEmpty());

  // A prefetch still running when its owner goes is waited for, not left to a dead owner.
  auto owner = std::make_unique<BackgroundPrefetch>();
  owner->Start(trueColour_, 32);
  owner.reset();
}

TEST_F(BackgroundDecodeTest, DamagedClosingChecksumKeepsTheLastFrame) {
  // A damaged closing checksum does not cost the last frame, which ends before it; a reader
  // that checks it loses that frame.
  const DecodedBackground direct = DecodeLastFrame(trueColour_, 32);
  ASSERT_TRUE(direct.Usable);
  QFile good(testsupport::SampleDisc() + "/QUARX/Resour/G8/AnyPal/gbttin.bpk");
  ASSERT_TRUE(good.open(QIODevice::ReadOnly));
  QByteArray damaged = good.readAll();
  damaged[damaged.size() - 2] = char(damaged[damaged.size() - 2] ^ 0x33);
  QTemporaryDir dir;
  ASSERT_TRUE(testsupport::WriteFile(dir.filePath("bad.bpk"), damaged));
  platform::Drives() = platform::DriveMap::Default(dir.path());
  const DecodedBackground kept = DecodeLastFrame("D:\\bad.bpk", 32);
  ASSERT_TRUE(kept.Usable);
  EXPECT_EQ(kept.Frame.ToRgb32(), direct.Frame.ToRgb32());
  TBPKMovie checking(/*directFromFile=*/false);
  ASSERT_TRUE(checking.OpenBytes(damaged));
  checking.SeekFrame(checking.Header.FrameCount - 1);
  platform::Bitmap frame;
  EXPECT_FALSE(checking.ReadFrame(frame, 32));
}

TEST_F(BackgroundDecodeTest, PrefetchedCatalogueOnlyFillsAnEmptyOneForTheSameDepth) {
  const QString share = "D:\\SHAREDIR\\";
  DemoCatalogue direct;
  const int demos = LoadCatalogue(direct, share, 32);
  ASSERT_GT(demos, 0);
  auto titles = [](const DemoCatalogue& c) {
    QStringList all;
    for (int k = 0; k < kCategoryCount; ++k)
      for (int i = 1; i <= c.Counts[k]; ++i) all << c.Entry(k, i).Title;
    return all;
  };

  CataloguePrefetch prefetch;
  prefetch.Start(share, 32);
  DemoCatalogue taken;
  EXPECT_EQ(prefetch.LoadInto(taken, share, 32), demos);
  EXPECT_EQ(taken.Counts, direct.Counts);
  EXPECT_EQ(titles(taken), titles(direct));
  EXPECT_EQ(taken.Images, direct.Images);

  // A catalogue holding demos already is appended to, never replaced.
  prefetch.Start(share, 32);
  DemoCatalogue full = direct;
  prefetch.LoadInto(full, share, 32);
  for (int k = 0; k < kCategoryCount; ++k)
    EXPECT_EQ(full.Counts[k], std::min(2 * direct.Counts[k], kMaxDemosPerCategory));

  // Read for another depth: the other picture set is read on the spot.
  prefetch.Start(share, 8);
  DemoCatalogue taken32, paletted;
  prefetch.LoadInto(taken32, share, 32);
  LoadCatalogue(paletted, share, 8);
  ASSERT_NE(paletted.Images, direct.Images);
  EXPECT_EQ(taken32.Images, direct.Images);
}

}  // namespace
