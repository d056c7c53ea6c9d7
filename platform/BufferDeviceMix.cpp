// The software mixer of the buffer device: runs on the output's thread with Core::mutex held.
// No allocation, no exceptions, no Qt.

#include <algorithm>
#include <cstring>

#include "platform/BufferDeviceCore.h"

namespace platform::bufferdevice {

namespace {

// One frame of a buffer as 16-bit left and right samples.
inline void ReadFrame(const BufferState& b, uint32_t frame, int32_t& left, int32_t& right) {
  const uint8_t* p = b.memory.data() + static_cast<size_t>(frame) * b.format.BlockAlign;
  if (b.format.BitsPerSample == 8) {
    left = (static_cast<int32_t>(p[0]) - 128) * 256;
    right = b.format.Channels == 2 ? (static_cast<int32_t>(p[1]) - 128) * 256 : left;
  } else {
    left = static_cast<int16_t>(static_cast<uint16_t>(p[0] | (p[1] << 8)));
    right = b.format.Channels == 2 ? static_cast<int16_t>(static_cast<uint16_t>(p[2] | (p[3] << 8)))
                                   : left;
  }
}

// Moves the play cursor past one frame: signals the notifications whose offsets lie in the
// bytes just played (the last frame also owns any bytes of a partial frame behind it), stops
// at a stop mark, wraps or ends.
void AdvanceFrame(BufferState& b) {
  const uint32_t size = static_cast<uint32_t>(b.memory.size());
  const uint32_t start = b.frame * b.format.BlockAlign;
  const uint32_t end = b.frame + 1 == b.frames ? size : start + b.format.BlockAlign;
  for (const PositionNotification& n : b.notifications) {
    if (n.Offset != kDsbPnOffsetStop && n.Offset >= start && n.Offset < end) n.EventNotify->Set();
  }
  ++b.frame;
  if (b.hasStopMark && b.stopMark > start && b.stopMark <= end) {
    b.playing = false;
    b.hasStopMark = false;
    if (b.frame >= b.frames) b.frame = 0;
    b.fraction = 0;
    if (b.stopMarkEvent) b.stopMarkEvent->Set();
    Core::SignalStop(b);
    return;
  }
  if (b.frame >= b.frames) {
    b.frame = 0;
    if (!b.looping) {
      // A buffer played once rewinds when it ends, so the next play starts it again.
      b.playing = false;
      b.fraction = 0;
      Core::SignalStop(b);
    }
  }
}

void MixBuffer(BufferState& b, int32_t* mix, size_t frames) {
  for (size_t k = 0; k < frames && b.playing; ++k) {
    int32_t l0, r0;
    ReadFrame(b, b.frame, l0, r0);
    if (b.fraction != 0) {
      // Linear interpolation towards the next frame (the first one again when looping).
      uint32_t next = b.frame + 1;
      if (next >= b.frames) next = b.looping ? 0 : b.frame;
      int32_t l1, r1;
      ReadFrame(b, next, l1, r1);
      const int64_t f = b.fraction >> 16;  // 0..65535
      l0 += static_cast<int32_t>(((l1 - l0) * f) >> 16);
      r0 += static_cast<int32_t>(((r1 - r0) * f) >> 16);
    }
    mix[2 * k] += static_cast<int32_t>((static_cast<int64_t>(l0) * b.gainQ16 + 0x8000) >> 16);
    mix[2 * k + 1] += static_cast<int32_t>((static_cast<int64_t>(r0) * b.gainQ16 + 0x8000) >> 16);
    const uint64_t position = static_cast<uint64_t>(b.fraction) + b.stepQ32;
    b.fraction = static_cast<uint32_t>(position);
    for (uint64_t advance = position >> 32; advance > 0 && b.playing; --advance) AdvanceFrame(b);
  }
}

inline int32_t Clamp16(int64_t v) {
  return static_cast<int32_t>(std::clamp<int64_t>(v, -32768, 32767));
}

}  // namespace

void Core::SignalStop(BufferState& buffer) {
  for (const PositionNotification& n : buffer.notifications) {
    if (n.Offset == kDsbPnOffsetStop) n.EventNotify->Set();
  }
}

void Core::Render(uint8_t* out, size_t bytes) {
  const size_t frameBytes = static_cast<size_t>(output.BytesPerFrame());
  size_t framesLeft = frameBytes ? bytes / frameBytes : 0;
  const int32_t masterQ16 =
      primary && (primary->flags & kDsbCapsCtrlVolume) ? primary->gainQ16 : 65536;
  while (framesLeft > 0) {
    const size_t n = std::min(framesLeft, kSliceFrames);
    std::fill(mix.begin(), mix.begin() + 2 * n, 0);
    for (const auto& buffer : buffers) {
      if (buffer->playing && !buffer->lost) MixBuffer(*buffer, mix.data(), n);
    }
    for (size_t k = 0; k < n; ++k) {
      int32_t left = Clamp16((static_cast<int64_t>(mix[2 * k]) * masterQ16 + 0x8000) >> 16);
      int32_t right = Clamp16((static_cast<int64_t>(mix[2 * k + 1]) * masterQ16 + 0x8000) >> 16);
      if (output.channels == 1) left = right = (left + right) / 2;
      for (int c = 0; c < output.channels; ++c) {
        const int32_t v = c == 0 ? left : right;
        if (output.bits == 8) {
          *out++ = static_cast<uint8_t>((v >> 8) + 128);
        } else {
          *out++ = static_cast<uint8_t>(v & 0xFF);
          *out++ = static_cast<uint8_t>((v >> 8) & 0xFF);
        }
      }
    }
    framesLeft -= n;
  }
  // A partial frame at the end (never asked for by the outputs) stays silent.
  const size_t rest = frameBytes ? bytes % frameBytes : bytes;
  std::memset(out, output.bits == 8 ? 128 : 0, rest);
}

}  // namespace platform::bufferdevice
