#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <condition_variable>
#include <mutex>

#include "platform/AudioOutputSdl.h"
#include "platform/VirtualAudioOutput.h"

using namespace platform;

namespace {

int16_t Sample(const QByteArray& bytes, int index) {
  return int16_t(uint16_t(uint8_t(bytes[2 * index]) | (uint8_t(bytes[2 * index + 1]) << 8)));
}

AudioRender Constant(int16_t value) {
  return [value](uint8_t* out, size_t bytes) {
    for (size_t i = 0; i + 1 < bytes; i += 2) {
      out[i] = uint8_t(uint16_t(value) & 0xFF);
      out[i + 1] = uint8_t(uint16_t(value) >> 8);
    }
  };
}

}  // namespace

TEST(AudioOutput, VirtualStreamSumsSourcesWithClampingAndCountsFramesExactly) {
  VirtualAudioSystem sys;  // 22050 Hz, stereo, 16 bits
  QString error;
  auto out = sys.AcquireOutput(&error);
  ASSERT_TRUE(out);
  EXPECT_EQ(sys.AcquireOutput(&error).get(), out.get()) << "one stream per process";

  // Nothing added: silence.
  sys.AdvanceMs(2);
  QByteArray bytes = sys.TakeOutput();
  ASSERT_EQ(bytes.size(), 44 * 4);
  EXPECT_EQ(bytes.count('\0'), bytes.size());

  const int a = out->AddSource(Constant(20000));
  const int b = out->AddSource(Constant(20000));
  const int c = out->AddSource(Constant(-1000));
  ASSERT_GE(a, 0);
  ASSERT_GE(c, 0);
  // Frames are counted from the total time: 2 ms give 44, 12 ms 264 and 22 ms 485 frames, so
  // ten steps of 1 ms give 220 frames (not 10 x 22) and the next 10 ms give 221.
  for (int i = 0; i < 10; ++i) sys.AdvanceMs(1);
  EXPECT_EQ(sys.TakeOutput().size(), 220 * 4);
  sys.AdvanceMs(10);
  bytes = sys.TakeOutput();
  ASSERT_EQ(bytes.size(), 221 * 4);
  EXPECT_EQ(Sample(bytes, 0), 31767) << "40000 clamps to 32767 before the third source";

  out->RemoveSource(a);
  out->RemoveSource(b);
  sys.PullBytes(8);
  bytes = sys.TakeOutput();
  ASSERT_EQ(bytes.size(), 8);
  EXPECT_EQ(Sample(bytes, 3), -1000);

  out->SetPaused(true);
  sys.AdvanceMs(100);
  EXPECT_TRUE(sys.TakeOutput().isEmpty());
}

TEST(AudioOutput, VirtualDeviceHeldByAnotherProgramRefusesToOpen) {
  VirtualAudioSystem sys;
  sys.SetHeld(true);
  QString error;
  EXPECT_FALSE(sys.AcquireOutput(&error));
  EXPECT_FALSE(error.isEmpty());
  sys.SetHeld(false);
  auto out = sys.AcquireOutput(&error);
  EXPECT_TRUE(out);
  sys.SetHeld(true);  // an open stream stays open
  EXPECT_EQ(sys.AcquireOutput(&error).get(), out.get());
  out.reset();
  EXPECT_EQ(sys.Output(), nullptr);
}

TEST(AudioOutput, SdlDiskDriverWritesTheRenderedStream) {
  QTemporaryDir dir;
  const QString file = dir.filePath("out.raw");
  qputenv("SDL_AUDIODRIVER", "disk");
  qputenv("SDL_DISKAUDIOFILE", file.toLocal8Bit());
  qputenv("SDL_DISKAUDIODELAY", "0");
  std::mutex mutex;
  std::condition_variable done;
  size_t sent = 0;
  constexpr size_t kWanted = 4096;
  {
    SdlAudioSystem sys;
    QString error;
    auto out = sys.AcquireOutput(&error);
    ASSERT_TRUE(out) << error.toStdString();
    if (sys.DriverName() != QLatin1String("disk")) GTEST_SKIP() << "SDL started elsewhere";
    // A ramp that counts frames, rendered into the stream until kWanted bytes went out.
    out->AddSource([&](uint8_t* dst, size_t bytes) {
      std::lock_guard lock(mutex);
      for (size_t i = 0; i < bytes; ++i)
        dst[i] = sent + i < kWanted ? uint8_t(1 + (sent + i) % 200) : 0;
      sent += bytes;
      if (sent >= kWanted) done.notify_all();
    });
    std::unique_lock lock(mutex);
    ASSERT_TRUE(done.wait_for(lock, std::chrono::seconds(10), [&] { return sent >= kWanted; }));
    lock.unlock();
    out.reset();
  }
  QFile f(file);
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  // The stream may have written silence before the source came in.
  QByteArray expected(kWanted, '\0');
  for (size_t i = 0; i < kWanted; ++i) expected[qsizetype(i)] = char(1 + i % 200);
  EXPECT_GE(f.readAll().indexOf(expected), 0);
}
