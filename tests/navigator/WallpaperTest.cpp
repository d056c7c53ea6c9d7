// The wallpaper: the file's name, size and pixels, the save dialog's repetitions, and the
// desktop told on Yes.

#include <QImage>

#include "DemoActionsFixture.h"
#include "navigator/Wallpaper.h"
#include "platform/Bitmap.h"

using platform::MsgResult;

namespace {

platform::Bitmap Picture(int width, int height, bool indexed) {
  QImage image(width, height, indexed ? QImage::Format_Indexed8 : QImage::Format_RGB32);
  if (indexed) {
    image.setColorTable({qRgb(0, 0, 0), qRgb(200, 10, 10), qRgb(10, 200, 10)});
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x) image.setPixel(x, y, x < width / 2 ? 1 : 2);
  } else {
    image.fill(qRgb(10, 20, 30));
    for (int y = 0; y < height; ++y) image.setPixel(width - 1, y, qRgb(250, 250, 0));
  }
  return platform::Bitmap(image);
}

TEST(WallpaperRules, NamesGetABitmapExtension) {
  EXPECT_EQ(ForceBmpExtension("papel"), "papel.bmp");
  EXPECT_EQ(ForceBmpExtension("papel.jpg"), "papel.bmp");
  EXPECT_EQ(ForceBmpExtension("papel.jpeg"), "papel.jpeg.bmp");
  EXPECT_EQ(ForceBmpExtension("papel.BMP"), "papel.bmp");
  EXPECT_EQ(ForceBmpExtension(".bmp"), ".bmp");
  EXPECT_EQ(ForceBmpExtension("a.b"), "a.b.bmp");
  EXPECT_EQ(WallpaperDefaultName("Asteroid.dem", 3), "Dalventora Asteroi3.bmp");
  EXPECT_EQ(WallpaperDefaultName("X.DEM", 10), "Dalventora 10.bmp");
}

TEST(WallpaperRules, SizeAndPixels) {
  EXPECT_EQ(WallpaperSize({640, 480}, {800, 600}), QSize(640, 480));
  EXPECT_EQ(WallpaperSize({1024, 768}, {800, 600}), QSize(800, 600));
  EXPECT_EQ(WallpaperSize({1000, 600}, {800, 600}), QSize(800, 600));  // aspect not kept

  const platform::Bitmap indexed = MakeWallpaper(Picture(4, 2, true), {8, 4}, 8);
  ASSERT_TRUE(indexed.HasPalette());
  EXPECT_EQ(indexed.Palette().mid(0, 3), Picture(4, 2, true).Palette());
  EXPECT_EQ(indexed.Pixel(3, 3), qRgb(200, 10, 10));
  EXPECT_EQ(indexed.Pixel(4, 0), qRgb(10, 200, 10));
  const auto back = platform::Bitmap::FromBmp(WallpaperFileBytes(indexed), 8);
  ASSERT_TRUE(back);
  EXPECT_TRUE(back->HasPalette());
  EXPECT_EQ(back->Pixel(7, 3), qRgb(10, 200, 10));

  const platform::Bitmap rgb = MakeWallpaper(Picture(4, 2, true), {8, 4}, 24);
  EXPECT_FALSE(rgb.HasPalette());
  const auto file = WallpaperFileBytes(rgb);
  EXPECT_EQ(file.mid(28, 2), QByteArray("\x18\x00", 2));  // 24 bits per pixel
}

class WallpaperTest : public DemoActionsTest {
 protected:
  void SetUp() override {
    DemoActionsTest::SetUp();
    folder_ = tmp_.filePath("pictures");
    ASSERT_TRUE(QDir().mkpath(folder_));
    AddEntry(2, 4).DemFile = "Ilha.dem";
    window_.Mode = 7;
    window_.Described = 4;
    window_.Image = 2;
    window_.Shot = Picture(640, 480, false);
    Env().ScreenWidth = 800;
    Env().ScreenHeight = 600;
    Env().ColourDepth = 32;
  }
  QString folder_;
};

TEST_F(WallpaperTest, SavesTheShownScreenshotAndSetsTheDesktopOnYes) {
  tools_.Add("gsettings");
  qputenv("XDG_CURRENT_DESKTOP", "GNOME");
  dialogs_->QueueFileAnswer(folder_ + "/papel.jpg");
  dialogs_->QueueMessageAnswer(MsgResult::Yes);
  actions_.gtbPapelClick();
  const auto& save = dialogs_->Records().at(0);
  EXPECT_EQ(save.file.title, "Altere o nome do papel se desejado");
  EXPECT_EQ(save.file.fileName, "Dalventora Ilh2.bmp");
  EXPECT_EQ(save.file.filters, (QStringList{"Bitmap (*.bmp)", "Todos os arquivos (*.*)"}));
  EXPECT_EQ(window_.Events, (QStringList{"effect 0/1"}));
  EXPECT_EQ(MessageCodes(), (std::vector<int>{2}));
  QImage saved(folder_ + "/papel.bmp");
  EXPECT_EQ(saved.size(), QSize(640, 480));
  EXPECT_EQ(saved.pixel(639, 0), qRgb(250, 250, 0));
  const auto set = tools_.CallsOf("gsettings");
  ASSERT_EQ(set.size(), 2);
  EXPECT_EQ(set[0].at(4), "'file://" + QFileInfo(folder_).absoluteFilePath() + "/papel.bmp'");
  // Nothing but the file is left in the folder.
  EXPECT_EQ(QDir(folder_).entryList(QDir::Files), QStringList{"papel.bmp"});
}

TEST_F(WallpaperTest, NoToOverwritingAsksAgainWithTheNameKept) {
  ASSERT_TRUE(testsupport::WriteFile(folder_ + "/PAPEL.BMP", "old"));
  dialogs_->QueueFileAnswer(folder_ + "/papel");
  dialogs_->QueueMessageAnswer(MsgResult::No);
  dialogs_->QueueFileAnswer(folder_ + "/" + QString(256, 'n'));
  dialogs_->QueueFileAnswer(std::nullopt);
  window_.Mode = 10;  // the viewer entered from the page
  window_.Return = 7;
  actions_.gtbPapelClick();
  EXPECT_EQ(MessageCodes(), (std::vector<int>{16, 17}));
  // Messages() returns a copy: the box is kept by value, not as a reference into it.
  const platform::MessageBoxRequest box = dialogs_->Messages().at(0);
  EXPECT_EQ(box.argument, folder_ + "/papel.bmp");
  EXPECT_EQ(box.defaultButton, MsgResult::No);
  const auto& again = dialogs_->Records().at(2);
  EXPECT_EQ(again.file.fileName, "papel.bmp");
  EXPECT_EQ(again.file.folder, folder_);
  EXPECT_EQ(testsupport::ReadFile(folder_ + "/PAPEL.BMP"), "old");
}

TEST_F(WallpaperTest, YesOverwritesATallerShotIsStretchedAndNoLeavesTheDesktop) {
  ASSERT_TRUE(testsupport::WriteFile(folder_ + "/papel.bmp", "old"));
  window_.Shot = Picture(1024, 768, false);
  tools_.Add("gsettings");
  dialogs_->QueueFileAnswer(folder_ + "/papel.bmp");
  dialogs_->QueueMessageAnswer(MsgResult::Yes);
  dialogs_->QueueMessageAnswer(MsgResult::No);
  actions_.gtbPapelClick();
  EXPECT_EQ(QImage(folder_ + "/papel.bmp").size(), QSize(800, 600));
  EXPECT_TRUE(tools_.CallsOf("gsettings").isEmpty());
}

TEST_F(WallpaperTest, OutsideAPageOrItsViewerNothingHappens) {
  for (const auto& [mode, ret] : {std::pair{2, 0}, {10, 3}, {11, 7}}) {
    window_.Mode = mode;
    window_.Return = ret;
    actions_.gtbPapelClick();
  }
  EXPECT_TRUE(dialogs_->Records().empty());
  EXPECT_TRUE(window_.Events.isEmpty());
}

TEST_F(WallpaperTest, AFileThatCannotBeWrittenIsReportedAndNothingOffered) {
  dialogs_->QueueFileAnswer(tmp_.filePath("no/such/folder/papel.bmp"));
  actions_.gtbPapelClick();
  ASSERT_EQ(dialogs_->Messages().size(), 1u);
  EXPECT_EQ(dialogs_->Messages().at(0).code, -1);
  EXPECT_TRUE(dialogs_->Messages().at(0).text.startsWith("Não foi possível gravar"));
}

TEST_F(WallpaperTest, ADesktopThatDoesNotAnswerGetsAClearMessage) {
  dialogs_->QueueFileAnswer(folder_ + "/papel");
  dialogs_->QueueMessageAnswer(MsgResult::Yes);
  actions_.gtbPapelClick();
  ASSERT_EQ(dialogs_->Messages().size(), 2u);
  EXPECT_TRUE(dialogs_->Messages().at(1).text.contains(folder_ + "/papel.bmp"));
  EXPECT_TRUE(QFileInfo::exists(folder_ + "/papel.bmp"));
}

}  // namespace
