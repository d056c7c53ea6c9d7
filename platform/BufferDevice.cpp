#include "platform/BufferDevice.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <mutex>

#include "platform/BufferDeviceCore.h"

namespace platform {

using bufferdevice::BufferState;
using bufferdevice::Core;

int32_t VolumeToGainQ16(int32_t volumeCentibels) {
  if (volumeCentibels <= kDsbVolumeMin) return 0;
  if (volumeCentibels >= kDsbVolumeMax) return 65536;
  return static_cast<int32_t>(std::lround(65536.0 * std::pow(10.0, volumeCentibels / 2000.0)));
}

namespace {

bool ValidPcm(const WaveFormatEx& f) {
  return f.FormatTag == 1 && (f.Channels == 1 || f.Channels == 2) &&
         (f.BitsPerSample == 8 || f.BitsPerSample == 16) &&
         f.BlockAlign == f.Channels * f.BitsPerSample / 8 && f.SamplesPerSec >= 100 &&
         f.SamplesPerSec <= 200000;
}

}  // namespace

// ---- SoundBuffer ----------------------------------------------------------------------------

SoundBuffer::SoundBuffer(std::shared_ptr<Core> core, std::shared_ptr<BufferState> state)
    : core_(std::move(core)), state_(std::move(state)) {}

SoundBuffer::~SoundBuffer() {
  std::lock_guard lock(core_->mutex);
  if (state_->primary) return;  // the device keeps its one primary buffer
  auto& list = core_->buffers;
  list.erase(std::remove(list.begin(), list.end(), state_), list.end());
}

uint32_t SoundBuffer::Flags() const {
  return state_->flags;
}
uint32_t SoundBuffer::Bytes() const {
  return static_cast<uint32_t>(state_->memory.size());
}

DsResult SoundBuffer::Play(uint32_t flags) {
  std::lock_guard lock(core_->mutex);
  BufferState& b = *state_;
  if (b.primary) {
    b.playing = true;
    b.looping = (flags & kDsbPlayLooping) != 0;
    return kDsOk;
  }
  if (b.lost) return kDsErrBufferLost;
  b.looping = (flags & kDsbPlayLooping) != 0;
  b.playing = true;
  return kDsOk;
}

DsResult SoundBuffer::Stop() {
  std::lock_guard lock(core_->mutex);
  BufferState& b = *state_;
  if (b.playing) {
    b.playing = false;
    Core::SignalStop(b);
  }
  return kDsOk;
}

DsResult SoundBuffer::GetStatus(uint32_t& status) const {
  std::lock_guard lock(core_->mutex);
  const BufferState& b = *state_;
  status = 0;
  if (b.playing) status |= kDsbStatusPlaying | (b.looping ? kDsbStatusLooping : 0);
  if (b.lost) status |= kDsbStatusBufferLost;
  return kDsOk;
}

DsResult SoundBuffer::GetCurrentPosition(uint32_t* playCursor, uint32_t* writeCursor) const {
  std::lock_guard lock(core_->mutex);
  const BufferState& b = *state_;
  if (b.primary) return kDsErrInvalidCall;
  if (playCursor) *playCursor = b.CursorBytes();
  if (writeCursor) *writeCursor = b.CursorBytes();
  return kDsOk;
}

DsResult SoundBuffer::SetCurrentPosition(uint32_t position) {
  std::lock_guard lock(core_->mutex);
  BufferState& b = *state_;
  if (b.primary) return kDsErrInvalidCall;
  if (position >= b.memory.size()) return kDsErrInvalidParam;
  b.frame = std::min(position / b.format.BlockAlign, b.frames - 1);
  b.fraction = 0;
  return kDsOk;
}

DsResult SoundBuffer::GetVolume(int32_t& volumeCentibels) const {
  std::lock_guard lock(core_->mutex);
  if (!(state_->flags & kDsbCapsCtrlVolume)) return kDsErrControlUnavail;
  volumeCentibels = state_->volume;
  return kDsOk;
}

DsResult SoundBuffer::SetVolume(int32_t volumeCentibels) {
  std::lock_guard lock(core_->mutex);
  if (!(state_->flags & kDsbCapsCtrlVolume)) return kDsErrControlUnavail;
  if (volumeCentibels < kDsbVolumeMin || volumeCentibels > kDsbVolumeMax) {
    return kDsErrInvalidParam;
  }
  state_->volume = volumeCentibels;
  state_->gainQ16 = VolumeToGainQ16(volumeCentibels);
  return kDsOk;
}

DsResult SoundBuffer::SetFormat(const WaveFormatEx& format) {
  std::lock_guard lock(core_->mutex);
  if (!state_->primary) return kDsErrInvalidCall;
  if (core_->cooperativeLevel < kDssclPriority) return kDsErrPrioLevelNeeded;
  if (!ValidPcm(format)) return kDsErrInvalidParam;
  state_->format = format;
  return kDsOk;
}

DsResult SoundBuffer::GetFormat(WaveFormatEx& format) const {
  std::lock_guard lock(core_->mutex);
  format = state_->format;
  return kDsOk;
}

DsResult SoundBuffer::Lock(uint32_t offset, uint32_t bytes, LockRegions& regions, uint32_t flags) {
  regions = LockRegions{};
  std::lock_guard lock(core_->mutex);
  const BufferState& b = *state_;
  if (b.primary) return kDsErrPrioLevelNeeded;
  if (b.lost) return kDsErrBufferLost;
  if (locked_) return kDsErrInvalidCall;
  const uint32_t size = static_cast<uint32_t>(b.memory.size());
  if (flags & kDsbLockEntireBuffer) bytes = size;
  if (offset >= size || bytes == 0 || bytes > size) return kDsErrInvalidParam;
  // The copy starts as the buffer's current content, so bytes the caller leaves alone keep
  // their value when written back.
  lockCopy_.resize(bytes);
  const uint32_t first = std::min(bytes, size - offset);
  std::memcpy(lockCopy_.data(), b.memory.data() + offset, first);
  std::memcpy(lockCopy_.data() + first, b.memory.data(), bytes - first);
  lockOffset_ = offset;
  locked_ = true;
  regions.Ptr1 = lockCopy_.data();
  regions.Bytes1 = first;
  if (bytes > first) {
    regions.Ptr2 = lockCopy_.data() + first;
    regions.Bytes2 = bytes - first;
  }
  return kDsOk;
}

DsResult SoundBuffer::Unlock(const LockRegions& regions) {
  std::lock_guard lock(core_->mutex);
  if (!locked_) return kDsErrInvalidCall;
  locked_ = false;
  BufferState& b = *state_;
  const uint32_t first = std::min<uint32_t>(static_cast<uint32_t>(lockCopy_.size()),
                                            static_cast<uint32_t>(b.memory.size()) - lockOffset_);
  const uint32_t second = static_cast<uint32_t>(lockCopy_.size()) - first;
  if (regions.Ptr1 != lockCopy_.data() || regions.Bytes1 > first || regions.Bytes2 > second) {
    return kDsErrInvalidParam;
  }
  // A buffer lost while locked keeps nothing of the lock.
  if (b.lost) return kDsOk;
  std::memcpy(b.memory.data() + lockOffset_, lockCopy_.data(), regions.Bytes1);
  if (regions.Bytes2 > 0) std::memcpy(b.memory.data(), lockCopy_.data() + first, regions.Bytes2);
  return kDsOk;
}

DsResult SoundBuffer::Restore() {
  std::lock_guard lock(core_->mutex);
  state_->lost = false;
  return kDsOk;
}

DsResult SoundBuffer::SetNotificationPositions(std::span<const PositionNotification> positions) {
  std::lock_guard lock(core_->mutex);
  BufferState& b = *state_;
  if (!(b.flags & kDsbCapsCtrlPositionNotify)) return kDsErrControlUnavail;
  if (b.playing) return kDsErrInvalidCall;
  for (const PositionNotification& n : positions) {
    if (!n.EventNotify || (n.Offset != kDsbPnOffsetStop && n.Offset >= b.memory.size())) {
      return kDsErrInvalidParam;
    }
  }
  b.notifications.assign(positions.begin(), positions.end());
  return kDsOk;
}

DsResult SoundBuffer::SetStopMark(uint32_t offset, std::shared_ptr<Event> event) {
  std::lock_guard lock(core_->mutex);
  BufferState& b = *state_;
  if (b.primary) return kDsErrInvalidCall;
  if (offset == 0 || offset > b.memory.size()) return kDsErrInvalidParam;
  b.hasStopMark = true;
  b.stopMark = offset;
  b.stopMarkEvent = std::move(event);
  return kDsOk;
}

void SoundBuffer::ClearStopMark() {
  std::lock_guard lock(core_->mutex);
  state_->hasStopMark = false;
  state_->stopMarkEvent.reset();
}

// ---- BufferDevice ---------------------------------------------------------------------------

BufferDevice::BufferDevice(const AudioFormat& outputFormat)
    : core_(std::make_shared<Core>(outputFormat)) {}

DsResult BufferDevice::SetCooperativeLevel(uintptr_t window, uint32_t level) {
  if (level < kDssclNormal || level > kDssclWritePrimary) return kDsErrInvalidParam;
  std::lock_guard lock(core_->mutex);
  core_->cooperativeLevel = level;
  core_->window = window;
  return kDsOk;
}

uint32_t BufferDevice::CooperativeLevel() const {
  std::lock_guard lock(core_->mutex);
  return core_->cooperativeLevel;
}

DsResult BufferDevice::CreateSoundBuffer(const BufferDesc& desc,
                                         std::unique_ptr<SoundBuffer>& buffer) {
  buffer.reset();
  if (desc.Size != 20) return kDsErrInvalidParam;
  std::lock_guard lock(core_->mutex);
  if (core_->cooperativeLevel == 0) return kDsErrInvalidCall;
  if (desc.Flags & kDsbCapsPrimaryBuffer) {
    if (desc.BufferBytes != 0 || desc.Format != nullptr) return kDsErrInvalidParam;
    if (!core_->primary) {
      core_->primary = std::make_shared<BufferState>();
      core_->primary->primary = true;
      // The device's own default format until someone with the level sets another.
      core_->primary->format = WaveFormatEx{1, 2, 22050, 44100, 2, 8, 0};
    }
    core_->primary->flags = desc.Flags;
    buffer.reset(new SoundBuffer(core_, core_->primary));
    return kDsOk;
  }
  if (!desc.Format || !ValidPcm(*desc.Format)) return kDsErrInvalidParam;
  if (desc.BufferBytes < std::max<uint32_t>(kDsbSizeMin, desc.Format->BlockAlign) ||
      desc.BufferBytes > kDsbSizeMax) {
    return kDsErrInvalidParam;
  }
  auto state = std::make_shared<BufferState>();
  state->flags = desc.Flags;
  state->format = *desc.Format;
  try {
    state->memory.assign(desc.BufferBytes, desc.Format->BitsPerSample == 8 ? 128 : 0);
  } catch (const std::bad_alloc&) {
    return kDsErrOutOfMemory;
  }
  state->frames = desc.BufferBytes / desc.Format->BlockAlign;
  state->stepQ32 = (static_cast<uint64_t>(desc.Format->SamplesPerSec) << 32) /
                   static_cast<uint64_t>(core_->output.rateHz);
  core_->buffers.push_back(state);
  buffer.reset(new SoundBuffer(core_, std::move(state)));
  return kDsOk;
}

void BufferDevice::Render(uint8_t* out, size_t bytes) {
  std::lock_guard lock(core_->mutex);
  core_->Render(out, bytes);
}

const AudioFormat& BufferDevice::OutputFormat() const {
  return core_->output;
}

void BufferDevice::LoseBuffers() {
  std::lock_guard lock(core_->mutex);
  for (const auto& b : core_->buffers) {
    b->lost = true;
    b->playing = false;
  }
}

int BufferDevice::BufferCount() const {
  std::lock_guard lock(core_->mutex);
  return static_cast<int>(core_->buffers.size());
}

// ---- device creation ------------------------------------------------------------------------

namespace {
BufferDeviceFactory& Factory() {
  static BufferDeviceFactory factory;
  return factory;
}
}  // namespace

void SetBufferDeviceFactory(BufferDeviceFactory factory) {
  Factory() = std::move(factory);
}

DsResult CreateDefaultBufferDevice(std::unique_ptr<BufferDevice>& device);

DsResult CreateBufferDevice(std::unique_ptr<BufferDevice>& device) {
  device.reset();
  if (Factory()) return Factory()(device);
  return CreateDefaultBufferDevice(device);
}

}  // namespace platform
