#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "platform/DiscImage.h"
#include "platform/Drives.h"
#include "support/TestSupport.h"
#include "tools/discwriter/IsoWriter.h"

using platform::DiscImage;

namespace {

// A small disc: the navigator's folder, and a demo whose files must stay packed until used.
struct ImageDisc {
  QTemporaryDir dir;
  QString iso;
  QByteArray skin = QByteArray(3000, 's');
  QByteArray game = QByteArray(200000, 'g');
  ImageDisc() {
    QStandardPaths::setTestModeEnabled(true);
    const QString tree = dir.path() + "/tree";
    EXPECT_TRUE(testsupport::WriteFile(tree + "/QUARX/Resour/skin.bmr", skin));
    EXPECT_TRUE(testsupport::WriteFile(tree + "/QUARX/Resour/waves/click.wav", "RIFF"));
    EXPECT_TRUE(testsupport::WriteFile(tree + "/Demos/JOGOS/Corrida/CORRIDA.EXE", game));
    EXPECT_TRUE(testsupport::WriteFile(tree + "/Demos/JOGOS/Corrida/DADOS/pista.dat", "track"));
    EXPECT_TRUE(testsupport::WriteFile(tree + "/LEIAME.TXT", "read me"));
    QFile::setPermissions(tree + "/Demos/JOGOS/Corrida/CORRIDA.EXE",
                          QFile::permissions(tree + "/Demos/JOGOS/Corrida/CORRIDA.EXE") |
                              QFile::ExeOwner);
    iso = dir.path() + "/disc.iso";
    QString error;
    EXPECT_TRUE(discwriter::WriteIsoImage(tree, iso, &error)) << error.toStdString();
  }
  QString Cache() const { return dir.path() + "/cache"; }
  bool Cached(const QString& path) const { return QFile::exists(Cache() + "/" + path); }
};

}  // namespace

TEST(DiscImage, FoldersAtOnceFilesWhenTheirFolderIsLookedAt) {
  ImageDisc disc;
  QString error;
  const auto image = DiscImage::Open(disc.iso, disc.Cache(), &error);
  ASSERT_TRUE(image) << error.toStdString();
  EXPECT_TRUE(QDir(disc.Cache() + "/Demos/JOGOS/Corrida/DADOS").exists());
  EXPECT_EQ(image->UnpackedFiles(), 0);
  EXPECT_EQ(image->StoredPath({"demos", "jogos", "CORRIDA"}), "Demos/JOGOS/Corrida");

  platform::DriveMap map;
  map.MapImage('D', image, "DISC");
  EXPECT_EQ(map.Find('D')->type, platform::DriveType::CdRom);
  const auto skin = map.ToHost("D:\\quarx\\RESOUR\\Skin.BMR");
  ASSERT_TRUE(skin);
  EXPECT_EQ(testsupport::ReadFile(*skin), disc.skin);
  EXPECT_EQ(image->UnpackPasses(), 1);
  // Only the folder looked at: neither the sounds below it nor the demo.
  EXPECT_FALSE(disc.Cached("QUARX/Resour/waves/click.wav"));
  EXPECT_FALSE(disc.Cached("Demos/JOGOS/Corrida/CORRIDA.EXE"));
  EXPECT_TRUE(map.ToHost("D:\\QUARX\\Resour\\skin.bmr"));
  EXPECT_EQ(image->UnpackPasses(), 1);  // nothing read twice

  // A search looks at its folder; a demo about to run has its whole tree unpacked.
  platform::DriveMap saved = platform::Drives();
  platform::Drives() = map;
  const auto found = platform::FindFiles("D:\\DEMOS\\JOGOS\\CORRIDA\\*.EXE", 0);
  ASSERT_EQ(found.size(), 1u);
  EXPECT_EQ(found[0].size, disc.game.size());
  EXPECT_FALSE(disc.Cached("Demos/JOGOS/Corrida/DADOS/pista.dat"));
  EXPECT_TRUE(platform::Drives().PrepareTree("D:\\Demos\\Jogos\\Corrida\\"));
  EXPECT_TRUE(disc.Cached("Demos/JOGOS/Corrida/DADOS/pista.dat"));
  // The run bit comes through the image; data files stay plain.
  EXPECT_TRUE(QFileInfo(disc.Cache() + "/Demos/JOGOS/Corrida/CORRIDA.EXE").isExecutable());
  EXPECT_FALSE(QFileInfo(disc.Cache() + "/Demos/JOGOS/Corrida/DADOS/pista.dat").isExecutable());
  platform::Drives() = saved;

  // A second program on the same cache finds the files already there.
  const auto again = DiscImage::Open(disc.iso, disc.Cache(), &error);
  ASSERT_TRUE(again);
  EXPECT_TRUE(again->Prepare({"QUARX", "Resour", "skin.bmr"}));
  EXPECT_EQ(again->UnpackPasses(), 0);
}

TEST(DiscImage, DamagedImagesGiveAClearMessage) {
  ImageDisc disc;
  QString error;
  const QString junk = disc.dir.path() + "/junk.iso";
  ASSERT_TRUE(testsupport::WriteFile(junk, QByteArray(100000, 'x')));
  EXPECT_FALSE(DiscImage::Open(junk, disc.Cache(), &error));
  EXPECT_TRUE(error.startsWith("The disc image \"" + junk + "\" cannot be read")) << error.toStdString();
  const QString empty = disc.dir.path() + "/empty.iso";
  ASSERT_TRUE(testsupport::WriteFile(empty, {}));
  error.clear();
  EXPECT_FALSE(DiscImage::Open(empty, disc.Cache(), &error));
  EXPECT_FALSE(error.isEmpty());

  // Cut inside the demo's data: the directory still reads, the cut file never appears, not
  // even in part.
  const QByteArray whole = testsupport::ReadFile(disc.iso);
  const qsizetype at = whole.indexOf(QByteArray(1000, 'g'));
  ASSERT_GT(at, 0);
  const QString cut = disc.dir.path() + "/cut.iso";
  ASSERT_TRUE(testsupport::WriteFile(cut, whole.left(at + 5000)));
  const auto image = DiscImage::Open(cut, disc.Cache(), &error);
  if (image) {
    EXPECT_FALSE(image->PrepareTree({"Demos"}));
    EXPECT_FALSE(image->LastError().isEmpty());
    EXPECT_FALSE(disc.Cached("Demos/JOGOS/Corrida/CORRIDA.EXE"));
    EXPECT_FALSE(disc.Cached("Demos/JOGOS/Corrida/CORRIDA.EXE.partial"));
  } else {
    EXPECT_FALSE(error.isEmpty());
  }
}
