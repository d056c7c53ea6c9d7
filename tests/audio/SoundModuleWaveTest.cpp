// Reading WAVE files: the tag search, the checks of the wave's constructor and the choice
// between a static buffer and streaming.

#include <QBuffer>

#include "SoundModuleTestSupport.h"
#include "audio/SoundModuleTags.h"
#include "support/TestSupport.h"

using namespace soundtest;

namespace {

qint64 Find(const QByteArray& bytes, const char* tag) {
  QByteArray copy = bytes;
  QBuffer buffer(&copy);
  buffer.open(QIODevice::ReadOnly);
  buffer.seek(3 < bytes.size() ? 3 : 0);
  const qint64 found = FindWaveTag(buffer, tag);
  EXPECT_EQ(buffer.pos(), 3 < bytes.size() ? 3 : 0);  // position restored
  return found;
}

TEST(SoundModuleTags, ScanFindsTagsAnywhereBeforeData) {
  EXPECT_EQ(Find("xxRIFFyyWAVE", "RIFF"), 2);
  EXPECT_EQ(Find("xxRIFFyyWAVE", "WAVE"), 8);
  // Repeated first characters must not make the scan step over a tag.
  EXPECT_EQ(Find("RRIFF", "RIFF"), 1);
  EXPECT_EQ(Find("RIRIFF", "RIFF"), 2);
  EXPECT_EQ(Find("abcRIRRIFF", "RIFF"), 6);
  EXPECT_EQ(Find("ddata", "data"), 1);
  // Control bytes never match; the tag is case-sensitive.
  EXPECT_EQ(Find(QByteArray("R\x01IFFriff", 9), "RIFF"), -1);
  // Nothing is looked for past the "data" tag.
  EXPECT_EQ(Find("RIFFdataWAVE", "WAVE"), -1);
  EXPECT_EQ(Find("RIFFdata", "data"), 4);
  // Short or empty input.
  EXPECT_EQ(Find("RIF", "RIFF"), -1);
  EXPECT_EQ(Find("", "RIFF"), -1);
}

TEST(SoundModuleTags, HeaderReadsFormatAndDataSize) {
  WaveSpec spec;
  spec.channels = 1;
  spec.rate = 11025;
  spec.bits = 8;
  spec.data = QByteArray(10, 'x');
  QByteArray bytes = MakeWave(spec);
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::ReadOnly);
  const WaveHeader h = ReadWaveHeader(buffer);
  EXPECT_TRUE(h.IsWave);
  ASSERT_TRUE(h.HasFormat);
  EXPECT_EQ(h.Format.Channels, 1);
  EXPECT_EQ(h.Format.SamplesPerSec, 11025u);
  EXPECT_EQ(h.Format.BlockAlign, 1);
  EXPECT_EQ(h.DataOffset, kHeaderBytes);
  EXPECT_EQ(h.DataSize, 10u);
  // Cut inside the data tag's size: the offset is known, the size is not.
  QByteArray cut = bytes.left(kHeaderBytes - 2);
  QBuffer cutBuffer(&cut);
  cutBuffer.open(QIODevice::ReadOnly);
  const WaveHeader c = ReadWaveHeader(cutBuffer);
  EXPECT_EQ(c.DataOffset, kHeaderBytes);
  EXPECT_EQ(c.DataSize, 0u);
}

class SoundModuleWave : public PlayerTest {
 protected:
  void SetUp() override {
    PlayerTest::SetUp();
    player = std::make_unique<TMyDxSound>(form.get());
    player->SetBitsPerSample(16);
    player->SetActive(true);
  }
};

TEST_F(SoundModuleWave, RefusesFilesThatAreNotPcmWaves) {
  WaveSpec adpcm;
  adpcm.tag = 2;
  adpcm.data = QByteArray(100, 0);
  const TAudioInit a = Request(WriteWave("adpcm.wav", adpcm), 0);
  try {
    player->AddWave(&a);
    FAIL() << "accepted a non-PCM wave";
  } catch (const EInvPCM& e) {
    EXPECT_EQ(e.Message(), QStringLiteral("A wave possui um formato(2) diferente do PCM."));
  }
  WaveSpec noFormat;
  noFormat.withFormat = false;
  const TAudioInit b = Request(WriteWave("nofmt.wav", noFormat), 1);
  EXPECT_THROW(player->AddWave(&b), EInvPCM);

  const QString text = dir.filePath("text.wav");
  ASSERT_TRUE(testsupport::WriteFile(text, "just some text, no tags here"));
  const TAudioInit c = Request(text, 2);
  try {
    player->AddWave(&c);
    FAIL() << "accepted a text file";
  } catch (const EInvalidWave& e) {
    EXPECT_EQ(e.Message(), QStringLiteral("Wave (%1) inválida.").arg(text));
  }
  try {
    TAudioData::Create(nullptr, c, QStringLiteral("DXSound"));
    FAIL() << "built a wave without a player";
  } catch (const EAudioData& e) {
    EXPECT_EQ(e.Message(), QStringLiteral("DXSound é inválido."));
  }
  const TAudioInit missing = Request(dir.filePath("missing.wav"), 3);
  EXPECT_THROW(player->AddWave(&missing), EAudioData);
  EXPECT_EQ(player->WaveCount(), 0);
  EXPECT_TRUE(dialogs->Records().empty());
}

TEST_F(SoundModuleWave, TagsAwayFromTheirUsualOffsetsPass) {
  WaveSpec spec;
  spec.before = "junk in front ";
  spec.data = CountingData(4);
  const TAudioInit r = Request(WriteWave("shifted.wav", spec), 0);
  ASSERT_TRUE(player->AddWave(&r));
  TAudioData* wave = player->FindWave(0);
  ASSERT_NE(wave, nullptr);
  EXPECT_TRUE(wave->Prepared());
  EXPECT_EQ(wave->DataOffset(), kHeaderBytes + spec.before.size());
  ASSERT_TRUE(player->Play(0));
  EXPECT_EQ(Render(16), CountingData(4));
}

TEST_F(SoundModuleWave, DamagedWaveAfterTheChecksIsShownAndKeptUnprepared) {
  // RIFF, WAVE and a PCM format, but no data chunk.
  QByteArray bytes = MakeWave(WaveSpec{});
  bytes.replace("data", "dat!");
  const QString path = dir.filePath("nodata.wav");
  ASSERT_TRUE(testsupport::WriteFile(path, bytes));
  const TAudioInit r = Request(path, 4);
  ASSERT_TRUE(player->AddWave(&r));
  ASSERT_EQ(player->WaveCount(), 1);
  EXPECT_FALSE(player->FindWave(4)->Prepared());
  const auto messages = dialogs->Messages();
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].text, QStringLiteral("Problemas com o arquivo: \"%1\".").arg(path));
  EXPECT_EQ(messages[0].icon, platform::MsgIcon::Stop);
  try {
    player->Play(4);
    FAIL() << "played an unprepared wave";
  } catch (const EAudioData& e) {
    EXPECT_EQ(e.Message(), QStringLiteral("AudioData não está pronto. (1)"));
  }
}

TEST_F(SoundModuleWave, StaticUpToDataStartPlusRingSizeStreamingBeyond) {
  WaveSpec spec;
  spec.data = QByteArray(TAudioData::kStreamBytes, 1);
  const TAudioInit a = Request(WriteWave("exact.wav", spec), 0);
  spec.data.append('\1');
  const TAudioInit b = Request(WriteWave("onemore.wav", spec), 1);
  ASSERT_TRUE(player->AddWave(&a));
  ASSERT_TRUE(player->AddWave(&b));
  TAudioData* exact = player->FindWave(0);
  TAudioData* more = player->FindWave(1);
  EXPECT_FALSE(exact->Streaming());
  EXPECT_EQ(exact->Description().Flags, TAudioData::kStaticFlags);
  EXPECT_EQ(exact->Buffer()->Bytes(), TAudioData::kStreamBytes);
  EXPECT_EQ(exact->Notifier(), nullptr);
  EXPECT_TRUE(more->Streaming());
  EXPECT_EQ(more->Description().Flags, TAudioData::kStreamFlags);
  EXPECT_EQ(more->Buffer()->Bytes(), TAudioData::kStreamBytes);
  ASSERT_NE(more->Notifier(), nullptr);
  EXPECT_EQ(more->Format().CbSize, 18);
  EXPECT_EQ(more->SilenceByte(), 0);
}

TEST_F(SoundModuleWave, OddDataSizesStayInsideTheFile) {
  // A data size larger than the file holds: the buffer takes what is there.
  WaveSpec spec;
  spec.data = CountingData(3);
  QByteArray bytes = MakeWave(spec);
  bytes[40] = '\xFF';
  bytes[41] = '\xFF';
  bytes[42] = '\xFF';
  bytes[43] = '\x7F';
  const QString path = dir.filePath("big.wav");
  ASSERT_TRUE(testsupport::WriteFile(path, bytes));
  const TAudioInit r = Request(path, 0);
  ASSERT_TRUE(player->AddWave(&r));
  ASSERT_TRUE(player->FindWave(0)->Prepared());
  EXPECT_EQ(player->FindWave(0)->Buffer()->Bytes(), 12u);
  // A format the device cannot play leaves the wave unprepared.
  WaveSpec odd;
  odd.channels = 0;
  odd.data = QByteArray(8, 0);
  const TAudioInit o = Request(WriteWave("odd.wav", odd), 1);
  ASSERT_TRUE(player->AddWave(&o));
  EXPECT_FALSE(player->FindWave(1)->Prepared());
}

}  // namespace
