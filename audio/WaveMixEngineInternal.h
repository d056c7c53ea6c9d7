#pragma once

// The mixer's process-wide state and its steps, shared by the files of the engine. Callers use
// the operations of WaveMixEngine.h.

#include <QObject>
#include <array>
#include <mutex>

#include "audio/WaveMixEngine.h"

// The hidden window: receives the device's block-done events and hands them to the engine.
// A closing session detaches it first, so that events still on their way are ignored.
class TMixWindow final : public QObject {
 public:
  TMixWindow() { setObjectName(QStringLiteral("WavMix32")); }
  void Detach() { attached_ = false; }
  bool event(QEvent* e) override;

 private:
  bool attached_ = true;
};

class WaveMixEngine {
 public:
  static WaveMixEngine& Get();

  TMixSession* ConfigureInit(const TMixConfig* config);
  void Activate(TMixSession* session, bool activate);
  void OpenChannel(TMixSession* session, int channelOrCount, int kind);
  void CloseChannel(TMixSession* session, int channel, uint32_t flags);
  TMixWave* OpenWave(TMixSession* session, const TMixWaveSource& source);
  void FreeWave(TMixSession* session, TMixWave* wave);
  void FlushChannel(TMixSession* session, int channel, uint32_t flags);
  void Play(TMixPlayParams& params);
  void CloseSession(TMixSession* session);
  void OnBlockDone(platform::WaveHeader* header);

  TMixSession* Current() const { return current_; }
  TMixSession* Active() const { return active_; }
  uint32_t DevicePosition(const TMixSession& s) const;
  int32_t Correction() const { return int32_t(correction_); }
  int QueuedBlocks() const;
  int FreeItems() const;

  TMixNotifyHandler Handler;
  TMixVariant Variant = TMixVariant::Navigator;

 private:
  TMixSession& Check(TMixSession* session) const;
  void RebuildPool();
  TPlayItem* TakeItem();
  void ReturnItem(TPlayItem* item);
  void ReturnQueue(TPlayItem* first);
  bool ChannelBusy(const TMixSession& s, int channel) const;

  // Timeline.
  uint32_t ClockPosition(const TMixSession& s) const;
  void Resync(TMixSession& s, uint32_t position);
  void ResetDevice(TMixSession& s);
  void IdleCheck(TMixSession& s);

  // Blocks (WaveMixBlocks.cpp).
  void AllocateBlocks(TMixSession& s);
  void FreeBlocks(TMixSession& s);
  TMixBlock* TakeFreeBlock();
  void QueueBlock(TMixBlock& block);
  void UnqueueBlock(TMixBlock& block);
  void ReturnAllBlocks();
  void WriteBlock(TMixSession& s, TMixBlock& block, const QString& failure);
  bool MixBlock(TMixSession& s, TMixBlock& block, bool write);
  void FillBlocks(TMixSession& s);
  void Reschedule(TMixSession& s, TPlayItem* last, uint32_t start);
  void Remix(TMixSession& s, uint32_t start);
  void Shift(TMixSession& s, TPlayItem* item);
  void BlockDoneHandling(TMixSession& s);
  void Notify();

  std::unique_ptr<TMixSession> session_;
  TMixSession* current_ = nullptr;
  TMixSession* active_ = nullptr;
  std::array<std::unique_ptr<TMixBlock>, kMixBlockCount> blocks_;
  TMixBlock* queueHead_ = nullptr;
  TMixBlock* queueTail_ = nullptr;
  std::array<TPlayItem, kMixPoolSize> pool_;
  TPlayItem* freeItems_ = nullptr;
  std::array<bool, kMixChannels> finished_{};
  bool anyFinished_ = false;
  uint32_t correction_ = 0;

  // Waves, shared with loader threads.
  mutable std::mutex wavesMutex_;
  std::vector<std::unique_ptr<TMixWave>> waves_;
  TMixSession* loadSession_ = nullptr;
  uint64_t generation_ = 0;  // changes with every session
  platform::PcmWaveFormat loadFormat_;
  bool loadFormatPlayable_ = false;  // the device took the format when the session started
};

// Items end when the timeline reaches the byte after their last one.
inline bool ItemEnded(const TPlayItem& item, uint32_t position) {
  return uint64_t(item.End) + 1 <= position;
}
