#include <QDir>
#include <QFile>

#include "WaveMixTestSupport.h"
#include "platform/Drives.h"

using namespace mixtest;

namespace {

class WaveMixLoad : public MixFixture {
 protected:
  void SetUp() override {
    MixFixture::SetUp();
    session = WaveMixInit();  // mono, 11025 Hz, 8 bits
  }
  TMixWave* LoadFile(const QByteArray& bytes) {
    const QString path = dir.filePath("x.wav");
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
    f.close();
    return MixOpenWave(session, FileSource(path));
  }
  static TMixWaveSource FileSource(const QString& path) {
    TMixWaveSource s;
    s.FileName = path;
    return s;
  }
  TMixSession* session = nullptr;
};

std::vector<uint8_t> V(std::initializer_list<int> v) {
  std::vector<uint8_t> out;
  for (int x : v) out.push_back(uint8_t(x));
  return out;
}

}  // namespace

TEST(WaveConversion, DownSamplingAveragesGroupsAndCopiesTheLastFrame) {
  // 22050 -> 11025: pairs, the average taken around 128 with truncating division.
  EXPECT_EQ(ConvertRate(V({100, 103, 200, 201, 7, 9}), 1, 22050, 11025), V({102, 200, 7}));
  // Stereo keeps its channels apart; 44100 -> 11025 takes groups of four.
  EXPECT_EQ(
      ConvertRate(V({10, 200, 20, 210, 30, 220, 40, 230, 1, 2, 3, 4, 5, 6, 7, 8}), 2, 44100, 11025),
      V({25, 215, 1, 2}));
  // Fewer frames than a group: nothing is left; also for a rate near 2^32 (found by fuzzing).
  EXPECT_TRUE(ConvertRate(V({1}), 1, 44100, 11025).empty());
  EXPECT_TRUE(ConvertRate(V({1, 2, 3}), 1, 0xFFFFEB2Bu, 11025).empty());
}

TEST(WaveConversion, UpSamplingStepsTowardsTheNextFrameAndRepeatsTheLast) {
  EXPECT_EQ(ConvertRate(V({100, 111, 90}), 1, 11025, 22050), V({100, 105, 111, 101, 90, 90}));
  EXPECT_EQ(ConvertRate(V({0, 255}), 1, 11025, 44100), V({0, 63, 126, 189, 255, 255, 255, 255}));
  // A rate that does not divide: the factor is truncated, 16000 -> 22050 keeps the frames.
  EXPECT_EQ(ConvertRate(V({1, 2, 3}), 1, 16000, 22050), V({1, 2, 3}));
  EXPECT_EQ(ConvertRate(V({10, 40}), 1, 8000, 22050), V({10, 25, 40, 40}));
}

TEST(WaveConversion, BitsAndChannels) {
  // 16 -> 8: the high byte plus 128, wrapping; 8 -> 16: (b - 128) * 256.
  EXPECT_EQ(ConvertBits(V({0x34, 0x12, 0xFF, 0xFF, 0x00, 0x80, 0xFF, 0x7F}), 16, 8),
            V({0x92, 0x7F, 0x00, 0xFF}));
  EXPECT_EQ(ConvertBits(V({0, 255}), 8, 16), V({0x00, 0x80, 0x00, 0x7F}));
  EXPECT_EQ(ConvertChannels(V({1, 200}), 1, 2), V({1, 1, 200, 200}));
  EXPECT_EQ(ConvertChannels(V({1, 200, 255, 254}), 2, 1), V({100, 254}));
  // The whole chain, with a trailing half frame dropped.
  platform::PcmWaveFormat from{1, 2, 22050, 88200, 4, 16};
  platform::PcmWaveFormat to{1, 1, 11025, 11025, 1, 8};
  // High bytes 0x90 0xB0 0xD0 0xF0, mono 0xA0 0xE0, and the one output frame of the pair is
  // the last, copied from the group's first.
  EXPECT_EQ(ConvertWave(V({0, 0x10, 0, 0x30, 0, 0x50, 0, 0x70, 9}), from, to), V({0xA0}));
}

TEST_F(WaveMixLoad, ReadsConvertsAndNamesTheWave) {
  std::vector<uint8_t> pcm16;
  for (int s : {0x1000, -0x1000, 0x2000, 0x4000}) {
    pcm16.push_back(uint8_t(s & 0xFF));
    pcm16.push_back(uint8_t((s >> 8) & 0xFF));
  }
  // Unknown chunks around the ones that count, an odd-sized one padded.
  const QByteArray file =
      Riff(Chunk("LIST", "abc") + Chunk("fmt ", FmtBody(1, 2, 22050, 16)) + Chunk("fact", "1234") +
           Chunk("data", QByteArray((const char*)pcm16.data(), 8)));
  TMixWave* w = LoadFile(QByteArray("JUNK") + QByteArray("\x04\0\0\0abcd", 8) + file);
  ASSERT_TRUE(w);
  EXPECT_EQ(w->Format.SamplesPerSec, 22050u);
  EXPECT_EQ(w->Format.BitsPerSample, 16);
  EXPECT_EQ(w->Name, QStringLiteral("x.wav"));
  // To 8 bits 0x90 0x70 0xA0 0xC0, to mono 0x80 0xB0; the single output frame is the last,
  // copied from the first of its pair.
  ASSERT_EQ(w->Length, 1u);
  EXPECT_EQ(w->Data[0], 0x80);
}

TEST_F(WaveMixLoad, DamagedFilesRaiseTheirMessages) {
  const QByteArray fmt = Chunk("fmt ", FmtBody(1, 1, 11025, 8));
  const QByteArray data = Chunk("data", "abcd");
  EXPECT_MIX_ERROR(LoadFile("not a wave file at all"), "This is not a WAVE file");
  EXPECT_MIX_ERROR(LoadFile(Chunk("RIFF", "AVI xxxx")), "This is not a WAVE file");
  EXPECT_MIX_ERROR(LoadFile(Riff(data)), "O arquivo wave está corrompido.");
  EXPECT_MIX_ERROR(LoadFile(Riff(Chunk("fmt ", "short!") + data)), "Failed to read format chunk");
  EXPECT_MIX_ERROR(LoadFile(Riff(Chunk("fmt ", FmtBody(2, 1, 11025, 4)) + data)),
                   "O arquivo wave não é do tipo PCM.");
  EXPECT_MIX_ERROR(LoadFile(Riff(data + fmt)), "Não há dados no arquivo wave!");
  EXPECT_MIX_ERROR(LoadFile(Riff(fmt + Chunk("data", ""))), "The data chunk has no data");
  // Truncated, and a size far beyond the file.
  EXPECT_MIX_ERROR(LoadFile(Riff(fmt + data).left(fmt.size() + 12 + 10)),
                   "Failed to read data chunk");
  EXPECT_MIX_ERROR(LoadFile(Riff(fmt + Chunk("data", "abcd", 0xFFFFFFF0u))),
                   "Failed to read data chunk");
  EXPECT_MIX_ERROR(LoadFile(Riff(Chunk("fmt ", FmtBody(1, 1, 11025, 12)) + data)),
                   "Problemas com o arquivo WAVE. Formato não suportado.");
  EXPECT_MIX_ERROR(LoadFile(Riff(Chunk("fmt ", FmtBody(1, 1, 44100, 8)) + Chunk("data", "a"))),
                   "Failed to convert wave format");
  EXPECT_MIX_ERROR(MixOpenWave(session, FileSource(dir.filePath("missing.wav"))),
                   "Falha ao abrir wave: " + dir.filePath("missing.wav").toStdString());

  TMixWaveSource resource;
  resource.Kind = kMixSourceResource;
  resource.ResourceNumber = 12;
  EXPECT_MIX_ERROR(MixOpenWave(session, resource), "Failed to open \"WAVE\" resource 12");
  TMixWaveSource memory;
  memory.Kind = kMixSourceMemory;
  EXPECT_MIX_ERROR(MixOpenWave(session, memory),
                   "Failed to open memory file, mmioOpen error=259.#13May need to make sure "
                   "memory is read-write");
  EXPECT_EQ(MixFreeItems(), kMixPoolSize);
}

TEST_F(WaveMixLoad, ResourcesAreNamedByNumber) {
  struct Module : TMixResourceModule {
    std::optional<QByteArray> FindWave(const QString& name, int number) const override {
      if (!name.isEmpty() || number != 7) return std::nullopt;
      return WaveFile({1, 2, 3}, 1, 11025);
    }
  } module;
  TMixWaveSource source;
  source.Kind = kMixSourceResource;
  source.ResourceNumber = 7;
  source.Module = &module;
  TMixWave* w = MixOpenWave(session, source);
  EXPECT_EQ(w->Name, QStringLiteral("res#7"));
  EXPECT_EQ(w->Data, V({1, 2, 3}));
}

TEST_F(WaveMixLoad, WindowsPathsGoThroughTheDriveMap) {
  QDir(dir.path()).mkpath("WAVES");
  QFile f(dir.filePath("WAVES/FX.WAV"));
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write(WaveFile({1, 2, 3}, 1, 11025));
  f.close();
  platform::Drives().Map(QChar('Q'), dir.path(), platform::DriveType::CdRom);
  TMixWave* w = MixOpenWave(session, FileSource("Q:\\waves\\fx.wav"));
  EXPECT_EQ(w->Name, QStringLiteral("fx.wav"));
  platform::Drives().Unmap(QChar('Q'));
  EXPECT_MIX_ERROR(MixOpenWave(session, FileSource("Q:\\waves\\fx.wav")),
                   "Falha ao abrir wave: Q:\\waves\\fx.wav");
}
