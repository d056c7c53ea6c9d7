// Streaming waves: the 300000-byte ring refilled by halves, the end of the stream, rewinding,
// looping, failures of a refill, and resuming after deactivation.

#include <QFile>

#include "SoundModuleTestSupport.h"

using namespace soundtest;

namespace {

constexpr uint32_t kRing = TAudioData::kStreamBytes;
constexpr uint32_t kHalf = TAudioData::kHalfBytes;

class SoundModuleStream : public PlayerTest {
 protected:
  void SetUp() override {
    PlayerTest::SetUp();
    StartSixteenBitPlayer();
  }
  // A wave whose data is bytes long (a whole number of frames).
  QString Stream(const QString& name, uint32_t bytes, const QByteArray& after = {}) {
    WaveSpec spec;
    spec.data = CountingData(bytes / 4);
    spec.after = after;
    data = spec.data;
    return WriteWave(name, spec);
  }
  QByteArray data;
};

TEST_F(SoundModuleStream, WithoutLoopPlaysToTheEndRewindsAndPlaysAgain) {
  const uint32_t bytes = kRing + kHalf + 1000;
  const TAudioInit r = Request(Stream("song.wav", bytes), 0, true);
  ASSERT_TRUE(player->AddWave(&r));
  TAudioData* wave = player->FindWave(0);
  ASSERT_TRUE(wave->Streaming());
  ASSERT_TRUE(player->Play(0));
  const QByteArray out = Render(bytes + 8000);
  EXPECT_TRUE(out.left(bytes) == data);
  EXPECT_EQ(out.mid(bytes), QByteArray(8000, 0));
  ASSERT_EQ(atitudes.size(), 1u);
  EXPECT_EQ(atitudes[0].channel, 0);
  EXPECT_EQ(atitudes[0].code, 0);
  ASSERT_EQ(player->FindWave(0), wave);
  EXPECT_EQ(wave->StreamPos(), wave->DataOffset());
  EXPECT_FALSE(wave->EndPending());
  uint32_t cursor = 1;
  ASSERT_EQ(wave->Buffer()->GetCurrentPosition(&cursor, nullptr), platform::kDsOk);
  EXPECT_EQ(cursor, 0u);
  ASSERT_TRUE(player->Play(0));
  EXPECT_TRUE(Render(20000) == data.left(20000));
}

TEST_F(SoundModuleStream, WithLoopStartsAgainAtOnceAndNotifiesEachPass) {
  const uint32_t bytes = kRing + 4000;
  const TAudioInit r = Request(Stream("loop.wav", bytes), 2, true, true);
  ASSERT_TRUE(player->AddWave(&r));
  ASSERT_TRUE(player->Play(2));
  // The buffer stops itself on the last byte; the restart follows that notification.
  EXPECT_TRUE(Render(bytes) == data);
  EXPECT_EQ(atitudes.size(), 1u);
  EXPECT_TRUE(Render(bytes) == data);
  EXPECT_EQ(atitudes.size(), 2u);
  EXPECT_TRUE(Render(kHalf) == data.left(kHalf));
}

TEST_F(SoundModuleStream, WholeNumberOfHalvesEndsNormally) {
  // After the first fill the rest is exactly one half: it is known to be the end when it is
  // read, so the wave ends with code 0 and nothing is cut.
  const uint32_t bytes = kRing + kHalf;
  const TAudioInit r = Request(Stream("halves.wav", bytes), 1, true, false, true);
  ASSERT_TRUE(player->AddWave(&r));
  ASSERT_TRUE(player->Play(1));
  const QByteArray out = Render(bytes + 4000);
  EXPECT_TRUE(out.left(bytes) == data);
  ASSERT_EQ(atitudes.size(), 1u);
  EXPECT_EQ(atitudes[0].code, 0);
  EXPECT_EQ(player->FindWave(1), nullptr);  // freed after play
}

TEST_F(SoundModuleStream, RefillThatFindsTheFileAtItsEndFailsWithCodeOne) {
  const uint32_t bytes = kRing + kHalf + 1000;
  const QString path = Stream("cut.wav", bytes);
  const TAudioInit r = Request(path, 3, true);
  ASSERT_TRUE(player->AddWave(&r));
  // Another program cuts the file behind the part already in the ring.
  ASSERT_TRUE(QFile::resize(path, kHeaderBytes + kRing));
  ASSERT_TRUE(player->Play(3));
  const QByteArray out = Render(kHalf + 8192);
  ASSERT_EQ(atitudes.size(), 1u);
  EXPECT_EQ(atitudes[0].channel, 3);
  EXPECT_EQ(atitudes[0].code, 1);
  EXPECT_EQ(player->FindWave(3), nullptr);
  EXPECT_EQ(player->Device()->BufferCount(), 0);
  EXPECT_TRUE(out.left(kHalf) == data.left(kHalf));
}

TEST_F(SoundModuleStream, StopsAtTheDataChunksEnd) {
  const uint32_t bytes = kRing + 2000;
  const TAudioInit r = Request(Stream("tail.wav", bytes, "LIST" + QByteArray(5000, 'U')), 0);
  ASSERT_TRUE(player->AddWave(&r));
  ASSERT_TRUE(player->Play(0));
  const QByteArray out = Render(bytes + 8000);
  EXPECT_TRUE(out.left(bytes) == data);
  EXPECT_EQ(out.mid(bytes), QByteArray(8000, 0));  // the chunk behind is not played
}

TEST_F(SoundModuleStream, ResumesFromThePlayCursorAfterDeactivation) {
  const uint32_t bytes = 2 * kRing;
  const TAudioInit r = Request(Stream("resume.wav", bytes), 0);
  ASSERT_TRUE(player->AddWave(&r));
  ASSERT_TRUE(player->Play(0));
  EXPECT_TRUE(Render(kRing + 40000) == data.left(kRing + 40000));
  player->SetActive(false);
  TAudioData* wave = player->FindWave(0);
  EXPECT_EQ(wave->StreamPos(), wave->DataOffset() + kRing + 40000);
  player->SetActive(true);
  ASSERT_TRUE(player->Play(0));
  // The rest fits in the ring: it ends there, and the next play starts from the beginning.
  EXPECT_TRUE(Render(bytes - kRing - 40000) == data.mid(kRing + 40000));
  EXPECT_EQ(Render(4000), QByteArray(4000, 0));
  ASSERT_TRUE(player->Play(0));
  EXPECT_TRUE(Render(4000) == data.left(4000));
}

TEST_F(SoundModuleStream, StopKeepsThePlaceAndPlayGoesOn) {
  const uint32_t bytes = kRing + 100000;
  const TAudioInit r = Request(Stream("pause.wav", bytes), 0, true);
  ASSERT_TRUE(player->AddWave(&r));
  ASSERT_TRUE(player->Play(0));
  Render(kHalf + 8000);
  player->Stop(0);
  EXPECT_EQ(Render(8000), QByteArray(8000, 0));
  EXPECT_TRUE(atitudes.empty());  // stopping a stream is not its end
  ASSERT_TRUE(player->Play(0));
  EXPECT_TRUE(Render(bytes - kHalf - 8000) == data.mid(kHalf + 8000));
  EXPECT_EQ(atitudes.size(), 1u);
}

}  // namespace
