#pragma once

// The wave-out device the mixer plays through: the device count and capabilities, a format
// query, and an open device to which blocks of samples are written. Each written block plays
// in order; when it has played (or the device is reset) the main thread takes it off the
// device's list, sets its done flag and posts a WaveOutDoneEvent, in write order. A header
// with the done flag is no longer linked anywhere, so it may be written again at once. The
// device renders into the process's one output stream, converting its own format (8 or 16
// bits, mono or stereo, any rate) to the stream's and applying the left/right volume.
//
// Results are the multimedia result codes below (0 = success). Every call except the render
// is for the main thread; notifications arrive there through the event loop.

#include <QEvent>
#include <QObject>
#include <QPointer>
#include <QString>
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>

#include "platform/AudioOutput.h"

class QSocketNotifier;

namespace platform {

class AudioSystem;

// Result codes.
enum : uint32_t {
  kMmNoError = 0,
  kMmError = 1,
  kMmBadDeviceId = 2,
  kMmAllocated = 4,  // the device is held by another program
  kMmInvalHandle = 5,
  kMmNoMem = 7,
  kMmInvalParam = 11,
  kWaveBadFormat = 32,
  kWaveStillPlaying = 33,
  kWaveUnprepared = 34,
};

constexpr int kWaveMapper = -1;  // the device number that lets the system choose

// Capability bits of WaveOutCaps::Support.
constexpr uint32_t kWaveCapsVolume = 0x0004;
constexpr uint32_t kWaveCapsLRVolume = 0x0008;
constexpr uint32_t kWaveCapsSync = 0x0010;

// Header flag bits.
constexpr uint32_t kWhdrDone = 0x01;
constexpr uint32_t kWhdrPrepared = 0x02;
constexpr uint32_t kWhdrInQueue = 0x10;

constexpr uint16_t kWaveFormatPcm = 1;

// The 16-byte PCM format record of WAVE files and devices.
struct PcmWaveFormat {
  uint16_t FormatTag = kWaveFormatPcm;
  uint16_t Channels = 1;
  uint32_t SamplesPerSec = 11025;
  uint32_t AvgBytesPerSec = 11025;
  uint16_t BlockAlign = 1;
  uint16_t BitsPerSample = 8;
  bool operator==(const PcmWaveFormat&) const = default;
};

struct WaveOutCaps {
  QString ProductName;  // at most 31 characters
  uint16_t Channels = 0;
  uint32_t Support = 0;  // kWaveCaps* bits
};

// One block of samples. The caller owns it and its data; between Write and the done flag the
// device reads them, so the caller leaves both alone.
struct WaveHeader {
  uint8_t* Data = nullptr;
  uint32_t BufferLength = 0;
  std::atomic<uint32_t> Flags{0};  // kWhdr* bits; the device sets done from its own thread
  uint32_t Loops = 0;
  void* User = nullptr;        // the caller's
  WaveHeader* Next = nullptr;  // the device's queue link
};

class WaveOut;

// The output-block-done message (0x3BD): posted to the notification target once per block.
class WaveOutDoneEvent final : public QEvent {
 public:
  static constexpr QEvent::Type kType = static_cast<QEvent::Type>(QEvent::User + 0x3BD);
  WaveOutDoneEvent(WaveOut* device, WaveHeader* header)
      : QEvent(kType), Device(device), Header(header) {}
  WaveOut* const Device;
  WaveHeader* const Header;
};

// Devices of the process's audio system.
int WaveOutDeviceCount();
// Capabilities of a device 0..count-1 or of the wave mapper.
uint32_t WaveOutGetCaps(int deviceId, WaveOutCaps* caps);
// Device volume: left in the low, right in the high 16 bits (0xFFFF = full).
uint32_t WaveOutGetVolume(int deviceId, uint32_t* volume);
uint32_t WaveOutSetVolume(int deviceId, uint32_t volume);

class WaveOut {
 public:
  // Whether a device could be opened in format (nothing is opened).
  static uint32_t Query(int deviceId, const PcmWaveFormat& format);
  // Opens a device; notify (may be null) receives the done events. kMmAllocated when the
  // output cannot be had.
  static uint32_t Open(int deviceId, const PcmWaveFormat& format, QObject* notify,
                       std::unique_ptr<WaveOut>* device);
  // Resets and closes.
  ~WaveOut();
  WaveOut(const WaveOut&) = delete;
  WaveOut& operator=(const WaveOut&) = delete;

  uint32_t Prepare(WaveHeader* header);
  uint32_t Unprepare(WaveHeader* header);  // kWaveStillPlaying while queued
  uint32_t Write(WaveHeader* header);      // kWaveUnprepared unless prepared
  uint32_t Pause();
  uint32_t Restart();
  // Stops, returns every queued block as done (notified in queue order), position 0.
  uint32_t Reset();
  // Bytes of this device's format played since opening or the last reset (wraps at 2^32).
  uint32_t Position(uint32_t* bytes) const;
  uint32_t SetVolume(uint32_t volume);
  uint32_t GetVolume(uint32_t* volume) const;
  // Releases the output; kWaveStillPlaying while blocks are queued. Afterwards every call
  // but the destructor gives kMmInvalHandle.
  uint32_t Close();

  const PcmWaveFormat& Format() const { return format_; }
  int DeviceId() const { return deviceId_; }

  // Posts the done events of every block that has finished. The wake-up from the render side
  // runs this; tests on the virtual output may call it to avoid a round through the loop.
  void DeliverDone();

 private:
  WaveOut(int deviceId, const PcmWaveFormat& format, QObject* notify);
  void Render(uint8_t* out, size_t bytes);
  void FinishCurrent();  // the playing block has played; under mutex_
  // Marks the chain of headers from first up to end (exclusive), already off the device's
  // list, done and posts their events, in order. Not under mutex_.
  void Hand(WaveHeader* first, const WaveHeader* end);
  bool ReadFrame(const WaveHeader* header, uint32_t offset, int* left, int* right) const;
  void Wake();
  void OnWake();
  void ReleaseOutput();

  const int deviceId_;
  const PcmWaveFormat format_;
  QPointer<QObject> notify_;
  AudioSystem* system_ = nullptr;
  std::shared_ptr<AudioOutput> output_;
  int sourceId_ = -1;
  AudioFormat streamFormat_;
  uint64_t step_ = 0;  // source frames per stream frame, 32.32 fixed point

  // Shared with the render side, under mutex_.
  mutable std::mutex mutex_;
  WaveHeader* head_ = nullptr;  // oldest block not yet handed back
  WaveHeader* tail_ = nullptr;
  WaveHeader* current_ = nullptr;  // block playing now
  uint32_t offset_ = 0;            // byte offset of the playing frame in current_
  uint64_t phase_ = 0;             // fraction of a source frame, 32.32
  uint64_t played_ = 0;
  bool paused_ = false;

  // Wake-up of the main thread from the render side: a pipe, since the render side may not
  // allocate or call Qt.
  int wakeFds_[2] = {-1, -1};
  std::atomic<bool> wakePending_{false};
  std::unique_ptr<QSocketNotifier> wakeNotifier_;
};

}  // namespace platform
