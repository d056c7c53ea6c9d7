#include <gtest/gtest.h>

#include <QCoreApplication>
#include <algorithm>
#include <vector>

#include "platform/VirtualAudioOutput.h"
#include "platform/WaveOut.h"

using namespace platform;

namespace {

class Recorder : public QObject {
 public:
  std::vector<WaveHeader*> done;
  bool event(QEvent* e) override {
    if (e->type() != WaveOutDoneEvent::kType) return QObject::event(e);
    done.push_back(static_cast<WaveOutDoneEvent*>(e)->Header);
    return true;
  }
};

void Pump() {
  for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
}

PcmWaveFormat Format(uint16_t channels, uint32_t rate, uint16_t bits) {
  PcmWaveFormat f;
  f.Channels = channels;
  f.SamplesPerSec = rate;
  f.BitsPerSample = bits;
  f.BlockAlign = uint16_t(channels * bits / 8);
  f.AvgBytesPerSec = rate * f.BlockAlign;
  return f;
}

int16_t Sample(const QByteArray& bytes, int index) {
  return int16_t(uint16_t(uint8_t(bytes[2 * index]) | (uint8_t(bytes[2 * index + 1]) << 8)));
}

struct Block {
  std::vector<uint8_t> data;
  WaveHeader header;
  explicit Block(std::vector<uint8_t> bytes) : data(std::move(bytes)) {
    header.Data = data.data();
    header.BufferLength = uint32_t(data.size());
  }
};

class WaveOutTest : public ::testing::Test {
 protected:
  void SetUp() override { SetAudioSystem(&sys); }
  void TearDown() override { SetAudioSystem(nullptr); }
  VirtualAudioSystem sys;  // stream: 22050 Hz, stereo, 16 bits
  Recorder recorder;
};

}  // namespace

TEST_F(WaveOutTest, BlocksPlayInOrderAndComeBackDoneInWriteOrder) {
  std::unique_ptr<WaveOut> dev;
  ASSERT_EQ(WaveOut::Open(0, Format(2, 22050, 8), &recorder, &dev), kMmNoError);
  Block a({200, 56, 129, 127}), b({255, 0}), c({128, 128, 10, 250});
  for (Block* blk : {&a, &b, &c}) {
    ASSERT_EQ(dev->Prepare(&blk->header), kMmNoError);
    ASSERT_EQ(dev->Write(&blk->header), kMmNoError);
  }
  EXPECT_EQ(dev->Unprepare(&a.header), kWaveStillPlaying);
  sys.PullBytes(3 * 4);  // three stream frames: all of a, half of c... a has 2 frames, b 1
  Pump();
  ASSERT_EQ(recorder.done.size(), 2u);
  EXPECT_EQ(recorder.done[0], &a.header);
  EXPECT_EQ(recorder.done[1], &b.header);
  uint32_t pos = 0;
  ASSERT_EQ(dev->Position(&pos), kMmNoError);
  EXPECT_EQ(pos, 6u);
  sys.PullBytes(4 * 4);  // c's two frames, then silence
  Pump();
  ASSERT_EQ(recorder.done.size(), 3u);
  EXPECT_EQ(recorder.done[2], &c.header);
  EXPECT_TRUE(c.header.Flags.load() & kWhdrDone);
  EXPECT_FALSE(c.header.Flags.load() & kWhdrInQueue);

  const QByteArray out = sys.TakeOutput();
  const std::vector<int> expected = {72 << 8, -72 << 8,  1 << 8,   -1 << 8, 127 << 8, -128 << 8, 0,
                                     0,       -118 << 8, 122 << 8, 0,       0,        0,         0};
  ASSERT_EQ(out.size(), int(expected.size()) * 2);
  for (size_t i = 0; i < expected.size(); ++i) EXPECT_EQ(Sample(out, int(i)), expected[i]) << i;
  EXPECT_EQ(dev->Close(), kMmNoError);
  EXPECT_EQ(dev->Write(&a.header), kMmInvalHandle);
}

TEST_F(WaveOutTest, ResetReturnsEveryQueuedBlockAndPauseHoldsThePosition) {
  std::unique_ptr<WaveOut> dev;
  ASSERT_EQ(WaveOut::Open(kWaveMapper, Format(1, 22050, 8), &recorder, &dev), kMmNoError);
  std::vector<std::unique_ptr<Block>> blocks;
  for (int i = 0; i < 4; ++i) {
    blocks.push_back(std::make_unique<Block>(std::vector<uint8_t>(100, uint8_t(130 + i))));
    ASSERT_EQ(dev->Write(&blocks.back()->header), kWaveUnprepared);
    dev->Prepare(&blocks.back()->header);
    dev->Write(&blocks.back()->header);
  }
  sys.PullBytes(150 * 4);
  ASSERT_EQ(dev->Pause(), kMmNoError);
  sys.PullBytes(1000 * 4);  // paused: silence, the position stays
  uint32_t pos = 0;
  dev->Position(&pos);
  EXPECT_EQ(pos, 150u);
  EXPECT_EQ(dev->Close(), kWaveStillPlaying);
  ASSERT_EQ(dev->Reset(), kMmNoError);
  Pump();
  ASSERT_EQ(recorder.done.size(), 4u);
  for (size_t i = 0; i < 4; ++i) EXPECT_EQ(recorder.done[i], &blocks[i]->header);
  dev->Position(&pos);
  EXPECT_EQ(pos, 0u);
  EXPECT_EQ(dev->Unprepare(&blocks[3]->header), kMmNoError);
  const QByteArray out = sys.TakeOutput();
  EXPECT_EQ(Sample(out, 2 * 149), 3 << 8);
  EXPECT_EQ(Sample(out, 2 * 150), 0);
  EXPECT_EQ(dev->Close(), kMmNoError);
}

TEST_F(WaveOutTest, ConvertsRateAndAppliesTheLeftRightVolume) {
  std::unique_ptr<WaveOut> dev;
  ASSERT_EQ(WaveOut::Open(0, Format(1, 11025, 16), &recorder, &dev), kMmNoError);
  ASSERT_EQ(dev->SetVolume(0x0000'8000), kMmNoError);  // left about half, right silent
  std::vector<uint8_t> pcm;
  for (int16_t s : {int16_t(1000), int16_t(3000), int16_t(-3000)}) {
    pcm.push_back(uint8_t(s & 0xFF));
    pcm.push_back(uint8_t(uint16_t(s) >> 8));
  }
  Block blk(pcm);
  dev->Prepare(&blk.header);
  dev->Write(&blk.header);
  sys.PullBytes(6 * 4);
  const QByteArray out = sys.TakeOutput();
  // Each source frame gives two stream frames, the second halfway to the next source frame;
  // the last one is held.
  const int left[] = {500, 1000, 1500, 0, -1500, -1500};
  for (int i = 0; i < 6; ++i) {
    EXPECT_EQ(Sample(out, 2 * i), left[i]) << i;
    EXPECT_EQ(Sample(out, 2 * i + 1), 0) << i;
  }
  uint32_t volume = 0;
  EXPECT_EQ(WaveOutGetVolume(0, &volume), kMmNoError);
  EXPECT_EQ(volume, 0x8000u);
  dev.reset();  // the device hands its block back while the block still exists
}

TEST_F(WaveOutTest, RefusesBadRequestsAndADeviceHeldElsewhere) {
  std::unique_ptr<WaveOut> dev;
  EXPECT_EQ(WaveOut::Open(1, Format(2, 22050, 8), &recorder, &dev), kMmBadDeviceId);
  PcmWaveFormat bad = Format(2, 22050, 8);
  bad.BlockAlign = 1;
  EXPECT_EQ(WaveOut::Query(0, bad), kWaveBadFormat);
  EXPECT_EQ(WaveOut::Query(0, Format(2, 22050, 12)), kWaveBadFormat);
  sys.SetHeld(true);
  EXPECT_EQ(WaveOut::Query(0, Format(2, 22050, 8)), kMmNoError) << "a query opens nothing";
  EXPECT_EQ(WaveOut::Open(0, Format(2, 22050, 8), &recorder, &dev), kMmAllocated);
  EXPECT_FALSE(dev);

  AudioDeviceInfo sync;
  sync.Name = QStringLiteral("A rather long product name for a wave device");
  sync.Synchronous = true;
  sync.VolumeControl = false;
  sys.SetDevices({sync});
  WaveOutCaps caps;
  ASSERT_EQ(WaveOutGetCaps(0, &caps), kMmNoError);
  EXPECT_EQ(caps.ProductName.size(), 31);
  EXPECT_EQ(caps.Support, kWaveCapsSync);
  sys.SetDevices({});
  EXPECT_EQ(WaveOutDeviceCount(), 0);
  EXPECT_EQ(WaveOutGetCaps(0, &caps), kMmBadDeviceId);
}

// A client like the mixer: it refills a block when the block is reported, and may also reuse any
// block whose done flag it sees (as its shift strategy does between reports). Neither may cut
// the device's list: every block must still be reported, and the sound must not break.
TEST_F(WaveOutTest, BlockWrittenAgainAsSoonAsItIsDoneKeepsEveryBlockReported) {
  // The blocks outlive the device, whose closing returns those still queued.
  std::vector<std::unique_ptr<Block>> blocks;
  std::unique_ptr<WaveOut> dev;
  ASSERT_EQ(WaveOut::Open(0, Format(1, 22050, 8), &recorder, &dev), kMmNoError);
  int writes = 0;
  auto write = [&](Block& b) {
    std::fill(b.data.begin(), b.data.end(), uint8_t(140 + writes % 50));
    ASSERT_EQ(dev->Write(&b.header), kMmNoError);
    ++writes;
  };
  for (int i = 0; i < 4; ++i) {
    blocks.push_back(std::make_unique<Block>(std::vector<uint8_t>(100)));
    dev->Prepare(&blocks.back()->header);
    write(*blocks.back());
  }
  size_t reported = 0;
  sys.PullBytes(150 * 4);  // the first block has played, the second is half way
  for (auto& b : blocks) {
    if (b->header.Flags.load() & kWhdrDone) write(*b);
  }
  for (int step = 0; step < 40; ++step) {
    Pump();
    for (; reported < recorder.done.size(); ++reported) {
      WaveHeader* h = recorder.done[reported];
      for (auto& b : blocks) {
        if (&b->header == h) write(*b);
      }
    }
    sys.PullBytes(50 * 4);
  }
  const QByteArray out = sys.TakeOutput();
  ASSERT_EQ(out.size(), (150 + 40 * 50) * 4);
  for (int i = 0; i < out.size() / 2; ++i) ASSERT_NE(Sample(out, i), 0) << "silence at " << i;
  Pump();
  EXPECT_GE(recorder.done.size(), size_t(writes - 4)) << "blocks went unreported";
}
