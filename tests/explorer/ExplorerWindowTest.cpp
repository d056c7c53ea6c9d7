// The explorer window on the sample disc's media, offscreen, with scripted dialogs and a
// virtual sound card: what each kind of file shows, what a damaged one leaves in place, the
// sound and video buttons, full view and the device retry.

#include <gtest/gtest.h>

#include <QFileInfo>
#include <QTemporaryDir>

#include "common/Environment.h"
#include "controls/TotalPaintBox.h"
#include "controls/Transbut.h"
#include "explorer/ExplorerWindowFixture.h"
#include "explorer/uRARez.h"
#include "platform/AudioSystem.h"
#include "platform/Dialogs.h"
#include "platform/Drives.h"
#include "platform/VirtualAudioOutput.h"
#include "support/TestSupport.h"

namespace {

class ExplorerWindowTest : public ExplorerWindowFixture {
 protected:
  // A path as the tree reports it: the disc's letter and the disc's own names.
  QString Disc(const QString& relative) const {
    return Env().ProgramDir.left(3) + relative;
  }
  std::vector<int> MessageCodes() {
    std::vector<int> codes;
    for (const auto& m : dialogs_->Messages()) codes.push_back(m.code);
    return codes;
  }
  bool WavePlaying() {
    TAudioData* wave = window_->SoundPlayer->FindWave(0);
    uint32_t status = 0;
    return wave && wave->Buffer() && wave->Buffer()->GetStatus(status) == platform::kDsOk &&
           (status & platform::kDsbStatusPlaying);
  }
  QRgb PictureAreaPixel(int x, int y) {
    return window_->pbMain->Canvas().Pixel(x, y);
  }
};

TEST_F(ExplorerWindowTest, OpensWithItsSkinAndNothingShown) {
  TfmRARez& w = *window_;
  EXPECT_EQ(w.windowTitle(), "Explorador MM - Quarx CD-ROM");
  EXPECT_EQ(w.MediaKind, MediaKindOf::None);
  EXPECT_FALSE(w.btFull->Enabled());
  EXPECT_FALSE(w.btPlay->Enabled());
  EXPECT_TRUE(w.btClose->Enabled());
  EXPECT_TRUE(MessageCodes().empty());
  ASSERT_FALSE(w.imMarket->Picture().IsEmpty());
  // The column on the right is the skin picture's width + 10; the picture area fills the rest.
  EXPECT_EQ(w.paMaster->width(), w.imMarket->width() + 10);
  EXPECT_EQ(w.pbMain->width() + w.paMaster->width(), 640);
  EXPECT_EQ(w.StatusBar->geometry().bottom(), 479);
  EXPECT_EQ(w.paTool->width(), 4 * w.btFull->width() + 12);
  EXPECT_EQ(w.btPlay->x(), w.btFull->width() + 4);
  EXPECT_EQ(w.FullTree->y(), w.imMarket->height() + 4);
}

TEST_F(ExplorerWindowTest, PicturesAreFittedAndShown) {
  TfmRARez& w = *window_;
  const QString jpeg = Disc("Midia\\Imagens\\FOTO2.JPG");  // capitals work like ".jpg"
  w.FullTreeSelectItem(w.FullTree, jpeg);
  ASSERT_EQ(w.MediaKind, MediaKindOf::Jpeg);
  EXPECT_EQ(w.ShownPath, jpeg);
  EXPECT_EQ(w.StatusText(), jpeg);
  EXPECT_TRUE(w.btFull->Enabled());
  EXPECT_FALSE(w.btPlay->Enabled());
  EXPECT_EQ(w.PictureRect, FitPicture(w.pbMain->size(), {640, 480}));

  const QString bmp = Disc("Midia\\Imagens\\paisagem8.bmp");
  w.FullTreeSelectItem(w.FullTree, bmp);
  ASSERT_EQ(w.MediaKind, MediaKindOf::Bitmap);
  const QRect r = w.PictureRect;
  EXPECT_EQ(PictureAreaPixel(r.left() - 1, r.top() + r.height() / 2) | 0xff000000, 0xffffffffu);

  // ".jpeg" and unknown extensions change nothing.
  w.FullTreeSelectItem(w.FullTree, Disc("Midia\\Imagens\\foto.jpeg"));
  w.FullTreeSelectItem(w.FullTree, Disc("Midia\\leiame.txt"));
  EXPECT_EQ(w.MediaKind, MediaKindOf::Bitmap);
  EXPECT_EQ(w.ShownPath, bmp);
  EXPECT_TRUE(MessageCodes().empty());
}

TEST_F(ExplorerWindowTest, MetafileIsDrawnWithItsFilledShapes) {
  TfmRARez& w = *window_;
  w.FullTreeSelectItem(w.FullTree, Disc("Midia\\Desenhos\\logotipo.wmf"));
  ASSERT_EQ(w.MediaKind, MediaKindOf::Metafile);
  const QRect r = w.PictureRect;
  ASSERT_EQ(r, FitPicture(w.pbMain->size(), {400, 300}));
  // The ellipse's left part (a quarter in from the left, half way down) is its yellow fill.
  EXPECT_EQ(PictureAreaPixel(r.left() + r.width() / 4, r.top() + r.height() / 2), 0xfffabe32u);
}

TEST_F(ExplorerWindowTest, DamagedFilesShowMessage4AndKeepThePreviousItem) {
  QTemporaryDir dir;
  const QByteArray jpeg = testsupport::ReadFile(disc_ + "/Midia/Imagens/foto.jpg");
  testsupport::WriteFile(dir.filePath("cut.jpg"), jpeg.left(90));
  testsupport::WriteFile(dir.filePath("bad.bmp"), "BM nothing");
  testsupport::WriteFile(dir.filePath("bad.wmf"), QByteArray(64, '\x01'));
  testsupport::WriteFile(dir.filePath("bad.avi"), "RIFF\x10\0\0\0AVI LIST");
  testsupport::WriteFile(dir.filePath("bad.wav"), "RIFF\x04\0\0\0WAVE");

  TfmRARez& w = *window_;
  const QString good = Disc("Midia\\Imagens\\foto.jpg");
  w.FullTreeSelectItem(w.FullTree, good);
  ASSERT_EQ(w.MediaKind, MediaKindOf::Jpeg);
  const QRect shown = w.PictureRect;
  for (const char* name : {"cut.jpg", "bad.bmp", "bad.wmf", "bad.avi", "missing.bmp"}) {
    dialogs_->Clear();
    const QString path = dir.filePath(name);
    w.FullTreeSelectItem(w.FullTree, path);
    ASSERT_EQ(MessageCodes(), std::vector<int>{4}) << name;
    EXPECT_EQ(dialogs_->Messages()[0].argument, path);
    EXPECT_EQ(w.MediaKind, MediaKindOf::Jpeg) << name;
    EXPECT_EQ(w.ShownPath, good) << name;
    EXPECT_EQ(w.PictureRect, shown) << name;
    EXPECT_TRUE(w.btFull->Enabled()) << name;
  }
  // A damaged wave: message 4, the buttons off, no path kept to play again.
  dialogs_->Clear();
  w.FullTreeSelectItem(w.FullTree, dir.filePath("bad.wav"));
  EXPECT_EQ(MessageCodes(), std::vector<int>{4});
  EXPECT_FALSE(w.btPlay->Enabled());
  EXPECT_TRUE(w.WavePath.isEmpty());
  EXPECT_TRUE(w.StatusText().isEmpty());
}

TEST_F(ExplorerWindowTest, ASecondWaveReplacesTheFirstOnChannel0) {
  TfmRARez& w = *window_;
  ASSERT_TRUE(w.SoundPlayer && w.SoundPlayer->Active());
  const QString first = Disc("Midia\\Sons\\acorde.wav");
  const QString second = Disc("QUARX\\Resour\\waves\\Theme2.wav");
  w.FullTreeSelectItem(w.FullTree, first);
  EXPECT_EQ(w.MediaKind, MediaKindOf::Wave);
  EXPECT_EQ(w.WavePath, first);
  EXPECT_EQ(w.StatusText(), first);
  EXPECT_TRUE(w.btPlay->Enabled());
  EXPECT_TRUE(w.btStop->Enabled());
  ASSERT_NE(w.SoundPlayer->FindWave(0), nullptr);
  EXPECT_EQ(w.SoundPlayer->FindWave(0)->FileName(), first);
  card_.AdvanceMs(50);
  EXPECT_TRUE(WavePlaying());

  w.FullTreeSelectItem(w.FullTree, second);
  EXPECT_EQ(w.SoundPlayer->WaveCount(), 1);
  EXPECT_EQ(w.SoundPlayer->FindWave(0)->FileName(), second);
  card_.AdvanceMs(50);
  EXPECT_TRUE(WavePlaying());
  EXPECT_EQ(w.WavePath, second);

  w.btStopClick(w.btStop);
  card_.AdvanceMs(50);
  EXPECT_FALSE(WavePlaying());

  // Leaving the application forgets the wave.
  w.ApplicationDeactivate();
  EXPECT_TRUE(w.WavePath.isEmpty());
  EXPECT_TRUE(w.StatusText().isEmpty());
  EXPECT_FALSE(w.btPlay->Enabled());
  EXPECT_FALSE(w.SoundPlayer->Active());
  // ...and coming back brings the device back.
  w.ApplicationActivate();
  EXPECT_TRUE(w.SoundPlayer->Active());
}

TEST_F(ExplorerWindowTest, VideoPlaysInItsPanelOverTheFittedRectangle) {
  TfmRARez& w = *window_;
  const QString avi = Disc("Midia\\Videos\\vinheta.avi");
  w.FullTreeSelectItem(w.FullTree, avi);
  ASSERT_EQ(w.MediaKind, MediaKindOf::Video) << MessageCodes().size();
  EXPECT_EQ(w.VideoRect, QRect(0, 0, 160, 120));
  EXPECT_EQ(w.PictureRect, FitPicture(w.pbMain->size(), {160, 120}));
  EXPECT_EQ(w.paMCI->geometry(), w.PictureRect.translated(w.pbMain->pos()));
  EXPECT_FALSE(w.paMCI->isHidden());
  EXPECT_TRUE(w.MediaPlayer->Playing());
  EXPECT_TRUE(w.btPlay->Enabled());
  EXPECT_TRUE(w.btStop->Enabled());
  EXPECT_FALSE(w.btFull->Enabled());
  // The video took the wave device from the player.
  EXPECT_FALSE(w.SoundPlayer->Active());

  w.btStopClick(w.btStop);
  EXPECT_FALSE(w.MediaPlayer->Playing());
  w.btPlayClick(w.btPlay);
  EXPECT_TRUE(w.MediaPlayer->Playing());

  // A video that cannot be opened leaves the shown one in its panel, still playable.
  QTemporaryDir dir;
  const QString bad = dir.filePath("bad.avi");
  testsupport::WriteFile(bad, "RIFF\x10\0\0\0AVI LIST");
  const QRect panel = w.paMCI->geometry();
  w.FullTreeSelectItem(w.FullTree, bad);
  EXPECT_EQ(MessageCodes(), std::vector<int>{4});
  EXPECT_EQ(w.MediaKind, MediaKindOf::Video);
  EXPECT_EQ(w.ShownPath, avi);
  EXPECT_EQ(w.paMCI->geometry(), panel);
  EXPECT_FALSE(w.paMCI->isHidden());
  w.btPlayClick(w.btPlay);
  EXPECT_TRUE(w.MediaPlayer->Playing());

  // A picture afterwards hides the video's panel and stops it.
  w.FullTreeSelectItem(w.FullTree, Disc("Midia\\Imagens\\foto.jpg"));
  EXPECT_TRUE(w.paMCI->isHidden());
  EXPECT_FALSE(w.MediaPlayer->Playing());
  EXPECT_FALSE(w.btPlay->Enabled());
}

// A large JPEG picture is decoded no larger than the window can show it; the fit still uses the
// picture's own size, and a window grown past that size gets the picture again.
TEST_F(ExplorerWindowTest, LargeJpegIsReducedToTheWindowAndFittedByItsOwnSize) {
  QTemporaryDir dir;
  QImage big(3200, 2000, QImage::Format_RGB32);
  big.fill(qRgb(30, 160, 90));
  ASSERT_TRUE(big.save(dir.filePath("big.jpg"), "JPG", 90));
  TfmRARez& w = *window_;
  w.FullTreeSelectItem(w.FullTree, dir.filePath("big.jpg"));
  ASSERT_EQ(w.MediaKind, MediaKindOf::Jpeg);
  EXPECT_EQ(w.PictureSize, QSize(3200, 2000));
  EXPECT_EQ(w.PictureRect, FitPicture(w.pbMain->size(), {3200, 2000}));
  // 640 x 400 in full view; 2/8 of the picture (800 x 500) is the smallest eighth that holds it.
  EXPECT_EQ(w.PictureBitmap->Image().size(), QSize(800, 500));
  const QRect r = w.PictureRect;
  EXPECT_LT(std::abs(qGreen(PictureAreaPixel(r.center().x(), r.center().y())) - 160), 8);

  w.btFullClick(w.btFull);
  EXPECT_EQ(w.PictureRect, FitPicture({640, 480}, {3200, 2000}));
  EXPECT_EQ(w.PictureBitmap->Image().size(), QSize(800, 500));
  w.btFullClick(w.btFull);

  w.resize(1400, 1000);
  w.RunLayout();
  EXPECT_EQ(w.PictureRect, FitPicture(w.pbMain->size(), {3200, 2000}));
  EXPECT_GE(w.PictureBitmap->Width(), w.PictureRect.width());
  EXPECT_GE(w.PictureBitmap->Height(), w.PictureRect.height());
  EXPECT_TRUE(MessageCodes().empty());
}

TEST_F(ExplorerWindowTest, FullViewCoversTheWindowAndComesBack) {
  TfmRARez& w = *window_;
  w.FullTreeSelectItem(w.FullTree, Disc("Midia\\Imagens\\paisagem24.bmp"));
  const QRect before = w.pbMain->geometry();
  w.pbMainClick(w.pbMain);
  EXPECT_TRUE(w.FullView);
  EXPECT_EQ(w.pbMain->geometry(), QRect(0, 0, 640, 480));
  EXPECT_TRUE(w.paMaster->isHidden());
  EXPECT_TRUE(w.StatusBar->isHidden());
  EXPECT_EQ(w.PictureRect, FitPicture({640, 480}, w.PictureBitmap->Image().size()));
  w.btFullClick(w.btFull);
  EXPECT_FALSE(w.FullView);
  EXPECT_EQ(w.pbMain->geometry(), before);
  EXPECT_FALSE(w.paMaster->isHidden());

  // A sound leaves no way into full view: neither the button (which the picture had turned
  // on) nor a click on the picture area.
  w.FullTreeSelectItem(w.FullTree, Disc("Midia\\Sons\\acorde.wav"));
  EXPECT_FALSE(w.btFull->Enabled());
  w.pbMainClick(w.pbMain);
  EXPECT_FALSE(w.FullView);
  // A picture turns the button on again.
  w.FullTreeSelectItem(w.FullTree, Disc("Midia\\Imagens\\foto.jpg"));
  EXPECT_TRUE(w.btFull->Enabled());
}

// The command line's path: a Windows path as the tree knows it, or a path of this machine on
// a mapped drive.
TEST_F(ExplorerWindowTest, TheStartPathIsOpenedAndSelectedInTheTree) {
  const QString drive = Env().ProgramDir.left(3);
  const QString letter = drive.left(1).toLower();
  const struct {
    QString given;
    QString selected;
  } cases[] = {
      {drive + "MIDIA\\IMAGENS\\FOTO.JPG", letter + ":\\Midia\\Imagens\\foto.jpg"},
      {disc_ + "/Midia/Imagens/foto.jpg", letter + ":\\Midia\\Imagens\\foto.jpg"},
      {disc_ + "/Midia/Imagens", letter + ":\\Midia\\Imagens\\"},
      // A Windows path names a folder by its closing backslash; without it the name is looked
      // for among the files.
      {drive + "Midia\\Imagens", letter + ":\\Midia\\"},
  };
  for (const auto& c : cases) {
    window_.reset();
    window_ = std::make_unique<TfmRARez>(c.given);
    EXPECT_EQ(window_->FullTree->SelectedPath(), c.selected) << c.given.toStdString();
  }
  EXPECT_TRUE(MessageCodes().empty());
}

TEST_F(ExplorerWindowTest, BlockedDeviceIsRetriedWithMessages22And29Once) {
  TfmRARez& w = *window_;
  card_.SetHeld(true);
  w.SoundPlayer->SetActive(false);
  w.TurnWaveTimer();
  w.TurnWaveTimer();
  EXPECT_EQ(MessageCodes(), std::vector<int>{22});
  EXPECT_TRUE(w.TurnWave.Enabled());
  card_.SetHeld(false);
  w.TurnWaveTimer();
  EXPECT_EQ(MessageCodes(), (std::vector<int>{22, 29}));
  EXPECT_FALSE(w.TurnWave.Enabled());
  EXPECT_FALSE(w.DeviceRetrying);
}

TEST_F(ExplorerWindowTest, DisplayChangesRefuseSmallScreensAndLayOutAgain) {
  TfmRARez& w = *window_;
  w.DisplayChanged(24, 1024, 768);
  w.ApplyDisplayChange();  // the same size: nothing to do
  EXPECT_FALSE(w.Terminated());
  w.DisplayChanged(24, 640, 480);
  w.ApplyDisplayChange();
  EXPECT_EQ(Env().ScreenWidth, 640);
  EXPECT_FALSE(w.Terminated());
  w.DisplayChanged(4, 640, 480);
  w.ApplyDisplayChange();
  EXPECT_EQ(MessageCodes(), std::vector<int>{0});
  EXPECT_TRUE(w.Terminated());
}

}  // namespace
