#pragma once

// Internal state of the buffer device, shared by its API side (BufferDevice.cpp) and its
// mixer (BufferDeviceMix.cpp). Everything here is guarded by Core::mutex.

#include <array>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/BufferDevice.h"

namespace platform::bufferdevice {

struct BufferState {
  bool primary = false;
  uint32_t flags = 0;
  WaveFormatEx format;
  std::vector<uint8_t> memory;  // secondary buffers only
  uint32_t frames = 0;          // whole frames in memory

  uint32_t frame = 0;     // play cursor, in frames
  uint32_t fraction = 0;  // position between frame and the next, 0.32 fixed point
  uint64_t stepQ32 = 0;   // source frames per output frame, 32.32 fixed point
  bool playing = false;
  bool looping = false;
  bool lost = false;

  int32_t volume = 0;
  int32_t gainQ16 = 65536;

  std::vector<PositionNotification> notifications;
  bool hasStopMark = false;
  uint32_t stopMark = 0;
  std::shared_ptr<Event> stopMarkEvent;

  uint32_t CursorBytes() const { return frame * format.BlockAlign; }
};

struct Core {
  explicit Core(const AudioFormat& outputFormat) : output(outputFormat) {}

  // Signals the stop notifications of a buffer that has just stopped.
  static void SignalStop(BufferState& buffer);
  void Render(uint8_t* out, size_t bytes);

  std::mutex mutex;
  const AudioFormat output;
  uint32_t cooperativeLevel = 0;
  uintptr_t window = 0;
  std::vector<std::shared_ptr<BufferState>> buffers;  // alive secondary buffers
  std::shared_ptr<BufferState> primary;               // created on first request

  static constexpr size_t kSliceFrames = 512;
  std::array<int32_t, kSliceFrames * 2> mix{};  // left/right accumulators of one slice
};

}  // namespace platform::bufferdevice
