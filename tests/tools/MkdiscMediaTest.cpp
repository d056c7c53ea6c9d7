// Sounds, the screen font, movies, pictures, the magazine and the stand-in programs of the
// disc, each checked the way its consumer will read it.

#include <gtest/gtest.h>

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QImage>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>
#include <QtEndian>

#include "MkdiscSupport.h"
#include "support/TestSupport.h"

namespace {

using mkdisctest::Le16;
using mkdisctest::Le32;

QString Resour() {
  return mkdisctest::Disc() + "/QUARX/Resour";
}
QString Share() {
  return mkdisctest::Disc() + "/SHAREDIR";
}

struct WaveFormat {
  int Tag = 0, Channels = 0, RateHz = 0, Bits = 0;
  qint64 DataBytes = -1;
};

// Walks the RIFF chunks: "fmt " must come before "data", and no chunk may run past the end.
std::optional<WaveFormat> ParseWave(const QByteArray& b) {
  if (b.size() < 12 || !b.startsWith("RIFF") || b.mid(8, 4) != "WAVE") return std::nullopt;
  if (Le32(b, 4) + 8 != quint32(b.size())) return std::nullopt;
  WaveFormat f;
  bool haveFormat = false;
  for (qsizetype at = 12; at + 8 <= b.size();) {
    const QByteArray id = b.mid(at, 4);
    const qint64 size = Le32(b, at + 4);
    if (at + 8 + size > b.size()) return std::nullopt;
    if (id == "fmt " && size >= 16) {
      f.Tag = Le16(b, at + 8);
      f.Channels = Le16(b, at + 10);
      f.RateHz = int(Le32(b, at + 12));
      f.Bits = Le16(b, at + 22);
      if (Le16(b, at + 20) != f.Channels * f.Bits / 8) return std::nullopt;
      if (Le32(b, at + 16) != quint32(f.RateHz * f.Channels * f.Bits / 8)) return std::nullopt;
      haveFormat = true;
    } else if (id == "data") {
      if (!haveFormat) return std::nullopt;
      f.DataBytes = size;
    }
    at += 8 + size + (size & 1);
  }
  return f.DataBytes >= 0 ? std::optional(f) : std::nullopt;
}

TEST(MkdiscMedia, EffectsAndMusicAreWavesInSeveralFormats) {
  static const char* kEffects[] = {"MiniBts", "Details", "GetBack",  "fnext", "fback",
                                   "CapOpen", "panelin", "panelout", "1gen",  "2gen",
                                   "3gen",    "4gen",    "5gen"};
  const QString waves = Resour() + "/waves/";
  QSet<int> rates, bits, channels;
  for (const char* name : kEffects) {
    const auto f = ParseWave(testsupport::ReadFile(waves + name + ".wav"));
    ASSERT_TRUE(f.has_value()) << name;
    EXPECT_EQ(f->Tag, 1);
    EXPECT_GT(f->DataBytes, 0);
    rates.insert(f->RateHz);
    bits.insert(f->Bits);
    channels.insert(f->Channels);
  }
  const QStringList themes = QDir(waves).entryList({"Theme*.wav"}, QDir::Files);
  ASSERT_GE(themes.size(), 2);
  qint64 longest = 0;
  for (const QString& t : themes) {
    const auto f = ParseWave(testsupport::ReadFile(waves + t));
    ASSERT_TRUE(f.has_value()) << t.toStdString();
    const double seconds = double(f->DataBytes) / (f->RateHz * f->Channels * f->Bits / 8);
    EXPECT_GE(seconds, 3.0);
    longest = std::max(longest, f->DataBytes);
    rates.insert(f->RateHz);
    bits.insert(f->Bits);
    channels.insert(f->Channels);
  }
  EXPECT_GT(longest, 300000);  // streamed in pieces, not loaded whole
  EXPECT_EQ(rates, QSet<int>({11025, 22050, 44100}));
  EXPECT_EQ(bits, QSet<int>({8, 16}));
  EXPECT_EQ(channels, QSet<int>({1, 2}));
}

TEST(MkdiscMedia, TheScreenFontRegistersUnderItsFamilyName) {
  const QString path = Resour() + "/vkScn___.ttf";
  const QByteArray ttf = testsupport::ReadFile(path);
  ASSERT_GT(ttf.size(), 1000);
  // The whole-file checksum with the head adjustment comes to the magic number.
  quint32 sum = 0;
  QByteArray padded = ttf;
  while (padded.size() % 4) padded.append('\0');
  for (qsizetype i = 0; i < padded.size(); i += 4)
    sum += qFromBigEndian<quint32>(padded.constData() + i);
  EXPECT_EQ(sum, 0xB1B0AFBAu);

  const int id = QFontDatabase::addApplicationFont(path);
  ASSERT_GE(id, 0);
  EXPECT_EQ(QFontDatabase::applicationFontFamilies(id), QStringList{"vkScr_01"});
  QFont f("vkScr_01");
  f.setPixelSize(20);
  f.setBold(true);
  EXPECT_EQ(QFontInfo(f).family(), "vkScr_01");
  EXPECT_GT(QFontMetrics(f).horizontalAdvance(QString::fromUtf8("ÀÇÔ")), 20);
  QFontDatabase::removeApplicationFont(id);
}

// The stream headers of an AVI: (fourcc type, handler) and the format tag of the sound.
struct AviInfo {
  int Width = 0, Height = 0;
  QByteArray VideoHandler;
  int AudioTag = 0, AudioBits = 0;
};

AviInfo ReadAvi(const QByteArray& b) {
  AviInfo info;
  if (!b.startsWith("RIFF") || b.mid(8, 4) != "AVI ") return info;
  const qsizetype avih = b.indexOf("avih");
  if (avih > 0) {
    info.Width = int(Le32(b, avih + 8 + 32));
    info.Height = int(Le32(b, avih + 8 + 36));
  }
  for (qsizetype at = b.indexOf("strh"); at > 0; at = b.indexOf("strh", at + 4)) {
    const QByteArray type = b.mid(at + 8, 4);
    const qsizetype strf = b.indexOf("strf", at);
    if (type == "vids") info.VideoHandler = b.mid(at + 12, 4);
    if (type == "auds" && strf > 0) {
      info.AudioTag = Le16(b, strf + 8);
      info.AudioBits = Le16(b, strf + 8 + 14);
    }
  }
  return info;
}

TEST(MkdiscMedia, IntroMovieLogosAndCredits) {
  const AviInfo intro = ReadAvi(testsupport::ReadFile(Share() + "/abertura.avi"));
  EXPECT_EQ(intro.Width, 400);
  EXPECT_EQ(intro.Height, 300);
  EXPECT_TRUE(intro.VideoHandler.toUpper() == "MSVC" || intro.VideoHandler.toUpper() == "CRAM")
      << intro.VideoHandler.toStdString();
  EXPECT_EQ(intro.AudioTag, 1);
  EXPECT_EQ(intro.AudioBits, 8);

  struct Picture {
    const char* Name;
    int Bits;
  };
  for (const Picture& p :
       {Picture{"LOGO256.BMP", 8}, Picture{"LOGORGB.BMP", 24}, Picture{"credits.bmp", 8}}) {
    const QByteArray b = testsupport::ReadFile(Share() + "/" + p.Name);
    EXPECT_EQ(Le16(b, 28), p.Bits) << p.Name;
    EXPECT_FALSE(QImage::fromData(b, "BMP").isNull()) << p.Name;
  }
}

TEST(MkdiscMedia, ExplorerSamplesCoverEveryPictureDepthAndKind) {
  const QString media = mkdisctest::Disc() + "/Midia";
  QSet<int> depths;
  QSet<int> compressions;
  for (const QString& name : mkdisctest::FilesBelow(media)) {
    const QByteArray b = testsupport::ReadFile(media + "/" + name);
    const QString ext = QFileInfo(name).suffix().toLower();
    if (ext == "bmp") {
      const QImage img = QImage::fromData(b, "BMP");
      ASSERT_FALSE(img.isNull()) << name.toStdString();
      EXPECT_EQ(img.width(), int(Le32(b, 18)));
      depths.insert(Le16(b, 28));
      compressions.insert(int(Le32(b, 30)));
      // A run-length picture shows the same as its plain twin.
      if (name.contains("RLE8", Qt::CaseInsensitive)) {
        EXPECT_EQ(img.convertToFormat(QImage::Format_RGB32),
                  QImage(media + "/Imagens/paisagem8.bmp").convertToFormat(QImage::Format_RGB32));
      }
      if (name.contains("rle4", Qt::CaseInsensitive)) {
        EXPECT_EQ(img.convertToFormat(QImage::Format_RGB32),
                  QImage(media + "/Imagens/cores16.bmp").convertToFormat(QImage::Format_RGB32));
      }
    } else if (ext == "jpg") {
      EXPECT_FALSE(QImage::fromData(b, "JPG").isNull()) << name.toStdString();
    } else if (ext == "wav") {
      EXPECT_TRUE(ParseWave(b).has_value()) << name.toStdString();
    } else if (ext == "avi") {
      EXPECT_EQ(ReadAvi(b).AudioBits, 8);
    } else if (ext == "wmf") {
      // Placeable header: key, and the checksum of its first ten words.
      EXPECT_EQ(Le32(b, 0), 0x9AC6CDD7u);
      quint16 sum = 0;
      for (int i = 0; i < 10; ++i) sum ^= Le16(b, 2 * i);
      EXPECT_EQ(Le16(b, 20), sum);
      // The standard header's size (in words) covers the rest of the file.
      EXPECT_EQ(qint64(Le32(b, 22 + 6)) * 2, b.size() - 22);
    }
  }
  EXPECT_EQ(depths, QSet<int>({1, 4, 8, 24}));
  EXPECT_EQ(compressions, QSet<int>({0, 1, 2}));
}

TEST(MkdiscMedia, TheMagazineIsAPdfOfSeveralPages) {
  const QByteArray pdf = testsupport::ReadFile(mkdisctest::OnDisc("D:\\Revista\\KVR.pdf"));
  ASSERT_TRUE(pdf.startsWith("%PDF-"));
  EXPECT_TRUE(pdf.trimmed().endsWith("%%EOF"));
  EXPECT_GE(pdf.count("/Type /Page\n") + pdf.count("/Type /Page "), 4);
}

TEST(MkdiscMedia, NoTwoNamesInOneFolderDifferOnlyInLetterCase) {
  // A disc is looked up without regard to case; two such names would hide one another.
  QDirIterator it(mkdisctest::Disc(), QDir::AllEntries | QDir::NoDotAndDotDot,
                  QDirIterator::Subdirectories);
  QSet<QString> seen;
  while (it.hasNext()) {
    const QFileInfo info(it.next());
    const QString key = info.absolutePath() + "/" + info.fileName().toLower();
    EXPECT_FALSE(seen.contains(key)) << info.filePath().toStdString();
    seen.insert(key);
  }
}

TEST(MkdiscMedia, StandInsRecordHowTheyWereStarted) {
  const QString program = mkdisctest::OnDisc("D:\\Demos\\utilitar\\directx\\dx6su111.exe");
  ASSERT_FALSE(program.isEmpty());
  EXPECT_TRUE(QFileInfo(program).isExecutable());
  for (const char* path :
       {"D:\\instalar.exe", "D:\\dllinst\\copier32.exe", "D:\\Demos\\Utilitar\\Acro3_32\\Setup.exe",
        "D:\\Demos\\utilitar\\directx\\dxdiag.exe"})
    EXPECT_TRUE(QFileInfo(mkdisctest::OnDisc(path)).isExecutable()) << path;

  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QString log = dir.path() + "/log.txt";
  QProcess p;
  auto env = QProcessEnvironment::systemEnvironment();
  env.insert("QUARX_STANDIN_LOG", log);
  p.setProcessEnvironment(env);
  p.setWorkingDirectory(dir.path());
  // Arguments with blanks, quotes and shell characters arrive as they were given.
  p.start(program, {"D:\\DEMOS\\X", "two words", "it's $HOME"});
  ASSERT_TRUE(p.waitForFinished(10000));
  EXPECT_EQ(p.exitCode(), 0);
  const QString line = QString::fromUtf8(testsupport::ReadFile(log)).trimmed();
  const QStringList fields = line.split('\t');
  ASSERT_EQ(fields.size(), 5) << line.toStdString();
  EXPECT_EQ(QFileInfo(fields[0]).fileName(), QFileInfo(program).fileName());
  EXPECT_EQ(fields[1], "D:\\DEMOS\\X");
  EXPECT_EQ(fields[2], "two words");
  EXPECT_EQ(fields[3], "it's $HOME");
  EXPECT_EQ(fields[4], "@" + QDir(dir.path()).canonicalPath());
}

}  // namespace
