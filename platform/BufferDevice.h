#pragma once

// A DirectSound-like buffer device over the process's one audio output: a device object with
// a cooperative level, an optional primary buffer and any number of secondary buffers that the
// device mixes in software (format and rate conversion, volume) into the output stream.
//
// Thread model: every method except Render may be called from any thread (the player calls
// them from the main thread); Render runs on the output's thread. One mutex per device guards
// the buffers' state and sample memory; Render holds it while it mixes one slice and never
// allocates, logs, throws or calls Qt. Position notifications signal platform::Event objects
// from Render (or from Stop), which is safe on the audio thread.
//
// Results are DirectSound's: 0 for success, the DSERR_ values below for failures.

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <vector>

#include "platform/AudioOutput.h"
#include "platform/Event.h"

namespace platform {

using DsResult = uint32_t;
inline constexpr DsResult kDsOk = 0;
inline constexpr DsResult kDsErrAllocated = 0x8878000A;
inline constexpr DsResult kDsErrControlUnavail = 0x8878001E;
inline constexpr DsResult kDsErrInvalidParam = 0x80070057;
inline constexpr DsResult kDsErrInvalidCall = 0x88780032;
inline constexpr DsResult kDsErrPrioLevelNeeded = 0x88780046;
inline constexpr DsResult kDsErrNoDriver = 0x88780078;
inline constexpr DsResult kDsErrBufferLost = 0x88780096;
inline constexpr DsResult kDsErrOutOfMemory = 0x8007000E;
inline constexpr bool DsFailed(DsResult result) {
  return (result & 0x80000000u) != 0;
}

// Buffer capability flags (BufferDesc::Flags).
inline constexpr uint32_t kDsbCapsPrimaryBuffer = 0x01;
inline constexpr uint32_t kDsbCapsStatic = 0x02;
inline constexpr uint32_t kDsbCapsCtrlFrequency = 0x20;
inline constexpr uint32_t kDsbCapsCtrlPan = 0x40;
inline constexpr uint32_t kDsbCapsCtrlVolume = 0x80;
inline constexpr uint32_t kDsbCapsCtrlPositionNotify = 0x100;

// Status bits (SoundBuffer::GetStatus).
inline constexpr uint32_t kDsbStatusPlaying = 0x01;
inline constexpr uint32_t kDsbStatusBufferLost = 0x02;
inline constexpr uint32_t kDsbStatusLooping = 0x04;

inline constexpr uint32_t kDsbPlayLooping = 0x01;
inline constexpr uint32_t kDsbLockEntireBuffer = 0x02;
// Notification offset meaning "when the buffer stops".
inline constexpr uint32_t kDsbPnOffsetStop = 0xFFFFFFFF;

// Volume in hundredths of a decibel.
inline constexpr int32_t kDsbVolumeMin = -10000;
inline constexpr int32_t kDsbVolumeMax = 0;

// Cooperative levels.
inline constexpr uint32_t kDssclNormal = 1;
inline constexpr uint32_t kDssclPriority = 2;
inline constexpr uint32_t kDssclExclusive = 3;
inline constexpr uint32_t kDssclWritePrimary = 4;

// Buffer sizes a secondary buffer may have.
inline constexpr uint32_t kDsbSizeMin = 4;
inline constexpr uint32_t kDsbSizeMax = 0x0FFFFFFF;

// The 16 bytes of a WAVE file's format chunk plus the extra-size word.
struct WaveFormatEx {
  uint16_t FormatTag = 1;
  uint16_t Channels = 2;
  uint32_t SamplesPerSec = 22050;
  uint32_t AvgBytesPerSec = 88200;
  uint16_t BlockAlign = 4;
  uint16_t BitsPerSample = 16;
  uint16_t CbSize = 0;
};

struct BufferDesc {
  uint32_t Size = 20;
  uint32_t Flags = 0;
  uint32_t BufferBytes = 0;  // 0 for the primary buffer
  uint32_t Reserved = 0;
  const WaveFormatEx* Format = nullptr;  // none for the primary buffer
};

struct PositionNotification {
  uint32_t Offset = 0;  // byte offset in the buffer, or kDsbPnOffsetStop
  std::shared_ptr<Event> EventNotify;
};

// The one or two regions of a lock; the second is empty unless the lock wraps.
struct LockRegions {
  uint8_t* Ptr1 = nullptr;
  uint32_t Bytes1 = 0;
  uint8_t* Ptr2 = nullptr;
  uint32_t Bytes2 = 0;
};

// Linear gain of a volume in hundredths of a decibel, 16.16 fixed point; the minimum is
// silence.
int32_t VolumeToGainQ16(int32_t volumeCentibels);

namespace bufferdevice {
struct Core;
struct BufferState;
}  // namespace bufferdevice

class SoundBuffer {
 public:
  ~SoundBuffer();  // releases the buffer; it stops sounding at once
  SoundBuffer(const SoundBuffer&) = delete;
  SoundBuffer& operator=(const SoundBuffer&) = delete;

  uint32_t Flags() const;
  uint32_t Bytes() const;  // 0 for the primary buffer

  // Secondary buffers play from their current position, once or looping; a playing buffer
  // only takes the new looping flag. The primary buffer's play just keeps the device running.
  [[nodiscard]] DsResult Play(uint32_t flags);
  // Keeps the position. Signals the stop notifications when the buffer was playing.
  DsResult Stop();
  [[nodiscard]] DsResult GetStatus(uint32_t& status) const;
  [[nodiscard]] DsResult GetCurrentPosition(uint32_t* playCursor, uint32_t* writeCursor) const;
  [[nodiscard]] DsResult SetCurrentPosition(uint32_t position);
  // Needs kDsbCapsCtrlVolume; values outside kDsbVolumeMin..kDsbVolumeMax are refused.
  [[nodiscard]] DsResult GetVolume(int32_t& volumeCentibels) const;
  [[nodiscard]] DsResult SetVolume(int32_t volumeCentibels);
  // Primary buffer only; needs the priority cooperative level or above.
  [[nodiscard]] DsResult SetFormat(const WaveFormatEx& format);
  [[nodiscard]] DsResult GetFormat(WaveFormatEx& format) const;

  // Locks bytes at offset (or the entire buffer with kDsbLockEntireBuffer) for writing. The
  // regions point at a copy that Unlock writes back, so the mixer never reads a half-written
  // region. One lock at a time.
  [[nodiscard]] DsResult Lock(uint32_t offset, uint32_t bytes, LockRegions& regions,
                              uint32_t flags);
  [[nodiscard]] DsResult Unlock(const LockRegions& regions);
  // Restores a lost buffer (its memory must be filled again).
  [[nodiscard]] DsResult Restore();

  // Position notifications (needs kDsbCapsCtrlPositionNotify; refused while playing).
  [[nodiscard]] DsResult SetNotificationPositions(std::span<const PositionNotification> positions);

  // Makes the buffer stop by itself when its play cursor next reaches offset (1..Bytes(); the
  // buffer's end counts as Bytes()), leaving the cursor there and signalling event. So the
  // end of a stream inside a ring is met at its exact byte whatever the caller's latency.
  [[nodiscard]] DsResult SetStopMark(uint32_t offset, std::shared_ptr<Event> event);
  void ClearStopMark();

 private:
  friend class BufferDevice;
  SoundBuffer(std::shared_ptr<bufferdevice::Core> core,
              std::shared_ptr<bufferdevice::BufferState> state);
  std::shared_ptr<bufferdevice::Core> core_;
  std::shared_ptr<bufferdevice::BufferState> state_;
  std::vector<uint8_t> lockCopy_;
  uint32_t lockOffset_ = 0;
  bool locked_ = false;
};

class BufferDevice {
 public:
  // A device that the caller renders (tests, and the output adapter).
  explicit BufferDevice(const AudioFormat& outputFormat);
  ~BufferDevice();
  BufferDevice(const BufferDevice&) = delete;
  BufferDevice& operator=(const BufferDevice&) = delete;

  // window: the owner's native handle, kept for the record. Levels 1..4.
  [[nodiscard]] DsResult SetCooperativeLevel(uintptr_t window, uint32_t level);
  uint32_t CooperativeLevel() const;

  // Secondary buffers: 8- or 16-bit PCM, 1 or 2 channels, 100..200000 Hz, kDsbSizeMin..
  // kDsbSizeMax bytes. The primary buffer: flags with kDsbCapsPrimaryBuffer, no size, no
  // format; there is one per device.
  [[nodiscard]] DsResult CreateSoundBuffer(const BufferDesc& desc,
                                           std::unique_ptr<SoundBuffer>& buffer);

  // Mixes every playing buffer into out (bytes of the output format), advancing cursors and
  // signalling notifications. Called on the output's thread.
  void Render(uint8_t* out, size_t bytes);
  const AudioFormat& OutputFormat() const;

  // For tests: every existing secondary buffer is lost, as when another program takes the
  // sound device; lost buffers stop and refuse Play and Lock until restored.
  void LoseBuffers();
  // For tests: the number of secondary buffers alive.
  int BufferCount() const;

  // Makes output render this device (as one of its sources) for the device's life. False
  // when the output takes no more sources. Main thread.
  [[nodiscard]] bool ConnectTo(std::shared_ptr<AudioOutput> output);

 private:
  std::shared_ptr<bufferdevice::Core> core_;
  std::shared_ptr<AudioOutput> output_;
  int sourceId_ = -1;
};

// Creates the device over the process's audio output (the stand-in for creating the
// DirectSound object of the default device): kDsErrNoDriver or kDsErrAllocated when the
// output cannot be had.
[[nodiscard]] DsResult CreateBufferDevice(std::unique_ptr<BufferDevice>& device);

// For tests: replaces how CreateBufferDevice makes devices (an empty function restores the
// default).
using BufferDeviceFactory = std::function<DsResult(std::unique_ptr<BufferDevice>&)>;
void SetBufferDeviceFactory(BufferDeviceFactory factory);

}  // namespace platform
