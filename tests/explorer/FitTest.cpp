// The fit rule and the choice of media kind by extension.

#include <gtest/gtest.h>

#include "explorer/Fit.h"

TEST(Fit, SmallPicturesAreCentredUnscaled) {
  EXPECT_EQ(FitPicture({400, 300}, {100, 50}), QRect(QPoint(150, 125), QPoint(249, 174)));
  EXPECT_EQ(FitPicture({401, 301}, {100, 50}), QRect(150, 125, 100, 50));  // halves round down
}

TEST(Fit, LargePicturesKeepTheirProportions) {
  EXPECT_EQ(FitPicture({400, 300}, {800, 600}), QRect(0, 0, 400, 300));
  EXPECT_EQ(FitPicture({400, 300}, {600, 800}), QRect(87, 0, 225, 300));
  EXPECT_EQ(FitPicture({400, 300}, {4000, 1000}), QRect(0, 100, 400, 100));
  // A picture as wide as the box but lower is still fitted (to the box's width).
  EXPECT_EQ(FitPicture({400, 300}, {400, 100}), QRect(0, 100, 400, 100));
  // A box higher than wide.
  EXPECT_EQ(FitPicture({300, 400}, {600, 800}), QRect(0, 0, 300, 400));
  EXPECT_EQ(FitPicture({300, 400}, {1000, 500}), QRect(0, 125, 300, 150));
  EXPECT_EQ(FitPicture({300, 400}, {500, 1000}), QRect(50, 0, 200, 400));
  // A tie rounds to even: 301 * 201 / 402 = 150.5 gives 150.
  EXPECT_EQ(FitPicture({200, 301}, {201, 402}), QRect(25, 0, 150, 301));
  EXPECT_EQ(FitPicture({100, 100}, {200, 100}), QRect(0, 25, 100, 50));
  EXPECT_EQ(FitPicture({100, 100}, {0, 100}), QRect(0, 0, 0, 0));
}

TEST(Fit, KindsComeFromTheLowerCasedExtension) {
  EXPECT_EQ(MediaKindOfPath("d:\\midia\\FOTO2.JPG"), MediaKindOf::Jpeg);
  EXPECT_EQ(MediaKindOfPath("d:\\midia\\foto.jpeg"), MediaKindOf::None);
  EXPECT_EQ(MediaKindOfPath("d:\\a.b\\semext"), MediaKindOf::None);
  EXPECT_EQ(MediaKindOfPath("d:\\x\\S.WaV"), MediaKindOf::Wave);
  EXPECT_EQ(MediaKindOfPath("d:\\x\\p.wmf"), MediaKindOf::Metafile);
  EXPECT_EQ(MediaKindOfPath("d:\\x\\p.BMP"), MediaKindOf::Bitmap);
  EXPECT_EQ(MediaKindOfPath("d:\\x\\v.avi"), MediaKindOf::Video);
  EXPECT_EQ(MediaKindOfPath("d:\\x\\v.avi.txt"), MediaKindOf::None);
}
