// The four skin folders and the explorer's container read back with the programs' readers:
// every name the skin loading forms is there, the pictures fit the layout, the animations and
// advertisements play to their last frame.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <cmath>

#include "MkdiscSupport.h"
#include "formats/BMR.h"
#include "formats/BPK.h"

namespace {

struct SkinSet {
  const char* Folder;
  double Scale;
  bool EightBit;
};
const SkinSet kSets[] = {{"G6/AnyPal", 0.8, false},
                         {"G6/WinPal", 0.8, true},
                         {"G8/AnyPal", 1.0, false},
                         {"G8/WinPal", 1.0, true}};

QString SkinFolder(const SkinSet& s) {
  return mkdisctest::Disc() + "/QUARX/Resour/" + QString::fromLatin1(s.Folder);
}

QByteArray FileBytes(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

int Scaled(double v, double scale) {
  return int(std::nearbyint(v * scale));
}

// The names the skin loading forms from the window's controls and their tags.
QStringList NamesTheSkinLoadingForms() {
  QStringList names;
  for (const char* b :
       {"gtbPrevious", "gtbNext", "gtbPapel", "gtbFull", "gtbMin", "gtbClose", "gtbMaga", "gtbInst",
        "gtbBack", "gtbOpts", "gtbVolUp", "gtbVolDo", "gtbHowTo", "gtbdx"})
    for (const char* s : {"u", "d", "m", "e"}) names << QString(b) + s;
  for (const char* b : {"gtbAlign", "gtbMaster", "gtbMusic", "gtbjogos", "gtbApps", "gtbInter",
                        "gtbSavers", "gtbUtils"})
    for (const char* s : {"u", "d", "m", "e", "u2"}) names << QString(b) + s;
  for (const char* s : {"UpUp", "UpDo", "DoUp", "DoDo", "Sl"}) names << QString("PosBar") + s;
  names << "GreenGrad"
        << "Indicator"
        << "advMask"
        << "gameMask";
  return names;
}

BmrDirectory Directory(const QString& path, int maxEntries) {
  QFile file(path);
  BmrDirectory dir;
  EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
  EXPECT_EQ(ParseBmrDirectory(file, file.size(), maxEntries, dir), BmrDirectoryResult::Ok)
      << path.toStdString();
  return dir;
}

std::optional<platform::Bitmap> Picture(const QString& container, const BmrDirectory& dir,
                                        const QString& name, int depth) {
  QFile file(container);
  const int i = dir.Find(name);
  if (i < 0 || !file.open(QIODevice::ReadOnly) || !file.seek(dir.Entries[size_t(i)].Offset))
    return std::nullopt;
  return platform::Bitmap::FromBmp(file.read(dir.Entries[size_t(i)].Size), depth);
}

TEST(MkdiscSkin, EveryContainerHoldsEveryNameTheSkinLoadingForms) {
  for (const SkinSet& set : kSets) {
    const QString container = SkinFolder(set) + "/controls.bmr";
    const BmrDirectory dir = Directory(container, BmrArchive::kMaxEntries);
    for (const QString& name : NamesTheSkinLoadingForms()) {
      EXPECT_GE(dir.Find(name), 0) << set.Folder << ": " << name.toStdString();
      // The lookup ignores case, as the loading may ask in other capitals.
      EXPECT_GE(dir.Find(name.toUpper()), 0) << name.toStdString();
    }
    // The first button picture has the size the layout was drawn for.
    const auto up = Picture(container, dir, "GTBCLOSEU", 24);
    ASSERT_TRUE(up.has_value());
    EXPECT_EQ(up->Width(), Scaled(56, set.Scale));
  }
}

TEST(MkdiscSkin, PicturesFitTheLayoutAndKeepTheirTransparencyRules) {
  for (const SkinSet& set : kSets) {
    const QString container = SkinFolder(set) + "/controls.bmr";
    const BmrDirectory dir = Directory(container, BmrArchive::kMaxEntries);
    QVector<QRgb> firstPalette;
    for (const QString& name : dir.Names) {
      const auto pic = Picture(container, dir, name, 8);
      ASSERT_TRUE(pic.has_value()) << name.toStdString();
      // 8-bit sets share one palette, so the navigator can realise a single one.
      EXPECT_EQ(pic->HasPalette(), set.EightBit) << name.toStdString();
      if (set.EightBit) {
        if (firstPalette.isEmpty()) firstPalette = pic->Palette();
        EXPECT_EQ(pic->Palette(), firstPalette) << name.toStdString();
      }
    }
    // A button's states share one size, and its corners show the background: the bottom-left
    // pixel's colour (the transparent one) is also found in the other corners.
    for (const char* button : {"gtbClose", "gtbjogos", "gtbVolUp", "gtbInst"}) {
      const auto up = Picture(container, dir, QString(button) + "u", 24);
      ASSERT_TRUE(up.has_value());
      const QRgb key = up->Pixel(0, up->Height() - 1);
      EXPECT_EQ(up->Pixel(0, 0), key) << button;
      EXPECT_EQ(up->Pixel(up->Width() - 1, 0), key) << button;
      EXPECT_NE(up->Pixel(up->Width() / 2, up->Height() / 2), key) << button;
      for (const char* state : {"d", "m", "e"}) {
        const auto other = Picture(container, dir, QString(button) + state, 24);
        ASSERT_TRUE(other.has_value());
        EXPECT_EQ(other->Width(), up->Width());
        EXPECT_EQ(other->Height(), up->Height());
        EXPECT_EQ(other->Pixel(0, other->Height() - 1), key);
      }
    }
    // Masks: black and white only, at the size of the regions they shape.
    struct Mask {
      const char* Name;
      int W, H;
    };
    for (const Mask& m : {Mask{"advMask", 384, 80}, Mask{"gameMask", 348, 261}}) {
      const auto mask = Picture(container, dir, m.Name, 24);
      ASSERT_TRUE(mask.has_value());
      EXPECT_EQ(mask->Width(), Scaled(m.W, set.Scale));
      EXPECT_EQ(mask->Height(), Scaled(m.H, set.Scale));
      const QImage img = mask->ToRgb32();
      for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
          const QRgb c = img.pixel(x, y) & 0xffffff;
          ASSERT_TRUE(c == 0 || c == 0xffffff) << m.Name;
        }
      EXPECT_EQ(img.pixel(0, 0) & 0xffffff, 0u);  // rounded corner
      EXPECT_EQ(img.pixel(img.width() / 2, img.height() / 2) & 0xffffff, 0xffffffu);
    }
    const auto indicator = Picture(container, dir, "Indicator", 24);
    ASSERT_TRUE(indicator.has_value());
    EXPECT_EQ(indicator->Width(), 2 * indicator->Height());
  }
}

TEST(MkdiscSkin, AnimationsPlayToTheirLastFrameAndEndOnTheModeBackgrounds) {
  for (const SkinSet& set : kSets) {
    const int depth = set.EightBit ? 8 : 24;
    QImage listBackground, pageBackground;
    for (const char* name : {"gbttin", "gbttout", "dettin", "dettout"}) {
      TBPKMovie movie(false);
      ASSERT_TRUE(movie.OpenBytes(FileBytes(SkinFolder(set) + "/" + name + ".bpk"))) << name;
      ASSERT_GT(movie.Header.FrameCount, 1);
      platform::Bitmap frame;
      int frames = 0;
      while (movie.ReadFrame(frame, depth)) {
        ++frames;
        EXPECT_GT(movie.FrameValue(movie.LastFrame, 1), 0);
      }
      EXPECT_EQ(frames, movie.Header.FrameCount) << name;
      EXPECT_EQ(frame.Width(), Scaled(800, set.Scale));
      EXPECT_EQ(frame.Height(), Scaled(600, set.Scale));
      if (QString(name) == "gbttin") listBackground = frame.ToRgb32();
      if (QString(name) == "dettin") pageBackground = frame.ToRgb32();
      // The last frame alone, as the layout reads the background.
      movie.SeekFrame(movie.Header.FrameCount - 1);
      EXPECT_TRUE(movie.ReadFrame(frame, depth));
    }
    // The list and the description page are different screens behind the same top band.
    EXPECT_NE(listBackground, pageBackground);
    EXPECT_EQ(listBackground.copy(0, 0, listBackground.width(), Scaled(100, set.Scale)),
              pageBackground.copy(0, 0, pageBackground.width(), Scaled(100, set.Scale)));
  }
}

TEST(MkdiscSkin, TwoAdvertisementsSortIntoTheTrailerOrder) {
  for (const SkinSet& set : kSets) {
    QStringList ads = QDir(SkinFolder(set) + "/Advs").entryList(QDir::Files);
    ASSERT_EQ(ads.size(), 2);
    std::sort(ads.begin(), ads.end(), [](const QString& a, const QString& b) {
      return a.compare(b, Qt::CaseInsensitive) < 0;
    });
    EXPECT_TRUE(ads[0].startsWith("army", Qt::CaseInsensitive));
    for (const QString& ad : ads) {
      TBPKMovie movie(true);
      ASSERT_TRUE(movie.OpenBytes(FileBytes(SkinFolder(set) + "/Advs/" + ad)));
      platform::Bitmap frame;
      int frames = 0;
      while (movie.ReadFrame(frame, set.EightBit ? 8 : 24)) ++frames;
      EXPECT_EQ(frames, movie.Header.FrameCount) << ad.toStdString();
      EXPECT_GT(frames, 4);
    }
  }
  // The trailers the panel starts are on the disc.
  EXPECT_FALSE(mkdisctest::OnDisc("D:\\demos\\trailers\\armymen.exe").isEmpty());
  EXPECT_FALSE(mkdisctest::OnDisc("D:\\demos\\trailers\\furydemo.exe").isEmpty());
}

TEST(MkdiscSkin, TheExplorerContainerHoldsItsPictures) {
  const QString container = mkdisctest::Disc() + "/QUARX/Resour/RARez.bmr";
  const BmrDirectory dir = Directory(container, BmrReader::kMaxEntries);
  QStringList wanted{"imMarket"};
  for (const char* b : {"btFull", "btPlay", "btStop", "btClose"})
    for (const char* s : {"u", "d", "e"}) wanted << QString(b) + s;
  for (const QString& name : wanted) {
    const auto pic = Picture(container, dir, name, 8);
    ASSERT_TRUE(pic.has_value()) << name.toStdString();
    EXPECT_GT(pic->Width(), 2);
  }
}

}  // namespace
