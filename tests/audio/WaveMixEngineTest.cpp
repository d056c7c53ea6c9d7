#include <algorithm>

#include "WaveMixTestSupport.h"

using namespace mixtest;

namespace {

std::vector<uint8_t> Constant(size_t n, uint8_t v) {
  return std::vector<uint8_t>(n, v);
}

size_t CountNot(const std::vector<uint8_t>& bytes, uint8_t v) {
  return size_t(std::count_if(bytes.begin(), bytes.end(), [v](uint8_t b) { return b != v; }));
}

class WaveMixEngine : public MixFixture {};

}  // namespace

TEST_F(WaveMixEngine, SumsSourcesWithClampingAndCopiesASingleSource) {
  TMixSession* s = StartStereo();
  MixOpenChannel(s, 0, kMixOpenAll);
  MixActivate(s, true);
  TMixWave* high = LoadSamples(s, Constant(100, 200));
  TMixWave* low = LoadSamples(s, Constant(100, 50));
  TMixWave* alone = LoadSamples(s, Constant(100, 200));
  // A request with mpWait waits for the next one, so that both start together.
  Play(s, 0, high, 0, mpWait);
  Play(s, 1, high);
  Play8(100);
  Play(s, 2, low, 0, mpWait | mpHighPriority);
  Play(s, 3, low, 0, mpHighPriority);
  Play8(100);
  Play(s, 4, alone, 0, mpHighPriority);
  Play8(100);
  std::vector<uint8_t> out = Output8();
  ASSERT_EQ(out.size(), 300u);
  EXPECT_EQ(CountNot({out.begin(), out.begin() + 100}, 255), 0u);
  EXPECT_EQ(CountNot({out.begin() + 100, out.begin() + 200}, 0), 0u);
  EXPECT_EQ(CountNot({out.begin() + 200, out.end()}, 200), 0u);
}

TEST_F(WaveMixEngine, LoopCountsPlayTheWaveOnceMoreThanTheCountOrUntilFlushed) {
  TMixSession* s = StartStereo();
  MixOpenChannel(s, 0, kMixOpenAll);
  MixActivate(s, true);
  std::vector<uint8_t> ramp;
  for (int i = 0; i < 300; ++i) ramp.push_back(uint8_t(130 + i % 100));
  TMixWave* w = LoadSamples(s, ramp);

  Play(s, 0, w, 2);
  Play8(9000);  // past the first block, whose done event retires the item
  std::vector<uint8_t> out = Output8();
  ASSERT_EQ(CountNot(out, 128), 900u) << "three times, every byte including the last";
  for (size_t i = 0; i < 900; ++i) ASSERT_EQ(out[i], ramp[i % 300]) << i;
  EXPECT_EQ(s->Queues[0], nullptr) << "retired";

  Play(s, 1, w, kMixLoopForever);
  EXPECT_EQ(s->Queues[1]->End, kMixNever);
  Play8(40000);  // far more than the twelve blocks hold: the refill keeps it going
  EXPECT_EQ(CountNot(Output8(), 128), 40000u);
  MixFlushChannel(s, 1, 0);
  Play8(100);
  out = Output8();
  EXPECT_EQ(CountNot(out, 128), 0u) << "the flush remixes from the play position";
}

TEST_F(WaveMixEngine, LeastRecentlyUsedChannelChoice) {
  TMixSession* s = StartStereo();
  MixOpenChannel(s, 3, kMixOpenCount);
  MixActivate(s, true);
  TMixWave* w = LoadSamples(s, Constant(64, 140));
  // Stamps 5, 3 and 9 on channels 0, 1 and 2, all busy.
  for (int ch : {0, 2, 1, 2, 0, 2, 2, 2, 2}) Play(s, ch, w, kMixLoopForever);
  ASSERT_EQ(s->Stamps[0], 5u);
  ASSERT_EQ(s->Stamps[1], 3u);
  ASSERT_EQ(s->Stamps[2], 9u);
  TMixPlayParams p;
  p.Session = s;
  p.Channel = 7;
  p.Wave = w;
  p.Flags = mpUseLRUChannel;
  MixPlay(p);
  EXPECT_EQ(p.Channel, 1);
  EXPECT_EQ(s->Stamps[1], 10u);

  MixFlushChannel(s, 0, kMixNoRemix);
  p.Channel = 5;
  MixPlay(p);
  EXPECT_EQ(p.Channel, 0) << "an idle channel 0 is taken at once";
}

TEST_F(WaveMixEngine, HandlerRunsOncePerFinishedChannelInOrderAfterTheRefill) {
  WriteIni("[default]\nSamplesPerSec=22\n[Virtual Wave Out]\nWaveBlockLen=2048\n");
  TMixSession* s = StartStereo();
  MixOpenChannel(s, 0, kMixOpenAll);
  MixActivate(s, true);
  struct Call {
    int sender, channel, queued;
  };
  std::vector<Call> calls;
  MixSetNotifyHandler([&](int32_t sender, int32_t channel) {
    calls.push_back({sender, channel, MixQueuedBlocks()});
  });
  TMixWave* shortWave = LoadSamples(s, Constant(500, 150));
  TMixWave* longWave = LoadSamples(s, Constant(30000, 140));
  Play(s, 6, longWave, 0, mpWait);
  Play(s, 3, shortWave, 0, mpWait);
  Play(s, 1, shortWave, 1);
  ASSERT_EQ(MixQueuedBlocks(), 12);
  Play8(2048);  // the first block is done: both short items have ended
  ASSERT_EQ(calls.size(), 2u);
  EXPECT_EQ(calls[0].channel, 1);
  EXPECT_EQ(calls[1].channel, 3);
  EXPECT_EQ(calls[0].sender, 0);
  EXPECT_EQ(calls[0].queued, 12) << "the freed block was mixed and queued again first";
  Play8(30000);
  ASSERT_EQ(calls.size(), 3u);
  EXPECT_EQ(calls[2].channel, 6);
}

TEST_F(WaveMixEngine, HighPriorityWaveIsRemixedIntoQueuedBlocksExactly) {
  WriteIni("[Virtual Wave Out]\nWaveBlockLen=2048\n");
  TMixSession* s = StartStereo();
  MixOpenChannel(s, 0, kMixOpenAll);
  MixActivate(s, true);
  std::vector<uint8_t> a, b, c;
  for (int i = 0; i < 3000; ++i) a.push_back(uint8_t(130 + i % 70));
  for (int i = 0; i < 5000; ++i) b.push_back(uint8_t(20 + i % 21));
  for (int i = 0; i < 1000; ++i) c.push_back(uint8_t(140 + i % 21));
  TMixWave* wa = LoadSamples(s, a);
  TMixWave* wb = LoadSamples(s, b);
  TMixWave* wc = LoadSamples(s, c);
  Play(s, 0, wa);
  Play(s, 1, wb);  // queued after what is mixed: it starts at 4096, after A's block
  EXPECT_EQ(s->Queues[1]->Start, 4096u);
  EXPECT_EQ(MixQueuedBlocks(), 5);
  sys.PullBytes(2000 * 2);
  Play(s, 2, wc, 0, mpHighPriority);  // starts where the device plays now: 2000
  EXPECT_EQ(s->Queues[2]->Start, 2000u);
  EXPECT_EQ(MixCorrection(), 0);
  Play8(12000);

  // The timeline, built independently: A from 0, B from 4096, C from 2000.
  std::vector<uint8_t> expected(10192, 128);
  for (size_t t = 0; t < expected.size(); ++t) {
    int v = 128;
    if (t < 3000) v += a[t] - 128;
    if (t >= 4096 && t < 9096) v += b[t - 4096] - 128;
    if (t >= 2000 && t < 3000) v += c[t - 2000] - 128;
    expected[t] = uint8_t(std::clamp(v, 0, 255));
  }
  std::vector<uint8_t> out = Output8();
  ASSERT_GE(out.size(), expected.size());
  for (size_t t = 0; t < expected.size(); ++t) ASSERT_EQ(out[t], expected[t]) << t;
  EXPECT_EQ(CountNot({out.begin() + 10192, out.end()}, 128), 0u);
}

TEST_F(WaveMixEngine, ExplorerMixerAppendsWithoutReopeningTheDevice) {
  MixSetVariant(TMixVariant::Explorer);
  TMixSession* s = StartStereo();
  MixOpenChannel(s, 0, kMixOpenOne);
  MixActivate(s, true);
  TMixWave* w = LoadSamples(s, Constant(100, 150));
  Play(s, 0, w);
  EXPECT_EQ(sys.OpenCount(), 1) << "the navigator's mixer would have reopened the device";
  // Without high priority a sound appended to a channel waits for what is mixed already;
  // with it, it follows the previous one directly and is remixed into the queued blocks.
  Play(s, 0, w);
  EXPECT_EQ(s->Queues[0]->Next->Start, 8192u);
  MixFlushChannel(s, 0, 0);
  Play(s, 0, w, 0, mpHighPriority);
  Play(s, 0, w, 0, mpHighPriority);
  EXPECT_EQ(s->Queues[0]->Next->Start, 100u);
  Play8(300);
  std::vector<uint8_t> out = Output8();
  EXPECT_EQ(CountNot({out.begin(), out.begin() + 200}, 150), 0u);
  EXPECT_EQ(CountNot({out.begin() + 200, out.end()}, 128), 0u);
}

TEST_F(WaveMixEngine, ShiftStrategyMovesTheSoundToTheMixerPosition) {
  WriteIni("[default]\nRemix=2\n");
  TMixSession* s = StartStereo();
  ASSERT_EQ(s->Strategy, TMixStrategy::Shift);
  MixOpenChannel(s, 0, kMixOpenAll);
  MixActivate(s, true);
  Play(s, 0, LoadSamples(s, Constant(20000, 150)));
  const uint32_t mixed = s->MixerPosition;
  TMixWave* w = LoadSamples(s, Constant(10, 160));
  Play(s, 1, w, 0, mpHighPriority);
  EXPECT_EQ(s->Queues[1]->Start, mixed);
  EXPECT_EQ(s->Queues[1]->End, mixed + 9);
}

TEST_F(WaveMixEngine, ChannelCountAndHandleErrors) {
  TMixSession* s = WaveMixInit();
  EXPECT_MIX_ERROR(WaveMixInit(), "Session already initialized");
  EXPECT_MIX_ERROR(MixOpenChannel(s, 8, kMixOpenOne), "Invalid channel number");
  EXPECT_MIX_ERROR(MixOpenChannel(s, 9, kMixOpenCount), "Invalid number of channels");
  EXPECT_MIX_ERROR(MixOpenChannel(s, 0, kMixOpenCount), "Invalid number of channels");
  EXPECT_MIX_ERROR(MixOpenChannel(s, 0, 3), "Invalid Flags");
  MixOpenChannel(s, 2, kMixOpenOne);
  EXPECT_MIX_ERROR(MixOpenChannel(s, 2, kMixOpenOne), "The channel has already been opened");
  MixOpenChannel(s, 4, kMixOpenCount);  // opens 0, 1, 3 and keeps 2
  EXPECT_EQ(s->OpenChannels, 4);
  EXPECT_MIX_ERROR(MixFlushChannel(s, 5, 0), "The specified channel was not open");
  EXPECT_MIX_ERROR(MixFlushChannel(s, -1, 0), "Invalid channel number");
  MixFlushChannel(s, 99, kMixAllChannels);  // the checks are skipped for all channels

  TMixWave* w = Load(s, WaveFile(Constant(10, 150), 1, 11025));
  EXPECT_MIX_ERROR(Play(s, 6, w), "The specified channel was not open");
  EXPECT_MIX_ERROR(Play(s, 0, reinterpret_cast<TMixWave*>(s)), "The given pointer was not valid");
  for (int i = 0; i < kMixPoolSize; ++i) Play(s, 0, w, 0, mpWait);  // held in the pending ring
  EXPECT_MIX_ERROR(Play(s, 0, w, 0, mpWait), "Not enough memory");
  MixFreeWave(s, w);  // takes the waiting requests with it
  EXPECT_EQ(MixFreeItems(), kMixPoolSize);
  EXPECT_MIX_ERROR(MixFreeWave(s, w), "The given pointer was not valid");

  MixCloseChannel(s, 0, kMixAllChannels);
  EXPECT_EQ(s->OpenChannels, 0);
  TMixSession copy;
  copy.Magic = copy.ClosingMagic = kMixMagic;
  EXPECT_MIX_ERROR(MixActivate(&copy, true), "Invalid Session handle");
  MixCloseSession(s);
  EXPECT_MIX_ERROR(MixActivate(s, true), "Invalid Session handle");
}

TEST_F(WaveMixEngine, DeviceHeldElsewhereFailsToOpenAndCanBeOpenedLater) {
  TMixSession* s = StartStereo();
  MixOpenChannel(s, 0, kMixOpenAll);
  sys.SetHeld(true);
  EXPECT_MIX_ERROR(MixActivate(s, true), "Failed to open waveform output device #4");
  EXPECT_EQ(MixActiveSession(), nullptr);
  sys.SetHeld(false);
  MixActivate(s, true);
  EXPECT_TRUE(s->DeviceOpen);
  EXPECT_EQ(MixActiveSession(), s);
  Play(s, 0, LoadSamples(s, Constant(10, 150)));
  Play8(20);
  EXPECT_EQ(CountNot(Output8(), 128), 10u);
  MixActivate(s, false);
  EXPECT_EQ(sys.Output(), nullptr) << "closing gives the device back";
}

// A sound with high priority is heard where the device plays when it is asked for, also after a
// remix that had to go back before the device's position (a sound appended to a channel whose
// last one has ended but is not retired yet), and however many follow while music plays.
TEST_F(WaveMixEngine, HighPrioritySoundsStartAtThePlayPositionAfterARemixThatWentBack) {
  WriteIni("[Virtual Wave Out]\nWaveBlockLen=2048\n");
  TMixSession* s = StartStereo();
  MixOpenChannel(s, 0, kMixOpenAll);
  MixActivate(s, true);
  TMixWave* music = LoadSamples(s, Constant(1000, 140));
  TMixWave* effect = LoadSamples(s, Constant(300, 160));
  uint32_t pos = 0;
  auto advanceTo = [&](uint32_t t) {
    Play8(t - pos);
    pos = t;
  };
  Play(s, 7, music, kMixLoopForever);
  advanceTo(1000);
  Play(s, 1, effect, 0, mpHighPriority);  // 1000..1299
  Pump();
  // On to 1600 with no block-done event between, so the first is not retired yet: the second
  // follows it at 1300, which the device has played past.
  sys.PullBytes(600 * 2);
  pos = 1600;
  Play(s, 1, effect, 0, mpHighPriority);
  ASSERT_NE(s->Queues[1]->Next, nullptr);
  EXPECT_EQ(s->Queues[1]->Next->Start, 1300u);
  std::vector<uint8_t> out = Output8();
  EXPECT_EQ(CountNot({out.begin() + 1000, out.begin() + 1300}, 172), 0u);
  for (uint32_t at : {6000u, 9000u, 15000u}) {
    advanceTo(at);
    Output8();
    Play(s, 2, effect, 0, mpHighPriority);
    advanceTo(at + 1000);
    out = Output8();
    ASSERT_EQ(out.size(), 1000u);
    // Music and effect together from the first byte, then the music alone.
    EXPECT_EQ(CountNot({out.begin(), out.begin() + 300}, 172), 0u) << at;
    EXPECT_EQ(CountNot({out.begin() + 300, out.end()}, 140), 0u) << at;
  }
}

// Only open channels are candidates: with channel 0 closed and never used, the choice still
// falls on an open one.
TEST_F(WaveMixEngine, LeastRecentlyUsedChoiceSkipsAClosedChannelZero) {
  TMixSession* s = StartStereo();
  for (int ch = 1; ch < kMixChannels; ++ch) MixOpenChannel(s, ch, kMixOpenOne);
  MixActivate(s, true);
  TMixWave* w = LoadSamples(s, Constant(64, 140));
  TMixPlayParams p;
  p.Session = s;
  p.Wave = w;
  p.Flags = mpUseLRUChannel;
  MixPlay(p);
  EXPECT_EQ(p.Channel, 1) << "the first open channel, idle";
  p.Loops = kMixLoopForever;
  for (int i = 0; i < 3; ++i) MixPlay(p);
  EXPECT_GE(p.Channel, 1);
  EXPECT_NE(s->Queues[size_t(p.Channel)], nullptr);
  MixCloseChannel(s, 0, kMixAllChannels);
  p.Flags = mpUseLRUChannel;
  EXPECT_MIX_ERROR(MixPlay(p), "The specified channel was not open");
}
