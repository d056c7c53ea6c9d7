// The output blocks of the mixer: mixing, writing, the two reschedule strategies and the
// handling of the device's block-done events.

#include <algorithm>
#include <cstring>

#include "audio/WaveLoader.h"
#include "audio/WaveMixEngineInternal.h"

namespace {

[[noreturn]] void Fail(const QString& text) {
  throw EWaveMixError(text);
}

// out = 128 + the sum of (source - 128), clamped; one source is copied as it is.
void SumSources(uint8_t* out, const uint8_t* const* sources, int count, size_t bytes) {
  if (count == 1) {
    std::memcpy(out, sources[0], bytes);
    return;
  }
  // Source by source over a stack accumulator (a segment never exceeds a block), which the
  // compiler turns into vector code.
  int16_t acc[kMixMaxBlockLength];
  for (size_t i = 0; i < bytes; ++i)
    acc[i] = int16_t(int(sources[0][i]) + int(sources[1][i]) - 128);
  for (int k = 2; k < count; ++k) {
    const uint8_t* src = sources[k];
    for (size_t i = 0; i < bytes; ++i) acc[i] = int16_t(acc[i] + src[i] - 128);
  }
  for (size_t i = 0; i < bytes; ++i) out[i] = uint8_t(std::clamp<int>(acc[i], 0, 255));
}

}  // namespace

bool TMixWindow::event(QEvent* e) {
  if (e->type() != platform::WaveOutDoneEvent::kType) return QObject::event(e);
  if (!attached_) return true;
  try {
    WaveMixEngine::Get().OnBlockDone(static_cast<platform::WaveOutDoneEvent*>(e)->Header);
  } catch (...) {
    // A failed write or a failing handler must not cross the event dispatch; the next
    // block-done event tries again.
  }
  return true;
}

void WaveMixEngine::AllocateBlocks(TMixSession& s) {
  try {
    for (auto& block : blocks_) block = std::make_unique<TMixBlock>();
  } catch (const std::bad_alloc&) {
    for (auto& block : blocks_) block.reset();
    Fail(WaveMixMemoryMessage());
  }
  for (auto& block : blocks_) {
    block->Header.Data = block->Data.data();
    block->Header.BufferLength = s.BlockLength;
    block->Header.User = block.get();
    if (const uint32_t r = s.Device->Prepare(&block->Header); r != platform::kMmNoError) {
      for (auto& b : blocks_) b.reset();
      Fail(QStringLiteral("Unable to prepare wave header #%1").arg(r));
    }
    block->Header.Flags.fetch_or(platform::kWhdrDone);
    block->Free = true;
    block->Session = &s;
  }
  queueHead_ = queueTail_ = nullptr;
}

void WaveMixEngine::FreeBlocks(TMixSession& s) {
  for (auto& block : blocks_) {
    if (!block) continue;
    if (s.Device) s.Device->Unprepare(&block->Header);
    block.reset();
  }
  queueHead_ = queueTail_ = nullptr;
}

TMixBlock* WaveMixEngine::TakeFreeBlock() {
  for (auto& block : blocks_) {
    if (!block || !block->Free) continue;
    block->Free = false;
    block->Header.BufferLength = active_ ? active_->BlockLength : kMixMaxBlockLength;
    block->Header.Data = block->Data.data();
    block->Session = active_;
    return block.get();
  }
  return nullptr;
}

void WaveMixEngine::QueueBlock(TMixBlock& block) {
  block.Next = nullptr;
  if (queueTail_) {
    queueTail_->Next = &block;
  } else {
    queueHead_ = &block;
  }
  queueTail_ = &block;
}

void WaveMixEngine::UnqueueBlock(TMixBlock& block) {
  TMixBlock* prev = nullptr;
  for (TMixBlock* b = queueHead_; b; prev = b, b = b->Next) {
    if (b != &block) continue;
    (prev ? prev->Next : queueHead_) = b->Next;
    if (queueTail_ == b) queueTail_ = prev;
    b->Next = nullptr;
    return;
  }
}

void WaveMixEngine::ReturnAllBlocks() {
  for (TMixBlock* b = queueHead_; b;) {
    TMixBlock* next = b->Next;
    b->Free = true;
    b->Next = nullptr;
    b = next;
  }
  queueHead_ = queueTail_ = nullptr;
}

int WaveMixEngine::QueuedBlocks() const {
  int n = 0;
  for (const TMixBlock* b = queueHead_; b; b = b->Next) ++n;
  return n;
}

void WaveMixEngine::WriteBlock(TMixSession& s, TMixBlock& block, const QString& failure) {
  if (s.Device->Write(&block.Header) == platform::kMmNoError) return;
  UnqueueBlock(block);
  block.Free = true;
  Fail(failure);
}

bool WaveMixEngine::MixBlock(TMixSession& s, TMixBlock& block, bool write) {
  // The active item of each open channel: the first one not yet ended.
  std::array<TPlayItem*, kMixChannels> active{};
  int count = 0;
  const uint32_t mixPos = s.MixerPosition;
  for (int ch = 0; ch < kMixChannels; ++ch) {
    if (!s.ChannelOpen[size_t(ch)]) continue;
    TPlayItem* item = s.Queues[size_t(ch)];
    while (item && ItemEnded(*item, mixPos)) item = item->Next;
    if (item) active[size_t(count++)] = item;
  }
  if (count == 0) {
    // Nothing to mix: the block goes back whether or not it was to be written, so that
    // no block is lost.
    block.Free = true;
    return false;
  }
  auto earliestStart = [&] {
    uint32_t e = UINT32_MAX;
    for (int k = 0; k < count; ++k) e = std::min(e, active[size_t(k)]->Start);
    return e;
  };

  const uint32_t length = s.BlockLength;
  uint8_t* out = block.Data.data();
  uint64_t c = mixPos;
  const uint64_t blockEnd = uint64_t(mixPos) + length;
  uint64_t earliest = earliestStart();
  const uint8_t* sources[kMixChannels];
  while (c < blockEnd) {
    if (count == 0) {
      std::memset(out, 128, size_t(blockEnd - c));
      break;
    }
    uint64_t segEnd = blockEnd;
    int n = 0;
    if (c < earliest) {
      segEnd = std::min(segEnd, earliest);
    } else {
      for (int k = 0; k < count; ++k) {
        const TPlayItem& it = *active[size_t(k)];
        if (it.Start > c) {
          segEnd = std::min<uint64_t>(segEnd, it.Start);
          continue;
        }
        segEnd = std::min<uint64_t>(segEnd, uint64_t(it.End) + 1);
        uint64_t offset = c - it.Start;
        if (it.Params.Loops != 0) offset %= it.Length;
        if (offset >= it.Length) continue;  // an item moved past its data sounds as silence
        segEnd = std::min<uint64_t>(segEnd, c + (it.Length - offset));
        sources[n++] = it.Data + offset;
      }
    }
    const size_t run = size_t(segEnd - c);
    if (n == 0) {
      std::memset(out, 128, run);
    } else {
      SumSources(out, sources, n, run);
    }
    out += run;
    c = segEnd;
    // Items that ended give way to the next of their channel, or leave.
    for (int k = 0; k < count;) {
      TPlayItem* it = active[size_t(k)];
      while (it && ItemEnded(*it, uint32_t(std::min<uint64_t>(c, UINT32_MAX)))) it = it->Next;
      if (it) {
        active[size_t(k++)] = it;
      } else {
        active[size_t(k)] = active[size_t(--count)];
      }
    }
    earliest = earliestStart();
  }

  block.Position = mixPos;
  s.MixerPosition = mixPos + length;
  if (write) {
    QueueBlock(block);
    WriteBlock(s, block, QStringLiteral("Failed to write block to device"));
  }
  return true;
}

void WaveMixEngine::FillBlocks(TMixSession& s) {
  if (!s.DeviceOpen) return;
  while (TMixBlock* block = TakeFreeBlock()) {
    if (!MixBlock(s, *block, true)) break;
  }
}

void WaveMixEngine::Reschedule(TMixSession& s, TPlayItem* last, uint32_t start) {
  if (s.Strategy == TMixStrategy::Remix) {
    Remix(s, start);
  } else {
    Shift(s, last);
  }
}

void WaveMixEngine::Remix(TMixSession& s, uint32_t start) {
  if (!s.DeviceOpen) {
    s.MixerPosition = start;
    return;
  }
  // The device lets go of its blocks before they are mixed again (the order of these steps
  // keeps the device from reading a block while it is rewritten).
  // Mixing never starts after what the device is playing now: sound already mixed between
  // the two would be thrown away with the returned blocks. The device is paused before its
  // position is read, so that nothing it plays between that reading and the reset is heard
  // twice; it stays paused through the reset until the remixed blocks are written.
  s.Device->Pause();
  const uint32_t playing = DevicePosition(s) - correction_;
  if (start > playing) start = playing;
  s.Device->Reset();
  // The device plays the first remixed block next, so its position now stands for start: the
  // timeline stays the one the device plays, and later requests with high priority, which
  // start at the device's position, are heard at once rather than a correction late.
  Resync(s, start);
  ReturnAllBlocks();
  s.MixerPosition = start;
  while (TMixBlock* block = TakeFreeBlock()) {
    if (!MixBlock(s, *block, false)) break;
    QueueBlock(*block);
  }
  correction_ = DevicePosition(s) - start;
  try {
    for (TMixBlock* b = queueHead_; b;) {
      TMixBlock* next = b->Next;
      WriteBlock(s, *b, QStringLiteral("Falha de escrita no dispositivo wave"));
      b = next;
    }
  } catch (...) {
    s.Device->Restart();
    throw;
  }
  s.Device->Restart();
}

void WaveMixEngine::Shift(TMixSession& s, TPlayItem* item) {
  if (item) {
    const uint32_t delta = s.MixerPosition - item->Start;
    item->Start = s.MixerPosition;
    if (item->End != kMixNever) {
      item->End += delta;
      if (item->End < item->Start || item->End > kMixNever) item->End = kMixNever;
    }
  }
  BlockDoneHandling(s);
}

void WaveMixEngine::BlockDoneHandling(TMixSession& s) {
  for (TMixBlock* b = queueHead_; b;) {
    TMixBlock* next = b->Next;
    if (b->Header.Flags.load() & platform::kWhdrDone) {
      UnqueueBlock(*b);
      b->Free = true;
    }
    b = next;
  }
  const uint32_t played = DevicePosition(s) - correction_;
  for (int ch = 0; ch < kMixChannels; ++ch) {
    if (!s.ChannelOpen[size_t(ch)]) continue;
    TPlayItem*& first = s.Queues[size_t(ch)];
    while (first && ItemEnded(*first, played)) {
      TPlayItem* done = first;
      first = done->Next;
      ReturnItem(done);
      if (Handler) {
        finished_[size_t(ch)] = true;
        anyFinished_ = true;
      }
    }
  }
  FillBlocks(s);
  Notify();
}

void WaveMixEngine::Notify() {
  if (!anyFinished_ || !Handler) return;
  anyFinished_ = false;
  const TMixNotifyHandler handler = Handler;  // the handler may replace itself
  for (int ch = 0; ch < kMixChannels; ++ch) {
    if (!finished_[size_t(ch)]) continue;
    finished_[size_t(ch)] = false;
    handler(0, ch);
  }
}

void WaveMixEngine::OnBlockDone(platform::WaveHeader* header) {
  if (!session_ || !active_ || !active_->DeviceOpen) return;
  const auto* block = header ? static_cast<const TMixBlock*>(header->User) : nullptr;
  const bool ours = std::any_of(blocks_.begin(), blocks_.end(),
                                [block](const auto& b) { return b.get() == block; });
  if (ours && block->Session != active_) current_ = active_;
  BlockDoneHandling(*active_);
}
