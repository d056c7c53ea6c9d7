// The explorer on a folder of hostile media files: every picture, sound and video that cannot
// be used shows message 4 with its path and leaves the item shown before; pipes named like media
// files are refused the same way without blocking the window.

#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include "HostileCorpus.h"
#include "common/Environment.h"
#include "controls/Transbut.h"
#include "explorer/ExplorerWindowFixture.h"
#include "explorer/uRARez.h"
#include "platform/AudioSystem.h"
#include "platform/Dialogs.h"
#include "platform/Drives.h"
#include "platform/VirtualAudioOutput.h"
#include "support/TestSupport.h"

namespace {

class HostileExplorerTest : public ExplorerWindowFixture {
 protected:
  // Selects path as the tree would; true when message 4 came for it and nothing else.
  ::testing::AssertionResult Refused(const QString& path) {
    dialogs_->Clear();
    window_->FullTreeSelectItem(window_->FullTree, path);
    const auto messages = dialogs_->Messages();
    if (messages.size() != 1 || messages[0].code != 4 || messages[0].argument != path)
      return ::testing::AssertionFailure()
             << messages.size() << " messages for " << path.toStdString();
    return ::testing::AssertionSuccess();
  }
};

TEST_F(HostileExplorerTest, EveryDamagedMediaFileShowsMessage4AndKeepsTheShownPicture) {
  QTemporaryDir dir;
  QStringList files;
  for (const char* reader : {"bmp", "jpeg", "wmf", "avi", "wave"}) files << hostile::Files(reader);
  files << hostile::CrashInputs({"wave_loader"});
  // The reader's folder in the name: the same file name comes from several readers.
  QStringList paths;
  for (const QString& file : files) {
    const QString kind = QFileInfo(file).dir().dirName();
    const QString name = kind + '-' + QFileInfo(file).fileName();
    paths << dir.filePath(name);
    ASSERT_TRUE(QFile::copy(file, paths.last()));
  }

  TfmRARez& w = *window_;
  const QString good = Env().ProgramDir.left(3) + "Midia\\Imagens\\foto.jpg";
  w.FullTreeSelectItem(w.FullTree, good);
  ASSERT_EQ(w.MediaKind, MediaKindOf::Jpeg);
  const QRect shown = w.PictureRect;
  for (int i = 0; i < paths.size(); ++i) {
    const QString& path = paths[i];
    SCOPED_TRACE(path.toStdString());
    if (w.ShownPath != good) w.FullTreeSelectItem(w.FullTree, good);
    const bool refused = Refused(path);
    // The sound player plays the samples a file holds when its data chunk claims more.
    const bool plays = path.endsWith("wave-oversized.wav");
    EXPECT_EQ(refused, !hostile::Survives(files[i]) && !plays);
    if (!refused) continue;
    if (path.endsWith(".wav")) {
      // A sound that cannot be played turns the buttons off and forgets its path.
      EXPECT_FALSE(w.btPlay->Enabled());
      EXPECT_TRUE(w.WavePath.isEmpty());
      continue;
    }
    EXPECT_EQ(w.MediaKind, MediaKindOf::Jpeg);
    EXPECT_EQ(w.ShownPath, good);
    EXPECT_EQ(w.PictureRect, shown);
  }
}

TEST_F(HostileExplorerTest, PipesNamedLikeMediaFilesAreRefusedWithoutBlocking) {
  QTemporaryDir dir;
  QStringList pipes;
  for (const char* name : {"a.bmp", "b.JPG", "d.wmf", "e.avi", "f.wav"}) {
    pipes << dir.filePath(name);
    ASSERT_TRUE(hostile::MakeFifo(pipes.last()));
  }
  hostile::PipeWatchdog watchdog(pipes, std::chrono::seconds(20));
  for (const QString& pipe : pipes) EXPECT_TRUE(Refused(pipe)) << pipe.toStdString();
  EXPECT_FALSE(watchdog.Fired());
}

}  // namespace
