// Every reader over the hostile corpus: truncated, oversized, empty, wrong-version and
// bit-flipped files and the fuzzers' old crashes are refused, each the way its reader reports
// it, and a pipe named like the reader's file is refused without blocking.

#include <gtest/gtest.h>

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtEndian>
#include <functional>

#include "HostileCorpus.h"
#include "audio/WaveLoader.h"
#include "audio/WaveMix.h"
#include "formats/BMR.h"
#include "formats/BPK.h"
#include "formats/DemoFile.h"
#include "platform/Bitmap.h"
#include "platform/Dialogs.h"
#include "platform/Drives.h"
#include "platform/Jpeg.h"
#include "platform/Metafile.h"
#include "platform/PeVersion.h"
#include "platform/RegularFile.h"
#include "platform/VideoPlayer.h"
#include "support/TestSupport.h"

namespace {

using hostile::Files;

// A host path as the disc readers are given it: drive T: is the file system root.
QString WinPath(const QString& host) {
  platform::Drives().Map(QChar('T'), QStringLiteral("/"), platform::DriveType::Fixed);
  return QStringLiteral("T:") + QDir::cleanPath(host).replace('/', '\\');
}

QByteArray Bytes(const QString& path) { return testsupport::ReadFile(path); }

// A description file is refused when the catalogue skips it, or when a picture it names fails
// to decode (the views then show their substitutes).
bool DescriptionRefused(const QString& path, int depth) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return true;
  const std::optional<DemoFileData> demo = ReadDemoFile(file, depth);
  if (!demo) return true;
  std::vector<ImageRef> pictures = demo->Images;
  if (demo->Entry.Logo.Size != 0) pictures.push_back(demo->Entry.Logo);
  for (const ImageRef& ref : pictures)
    if (!DecodePicture(file, ref, depth)) return true;
  return false;
}

// An animation is refused when it does not open or a frame of it cannot be read.
bool AnimationRefused(const QString& path, bool direct) {
  TBPKMovie movie(direct);
  try {
    if (!movie.Open(WinPath(path))) return true;
  } catch (const std::exception&) {
    return true;
  }
  platform::Bitmap frame;
  for (int i = 0; i < movie.Header.FrameCount; ++i)
    if (!movie.ReadFrame(frame, 32)) return true;
  return false;
}

bool WaveRefused(const QString& path) {
  const std::unique_ptr<QFile> file = platform::OpenRegularFile(path);
  if (!file) return true;
  try {
    const WaveFileData wave = ReadWaveData(*file);
    return wave.Samples.empty();
  } catch (const EWaveMixError&) {
    return true;
  }
}

bool VideoRefused(const QString& path) {
  platform::VideoPlayer player;
  const bool refused = !player.Open(path) || !player.CanPlay();
  player.Close();
  return refused;
}

// What each reader makes of a file; true when it refuses it.
const std::map<QString, std::function<bool(const QString&)>>& Readers() {
  static const std::map<QString, std::function<bool(const QString&)>> readers = {
      {"dem", [](const QString& p) { return DescriptionRefused(p, 8) && DescriptionRefused(p, 24); }},
      {"bpk", [](const QString& p) { return AnimationRefused(p, true) && AnimationRefused(p, false); }},
      {"bmp", [](const QString& p) {
         return !platform::Bitmap::FromBmp(Bytes(p), 8) && !platform::Bitmap::FromBmp(Bytes(p), 32);
       }},
      {"wave", WaveRefused},
      {"jpeg", [](const QString& p) {
         return !platform::DecodeJpeg(Bytes(p), 8) && !platform::DecodeJpeg(Bytes(p), 24);
       }},
      {"wmf", [](const QString& p) { return !platform::Metafile::FromBytes(Bytes(p)); }},
      {"avi", VideoRefused},
      {"pe", [](const QString& p) { return !platform::ReadPeVersionOfFile(p); }},
  };
  return readers;
}

}  // namespace

TEST(HostileReaders, EveryDamagedFileIsRefusedWithoutAMessage) {
  platform::ScopedScriptedDialogs dialogs;
  for (const auto& [reader, refuses] : Readers()) {
    const QStringList files = Files(reader);
    ASSERT_GE(files.size(), 5) << reader.toStdString();
    for (const QString& path : files) {
      const bool expected = !hostile::Survives(path);
      EXPECT_EQ(refuses(path), expected) << "refused: " << path.toStdString();
    }
  }
  // Picture and sound failures are the callers' to report (the explorer's message 4, the
  // navigator's substitutes); the readers themselves say nothing.
  EXPECT_TRUE(dialogs->Messages().empty());
}

// The inputs that once crashed a fuzz target go through the whole reading again, the waves
// through every conversion a session can ask for.
TEST(HostileReaders, OldFuzzerCrashesReadSafely) {
  const QStringList crashes = hostile::CrashInputs({"pe_version", "wave_loader", "bpk"});
  ASSERT_GE(crashes.size(), 2);
  for (const QString& path : crashes) {
    SCOPED_TRACE(path.toStdString());
    if (path.contains("/pe_version/")) {
      (void)platform::ReadPeVersionOfFile(path);
      continue;
    }
    if (path.contains("/bpk/")) {
      (void)AnimationRefused(path, true);
      (void)AnimationRefused(path, false);
      continue;
    }
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    try {
      const WaveFileData wave = ReadWaveData(file);
      for (uint32_t rate : {11025u, 22050u, 44100u}) {
        const platform::PcmWaveFormat out{1, 2, rate, rate * 4, 4, 16};
        try {
          (void)ConvertWave(wave.Samples, wave.Format, out);
        } catch (const EWaveMixError&) {
        }
      }
    } catch (const EWaveMixError&) {
    }
  }
}

// The skin container is the one reader that speaks: a version it does not know gives two
// messages, any other damage one, and a container that lies about its sizes is refused whole.
TEST(HostileReaders, DamagedContainersAreReportedOnceOrTwice) {
  const QString notFound = QStringLiteral("Arquivo \"%1\" não encontrado.");
  for (const QString& path : Files("bmr")) {
    for (int maxEntries : {BmrArchive::kMaxEntries, BmrReader::kMaxEntries}) {
      platform::ScopedScriptedDialogs dialogs;
      const QString win = WinPath(path);
      const bool read = ReadBmrDirectory(win, maxEntries).has_value();
      QStringList texts;
      for (const auto& m : dialogs->Messages()) texts << m.text;
      if (hostile::Survives(path)) {
        EXPECT_TRUE(read) << path.toStdString();
        continue;
      }
      EXPECT_FALSE(read) << path.toStdString();
      QStringList want = {notFound.arg(win)};
      const QByteArray head = testsupport::ReadFile(path).left(4);
      if (head.size() == 4 && qFromLittleEndian<qint32>(head.constData()) != 100)
        want.prepend("A versão do arquivo BMR é incorreta.");
      EXPECT_EQ(texts.join(" | ").toStdString(), want.join(" | ").toStdString());
    }
  }
  // The navigator's container: the open fails after the same messages, and a picture asked of
  // it afterwards keeps the target as it was.
  for (const QString& path : Files("bmr")) {
    if (hostile::Survives(path)) continue;
    platform::ScopedScriptedDialogs dialogs;
    BmrArchive archive;
    EXPECT_FALSE(archive.OpenContainer(WinPath(path))) << path.toStdString();
    EXPECT_FALSE(archive.IsOpen());
  }
}

// Pipes named like every kind of disc file: each reader refuses them at once instead of
// waiting for a writer that never comes.
TEST(HostileReaders, PipesAreRefusedWithoutBlocking) {
  QTemporaryDir dir;
  QStringList pipes;
  ASSERT_TRUE(QDir(dir.path()).mkdir("DemoData"));
  for (const char* name : {"DemoData/a.dem", "a.bmr", "a.bpk", "a.bmp", "a.wav", "a.jpg", "a.wmf", "a.avi",
                           "a.exe"}) {
    pipes << dir.filePath(name);
    ASSERT_TRUE(hostile::MakeFifo(pipes.last()));
  }
  platform::ScopedScriptedDialogs dialogs;
  hostile::PipeWatchdog watchdog(pipes, std::chrono::seconds(20));
  EXPECT_TRUE(VideoRefused(dir.filePath("a.avi")));
  EXPECT_FALSE(platform::ReadPeVersionOfFile(dir.filePath("a.exe")));
  EXPECT_TRUE(WaveRefused(dir.filePath("a.wav")));
  EXPECT_TRUE(AnimationRefused(dir.filePath("a.bpk"), true));
  EXPECT_TRUE(AnimationRefused(dir.filePath("a.bpk"), false));
  EXPECT_FALSE(ReadBmrDirectory(WinPath(dir.filePath("a.bmr")), BmrArchive::kMaxEntries));
  DemoCatalogue catalogue;
  EXPECT_EQ(LoadCatalogue(catalogue, WinPath(dir.path()) + "\\", 24), 0);
  EXPECT_FALSE(watchdog.Fired());
}
