#include <gtest/gtest.h>

#include <QStringList>

#include "navigator/Layout.h"
#include "navigator/SkinNames.h"

namespace {

LayoutInput Input(int w, int h) {
  LayoutInput in;
  in.ClientWidth = w;
  in.ClientHeight = h;
  in.LayoutScale = LayoutScaleFor(w);
  in.RowTextHeight = 23;
  in.LineTextHeight = 16;
  in.DigitsWidth = 22;
  in.PosBarWidth = 17;
  in.VolDoHeight = 24;
  return in;
}

TEST(Layout, DesignSizeCoversTheClientAndLargerScreensCentreIt) {
  const Layout at800 = ComputeLayout(Input(800, 600));
  EXPECT_EQ(at800.PbMain, (LayoutRect{0, 0, 800, 600}));
  const Layout at1024 = ComputeLayout(Input(1024, 768));
  EXPECT_EQ(at1024.PbMain, (LayoutRect{112, 84, 912, 684}));
  EXPECT_EQ(at1024.ButtonPos("gtbClose").X, 112 + 731);
  EXPECT_EQ(at1024.ListRegion.Left, 112 + 240);
  // Odd margins round toward zero.
  EXPECT_EQ(ComputeLayout(Input(1023, 767)).PbMain.Left, 111);
  // A client taller than the design at the design width still covers it whole.
  EXPECT_EQ(ComputeLayout(Input(800, 700)).PbMain, (LayoutRect{0, 0, 800, 700}));
}

TEST(Layout, SmallScreenScalesEveryDesignValueHalvesToEven) {
  const Layout l = ComputeLayout(Input(640, 480));
  EXPECT_DOUBLE_EQ(l.LayoutScale, 0.8);
  EXPECT_EQ(l.PbMain, (LayoutRect{0, 0, 640, 480}));
  EXPECT_EQ(l.ButtonPos("gtbClose").X, 585);  // 584.8
  EXPECT_EQ(l.ButtonPos("gtbClose").Y, 8);
  EXPECT_EQ(l.ListRegion.Left, 192);
  EXPECT_EQ(l.ListRegion.Top, 143);  // 143.2
  EXPECT_EQ(l.Margin, 3);            // 3.2
  EXPECT_EQ(int(ButtonTable().size()), 22);
  // At 700 pixels (0.875) ties appear: 12 -> 10.5 -> 10, 4 -> 3.5 -> 4.
  const Layout at700 = ComputeLayout(Input(700, 525));
  EXPECT_EQ(at700.ButtonPos("gtbApps").Y, 10);
  EXPECT_EQ(at700.Margin, 4);
}

TEST(Layout, RowsAndLinesFitTheirRegions) {
  const Layout l = ComputeLayout(Input(800, 600));
  EXPECT_EQ(l.ListRowHeight, 30);  // round(1.3 x 23) = round(29.9)
  EXPECT_EQ(l.ListRows, 9);
  EXPECT_EQ(l.ListRegion.Bottom, 179 + 9 * 30);
  EXPECT_EQ(l.ListRegion.Right, 240 + 383 - 4 - 17);
  EXPECT_EQ(l.TextLines, 11);  // 180 div 16
  EXPECT_EQ(l.TextRegion, (LayoutRect{1, 408, 1 + 400 - 4 - 17, 408 + 11 * 16}));
  // The volume digits: right edge 3 margins left of gtbVolUp, centred on the two buttons.
  EXPECT_EQ(l.VolumeRegion.Right, 761 - 12);
  EXPECT_EQ(l.VolumeRegion.Width(), 22);
  EXPECT_EQ(l.VolumeRegion.Top, 396 + (424 + 24 - 396 - 23) / 2);

  LayoutInput none = Input(800, 600);
  none.RowTextHeight = 0;  // no font at all: one-pixel rows rather than a division by zero
  none.LineTextHeight = 0;
  const Layout z = ComputeLayout(none);
  EXPECT_EQ(z.ListRowHeight, 1);
  EXPECT_EQ(z.TextLineHeight, 1);
  EXPECT_EQ(z.ListRows, 270);
}

TEST(SkinNames, TagBitsChooseThePictures) {
  auto names = [](SkinClass kind, const char* name, int tag) {
    QStringList out;
    for (const SkinPicture& p : SkinPictures(kind, name, tag)) out << p.BitmapName;
    return out;
  };
  EXPECT_EQ(names(SkinClass::GraphicButton, "gtbClose", 2),
            (QStringList{"gtbCloseu", "gtbClosed", "gtbClosem", "gtbClosee"}));
  EXPECT_EQ(names(SkinClass::GraphicButton, "gtbMusic", 18),
            (QStringList{"gtbMusicu", "gtbMusicd", "gtbMusicm", "gtbMusice", "gtbMusicu2"}));
  EXPECT_EQ(names(SkinClass::GraphicButton, "b", 2 | 8 | 16), (QStringList{"bu", "bd", "bu2"}));
  EXPECT_EQ(names(SkinClass::PosBar, "PosBar", 2),
            (QStringList{"PosBarUpUp", "PosBarUpDo", "PosBarDoUp", "PosBarDoDo", "PosBarSl"}));
  EXPECT_EQ(names(SkinClass::HorzSliderBar, "S", 2),
            (QStringList{"SUpUp", "SDoUp", "SDoDo", "SSl"}));
  EXPECT_EQ(names(SkinClass::TransButton, "t", 2).size(), 5);
}

}  // namespace
