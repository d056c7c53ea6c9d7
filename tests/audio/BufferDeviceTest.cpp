#include <gtest/gtest.h>

#include <QtEndian>
#include <cstring>
#include <thread>
#include <vector>

#include "platform/BufferDevice.h"
#include "platform/Event.h"

using namespace platform;

namespace {

WaveFormatEx Pcm(uint16_t channels, uint32_t rate, uint16_t bits) {
  WaveFormatEx f;
  f.Channels = channels;
  f.SamplesPerSec = rate;
  f.BitsPerSample = bits;
  f.BlockAlign = static_cast<uint16_t>(channels * bits / 8);
  f.AvgBytesPerSec = f.BlockAlign * rate;
  return f;
}

std::unique_ptr<SoundBuffer> MakeBuffer(BufferDevice& device, const WaveFormatEx& format,
                                        uint32_t bytes, uint32_t flags = kDsbCapsCtrlVolume) {
  BufferDesc desc{20, flags, bytes, 0, &format};
  std::unique_ptr<SoundBuffer> buffer;
  EXPECT_EQ(device.CreateSoundBuffer(desc, buffer), kDsOk);
  return buffer;
}

void Fill(SoundBuffer& buffer, const std::vector<uint8_t>& bytes) {
  LockRegions r;
  ASSERT_EQ(buffer.Lock(0, 0, r, kDsbLockEntireBuffer), kDsOk);
  ASSERT_EQ(r.Bytes1, bytes.size());
  std::memcpy(r.Ptr1, bytes.data(), bytes.size());
  ASSERT_EQ(buffer.Unlock(r), kDsOk);
}

std::vector<uint8_t> Samples16(const std::vector<int16_t>& values) {
  std::vector<uint8_t> bytes;
  for (int16_t v : values) {
    bytes.push_back(static_cast<uint8_t>(v & 0xFF));
    bytes.push_back(static_cast<uint8_t>((v >> 8) & 0xFF));
  }
  return bytes;
}

std::vector<int16_t> Render16(BufferDevice& device, size_t samples) {
  std::vector<uint8_t> out(samples * 2);
  device.Render(out.data(), out.size());
  std::vector<int16_t> values(samples);
  for (size_t i = 0; i < samples; ++i) {
    values[i] = static_cast<int16_t>(static_cast<uint16_t>(out[2 * i] | (out[2 * i + 1] << 8)));
  }
  return values;
}

class BufferDeviceTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(device.SetCooperativeLevel(0, kDssclNormal), kDsOk); }
  BufferDevice device{AudioFormat{22050, 2, 16}};
};

TEST_F(BufferDeviceTest, MixesTwoBuffersAtTheirVolumesAndClips) {
  auto a = MakeBuffer(device, Pcm(2, 22050, 16), 16);
  auto b = MakeBuffer(device, Pcm(2, 22050, 16), 16);
  Fill(*a, Samples16({1000, -1000, 30000, 100, 1000, -1000, -30000, 7}));
  Fill(*b, Samples16({-3000, 3000, 30000, 0, 2001, 2001, -30000, 7}));
  ASSERT_EQ(b->SetVolume(-602), kDsOk);  // gain 0.50003, rounded to nearest
  ASSERT_EQ(a->Play(0), kDsOk);
  ASSERT_EQ(b->Play(0), kDsOk);
  EXPECT_EQ(Render16(device, 10),
            (std::vector<int16_t>{-500, 500, 32767, 100, 2001, 1, -32768, 11, 0, 0}));
  // Both played once and rewound.
  uint32_t status = 9;
  ASSERT_EQ(a->GetStatus(status), kDsOk);
  EXPECT_EQ(status, 0u);
}

TEST_F(BufferDeviceTest, ConvertsEightBitMonoAndRate) {
  // 11025 Hz mono 8-bit into 22050 Hz stereo 16-bit: each frame twice, the second one halfway
  // to the next frame.
  auto a = MakeBuffer(device, Pcm(1, 11025, 8), 4);
  Fill(*a, {128, 192, 64, 128});
  ASSERT_EQ(a->Play(0), kDsOk);
  EXPECT_EQ(Render16(device, 18),
            (std::vector<int16_t>{0, 0, 8192, 8192, 16384, 16384, 0, 0, -16384, -16384, -8192,
                                  -8192, 0, 0, 0, 0, 0, 0}));
}

TEST_F(BufferDeviceTest, EightBitAndMonoOutputs) {
  BufferDevice mono8(AudioFormat{22050, 1, 8});
  ASSERT_EQ(mono8.SetCooperativeLevel(0, kDssclNormal), kDsOk);
  auto a = MakeBuffer(mono8, Pcm(2, 22050, 16), 8);
  Fill(*a, Samples16({256, 768, -32768, -32768}));
  ASSERT_EQ(a->Play(0), kDsOk);
  uint8_t out[3];
  mono8.Render(out, 3);
  EXPECT_EQ(out[0], 130);  // (256 + 768) / 2 = 512 -> 2 + 128
  EXPECT_EQ(out[1], 0);
  EXPECT_EQ(out[2], 128);  // silence after the end
}

TEST_F(BufferDeviceTest, NotificationsFireOnceWhenTheirByteIsPlayed) {
  auto a = MakeBuffer(device, Pcm(2, 22050, 16), 40, kDsbCapsCtrlPositionNotify);
  auto mid = std::make_shared<Event>();
  auto last = std::make_shared<Event>();
  auto stop = std::make_shared<Event>();
  PositionNotification positions[] = {{9, mid}, {39, last}, {kDsbPnOffsetStop, stop}};
  ASSERT_EQ(a->SetNotificationPositions(positions), kDsOk);
  ASSERT_EQ(a->Play(kDsbPlayLooping), kDsOk);
  EXPECT_EQ(a->SetNotificationPositions(positions), kDsErrInvalidCall);  // not while playing
  Render16(device, 4);  // frames 0 and 1: bytes 0..7
  EXPECT_FALSE(mid->IsSet());
  Render16(device, 2);  // frame 2: bytes 8..11
  EXPECT_TRUE(mid->IsSet());
  mid->Reset();
  Render16(device, 14);  // to the end of the first pass
  EXPECT_TRUE(last->IsSet());
  EXPECT_FALSE(mid->IsSet());
  EXPECT_FALSE(stop->IsSet());
  uint32_t play = 1;
  ASSERT_EQ(a->GetCurrentPosition(&play, nullptr), kDsOk);
  EXPECT_EQ(play, 0u);  // wrapped
  ASSERT_EQ(a->Stop(), kDsOk);
  EXPECT_TRUE(stop->IsSet());
  stop->Reset();
  ASSERT_EQ(a->Stop(), kDsOk);  // stopping a stopped buffer tells nobody
  EXPECT_FALSE(stop->IsSet());
}

TEST_F(BufferDeviceTest, OncePlayedBufferEndsRewoundAndSignalsStop) {
  auto a = MakeBuffer(device, Pcm(2, 22050, 16), 8, kDsbCapsCtrlPositionNotify);
  auto stop = std::make_shared<Event>();
  PositionNotification positions[] = {{kDsbPnOffsetStop, stop}};
  ASSERT_EQ(a->SetNotificationPositions(positions), kDsOk);
  ASSERT_EQ(a->SetCurrentPosition(4), kDsOk);
  ASSERT_EQ(a->SetCurrentPosition(0), kDsOk);
  ASSERT_EQ(a->Play(0), kDsOk);
  Render16(device, 2);
  EXPECT_FALSE(stop->IsSet());
  Render16(device, 2);
  EXPECT_TRUE(stop->IsSet());
  uint32_t play = 1, status = 1;
  ASSERT_EQ(a->GetCurrentPosition(&play, nullptr), kDsOk);
  ASSERT_EQ(a->GetStatus(status), kDsOk);
  EXPECT_EQ(play, 0u);
  EXPECT_EQ(status, 0u);
  EXPECT_EQ(a->SetCurrentPosition(8), kDsErrInvalidParam);
}

TEST_F(BufferDeviceTest, StopMarkStopsAtItsByteAndKeepsTheCursor) {
  auto a = MakeBuffer(device, Pcm(2, 22050, 16), 16);
  Fill(*a, Samples16({1, 1, 2, 2, 3, 3, 4, 4}));
  auto done = std::make_shared<Event>();
  ASSERT_EQ(a->SetStopMark(8, done), kDsOk);
  ASSERT_EQ(a->Play(kDsbPlayLooping), kDsOk);
  EXPECT_EQ(Render16(device, 6), (std::vector<int16_t>{1, 1, 2, 2, 0, 0}));
  EXPECT_TRUE(done->IsSet());
  uint32_t play = 0;
  ASSERT_EQ(a->GetCurrentPosition(&play, nullptr), kDsOk);
  EXPECT_EQ(play, 8u);
  // A mark at the buffer's end stops at the wrap.
  ASSERT_EQ(a->SetStopMark(16, done), kDsOk);
  ASSERT_EQ(a->Play(kDsbPlayLooping), kDsOk);
  EXPECT_EQ(Render16(device, 6), (std::vector<int16_t>{3, 3, 4, 4, 0, 0}));
  EXPECT_EQ(a->SetStopMark(0, done), kDsErrInvalidParam);
  EXPECT_EQ(a->SetStopMark(17, done), kDsErrInvalidParam);
}

TEST_F(BufferDeviceTest, LockWrapsIntoTwoRegionsAndKeepsUntouchedBytes) {
  auto a = MakeBuffer(device, Pcm(1, 22050, 8), 10);
  Fill(*a, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9});
  LockRegions r;
  ASSERT_EQ(a->Lock(8, 4, r, 0), kDsOk);
  ASSERT_EQ(r.Bytes1, 2u);
  ASSERT_EQ(r.Bytes2, 2u);
  EXPECT_EQ(r.Ptr1[0], 8);
  EXPECT_EQ(r.Ptr2[0], 0);
  LockRegions again;
  EXPECT_EQ(a->Lock(0, 1, again, 0), kDsErrInvalidCall);  // one lock at a time
  r.Ptr1[1] = 90;
  r.Ptr2[0] = 100;
  r.Bytes2 = 1;  // only the first byte of the second region is written back
  r.Ptr2[1] = 111;
  ASSERT_EQ(a->Unlock(r), kDsOk);
  ASSERT_EQ(a->Lock(0, 0, r, kDsbLockEntireBuffer), kDsOk);
  EXPECT_EQ(std::vector<uint8_t>(r.Ptr1, r.Ptr1 + 10),
            (std::vector<uint8_t>{100, 1, 2, 3, 4, 5, 6, 7, 8, 90}));
  ASSERT_EQ(a->Unlock(r), kDsOk);
  EXPECT_EQ(a->Lock(10, 1, r, 0), kDsErrInvalidParam);
  EXPECT_EQ(a->Lock(0, 11, r, 0), kDsErrInvalidParam);
}

TEST_F(BufferDeviceTest, LostBuffersRefusePlayAndLockUntilRestored) {
  auto a = MakeBuffer(device, Pcm(2, 22050, 16), 16);
  ASSERT_EQ(a->Play(kDsbPlayLooping), kDsOk);
  device.LoseBuffers();
  uint32_t status = 0;
  ASSERT_EQ(a->GetStatus(status), kDsOk);
  EXPECT_EQ(status, kDsbStatusBufferLost);
  EXPECT_EQ(a->Play(0), kDsErrBufferLost);
  LockRegions r;
  EXPECT_EQ(a->Lock(0, 4, r, 0), kDsErrBufferLost);
  auto fresh = MakeBuffer(device, Pcm(2, 22050, 16), 16);
  EXPECT_EQ(fresh->Play(0), kDsOk);  // buffers made afterwards are sound
  ASSERT_EQ(a->Restore(), kDsOk);
  EXPECT_EQ(a->Play(0), kDsOk);
}

TEST_F(BufferDeviceTest, VolumeNeedsItsControlAndStaysInRange) {
  auto plain = MakeBuffer(device, Pcm(2, 22050, 16), 16, 0);
  int32_t v = 5;
  EXPECT_EQ(plain->SetVolume(-100), kDsErrControlUnavail);
  EXPECT_EQ(plain->GetVolume(v), kDsErrControlUnavail);
  auto a = MakeBuffer(device, Pcm(2, 22050, 16), 16);
  EXPECT_EQ(a->SetVolume(-10001), kDsErrInvalidParam);
  EXPECT_EQ(a->SetVolume(1), kDsErrInvalidParam);
  ASSERT_EQ(a->SetVolume(-2000), kDsOk);
  ASSERT_EQ(a->GetVolume(v), kDsOk);
  EXPECT_EQ(v, -2000);
  EXPECT_EQ(VolumeToGainQ16(0), 65536);
  EXPECT_EQ(VolumeToGainQ16(-2000), 6554);  // -20 dB is a tenth
  EXPECT_EQ(VolumeToGainQ16(-10000), 0);    // the minimum is silence
}

TEST_F(BufferDeviceTest, CreationChecksDescriptionFormatAndLevel) {
  BufferDevice fresh(AudioFormat{});
  std::unique_ptr<SoundBuffer> out;
  WaveFormatEx f = Pcm(2, 22050, 16);
  BufferDesc desc{20, 0, 16, 0, &f};
  EXPECT_EQ(fresh.CreateSoundBuffer(desc, out), kDsErrInvalidCall);  // no cooperative level
  EXPECT_EQ(fresh.SetCooperativeLevel(0, 5), kDsErrInvalidParam);
  ASSERT_EQ(fresh.SetCooperativeLevel(0, kDssclNormal), kDsOk);
  EXPECT_EQ(fresh.CreateSoundBuffer(desc, out), kDsOk);
  const auto refused = [&](WaveFormatEx format, uint32_t bytes) {
    BufferDesc d{20, 0, bytes, 0, &format};
    return fresh.CreateSoundBuffer(d, out) == kDsErrInvalidParam && !out;
  };
  WaveFormatEx bad = f;
  bad.FormatTag = 2;
  EXPECT_TRUE(refused(bad, 16));
  bad = f;
  bad.BlockAlign = 0;
  EXPECT_TRUE(refused(bad, 16));
  bad = Pcm(3, 22050, 16);
  EXPECT_TRUE(refused(bad, 16));
  bad = Pcm(2, 0, 16);
  EXPECT_TRUE(refused(bad, 16));
  EXPECT_TRUE(refused(f, 2));
  EXPECT_TRUE(refused(f, 0x10000000));
  desc.Size = 36;
  EXPECT_EQ(fresh.CreateSoundBuffer(desc, out), kDsErrInvalidParam);
}

TEST_F(BufferDeviceTest, PrimaryBufferFormatNeedsPriorityAndItsVolumeScalesTheMix) {
  std::unique_ptr<SoundBuffer> primary;
  BufferDesc desc{20, kDsbCapsPrimaryBuffer | kDsbCapsCtrlVolume, 0, 0, nullptr};
  ASSERT_EQ(device.CreateSoundBuffer(desc, primary), kDsOk);
  EXPECT_EQ(primary->SetFormat(Pcm(2, 22050, 16)), kDsErrPrioLevelNeeded);
  ASSERT_EQ(device.SetCooperativeLevel(0, kDssclPriority), kDsOk);
  ASSERT_EQ(primary->SetFormat(Pcm(2, 44100, 16)), kDsOk);
  WaveFormatEx got;
  ASSERT_EQ(primary->GetFormat(got), kDsOk);
  EXPECT_EQ(got.SamplesPerSec, 44100u);
  LockRegions r;
  EXPECT_NE(primary->Lock(0, 4, r, 0), kDsOk);
  ASSERT_EQ(primary->SetVolume(-2000), kDsOk);
  auto a = MakeBuffer(device, Pcm(2, 22050, 16), 4);
  Fill(*a, Samples16({10000, -10000}));
  ASSERT_EQ(a->Play(0), kDsOk);
  EXPECT_EQ(Render16(device, 2), (std::vector<int16_t>{1000, -1000}));
}

TEST_F(BufferDeviceTest, ReleasedBufferStopsSounding) {
  auto a = MakeBuffer(device, Pcm(2, 22050, 16), 16);
  Fill(*a, Samples16({5, 5, 5, 5, 5, 5, 5, 5}));
  ASSERT_EQ(a->Play(kDsbPlayLooping), kDsOk);
  EXPECT_EQ(device.BufferCount(), 1);
  a.reset();
  EXPECT_EQ(device.BufferCount(), 0);
  EXPECT_EQ(Render16(device, 2), (std::vector<int16_t>{0, 0}));
}

TEST(EventTest, WaitAnyReturnsTheLowestSetIndexAndWakesAcrossThreads) {
  auto a = std::make_shared<Event>();
  auto b = std::make_shared<Event>();
  std::vector<std::shared_ptr<Event>> events{a, b};
  b->Set();
  EXPECT_EQ(Event::WaitAny(events), 1);
  a->Set();
  EXPECT_EQ(Event::WaitAny(events), 0);
  a->Reset();
  b->Reset();
  int woken = -1;
  std::thread waiter([&] { woken = Event::WaitAny(events); });
  b->Set();
  waiter.join();
  EXPECT_EQ(woken, 1);
  EXPECT_TRUE(b->IsSet());  // waiting does not reset
  EXPECT_EQ(Event::WaitAny({}), -1);
}

}  // namespace
