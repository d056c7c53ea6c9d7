#include "platform/WaveOut.h"

#include <fcntl.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QSocketNotifier>
#include <algorithm>

#include "platform/AudioMixBus.h"
#include "platform/AudioSystem.h"

namespace platform {
namespace {

constexpr uint64_t kOne = uint64_t(1) << 32;

bool ValidDevice(int deviceId) {
  const int count = Audio().OutputDeviceCount();
  return count > 0 && deviceId >= kWaveMapper && deviceId < count;
}

bool ValidFormat(const PcmWaveFormat& f) {
  if (f.FormatTag != kWaveFormatPcm) return false;
  if (f.Channels != 1 && f.Channels != 2) return false;
  if (f.BitsPerSample != 8 && f.BitsPerSample != 16) return false;
  if (f.SamplesPerSec < 1000 || f.SamplesPerSec > 192000) return false;
  if (f.BlockAlign != f.Channels * f.BitsPerSample / 8) return false;
  return f.AvgBytesPerSec == f.SamplesPerSec * f.BlockAlign;
}

// Scales a 16-bit sample by a 16-bit volume, towards zero; full volume keeps it exactly.
inline int Scale(int sample, uint32_t volume) {
  if (volume >= 0xFFFF) return sample;
  return sample * static_cast<int>(volume + 1) / 65536;
}

inline void PutSample(uint8_t*& out, int bits, int sample) {
  if (bits == 8) {
    *out++ = static_cast<uint8_t>((sample >> 8) + 128);
  } else {
    *out++ = static_cast<uint8_t>(sample & 0xFF);
    *out++ = static_cast<uint8_t>((sample >> 8) & 0xFF);
  }
}

// Applies the channel volumes and writes one frame in the stream's layout (mono takes the mean).
inline void PutFrame(uint8_t*& out, int bits, int channels, int left, int right,
                     uint32_t volumeLeft, uint32_t volumeRight) {
  left = Scale(left, volumeLeft);
  right = Scale(right, volumeRight);
  if (channels == 2) {
    PutSample(out, bits, left);
    PutSample(out, bits, right);
  } else {
    PutSample(out, bits, (left + right) / 2);
  }
}

}  // namespace

int WaveOutDeviceCount() {
  return Audio().OutputDeviceCount();
}

uint32_t WaveOutGetCaps(int deviceId, WaveOutCaps* caps) {
  if (!caps) return kMmInvalParam;
  if (!ValidDevice(deviceId)) return kMmBadDeviceId;
  const AudioDeviceInfo info = Audio().OutputDevice(deviceId < 0 ? 0 : deviceId);
  caps->ProductName = deviceId < 0 ? QStringLiteral("Wave Mapper") : info.Name.left(31);
  caps->Channels = static_cast<uint16_t>(info.Channels);
  caps->Support = (info.VolumeControl ? kWaveCapsVolume : 0) |
                  (info.VolumeControl && info.LRVolume ? kWaveCapsLRVolume : 0) |
                  (info.Synchronous ? kWaveCapsSync : 0);
  return kMmNoError;
}

uint32_t WaveOutGetVolume(int deviceId, uint32_t* volume) {
  if (!volume) return kMmInvalParam;
  if (!ValidDevice(deviceId)) return kMmBadDeviceId;
  *volume = Audio().WaveVolume(deviceId);
  return kMmNoError;
}

uint32_t WaveOutSetVolume(int deviceId, uint32_t volume) {
  if (!ValidDevice(deviceId)) return kMmBadDeviceId;
  Audio().SetWaveVolume(deviceId, volume);
  return kMmNoError;
}

uint32_t WaveOut::Query(int deviceId, const PcmWaveFormat& format) {
  if (!ValidDevice(deviceId)) return kMmBadDeviceId;
  return ValidFormat(format) ? kMmNoError : kWaveBadFormat;
}

WaveOut::WaveOut(int deviceId, const PcmWaveFormat& format, QObject* notify)
    : deviceId_(deviceId), format_(format), notify_(notify) {}

uint32_t WaveOut::Open(int deviceId, const PcmWaveFormat& format, QObject* notify,
                       std::unique_ptr<WaveOut>* device) {
  if (!device) return kMmInvalParam;
  if (const uint32_t r = Query(deviceId, format); r != kMmNoError) return r;
  std::unique_ptr<WaveOut> dev(new WaveOut(deviceId, format, notify));
  dev->system_ = &Audio();
  QString error;
  dev->output_ = dev->system_->AcquireOutput(&error);
  if (!dev->output_) return kMmAllocated;
  dev->streamFormat_ = dev->output_->Format();
  dev->step_ = (uint64_t(format.SamplesPerSec) << 32) / uint64_t(dev->streamFormat_.rateHz);

  if (::pipe(dev->wakeFds_) != 0) return kMmNoMem;
  for (int fd : dev->wakeFds_) {
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
    ::fcntl(fd, F_SETFD, FD_CLOEXEC);
  }
  dev->wakeNotifier_ = std::make_unique<QSocketNotifier>(dev->wakeFds_[0], QSocketNotifier::Read);
  WaveOut* raw = dev.get();
  QObject::connect(dev->wakeNotifier_.get(), &QSocketNotifier::activated, [raw] { raw->OnWake(); });

  dev->sourceId_ =
      dev->output_->AddSource([raw](uint8_t* out, size_t bytes) { raw->Render(out, bytes); });
  if (dev->sourceId_ < 0) return kMmAllocated;
  *device = std::move(dev);
  return kMmNoError;
}

WaveOut::~WaveOut() {
  if (output_) {
    Reset();
    ReleaseOutput();
  }
  wakeNotifier_.reset();
  for (int& fd : wakeFds_) {
    if (fd >= 0) ::close(fd);
    fd = -1;
  }
}

void WaveOut::ReleaseOutput() {
  if (sourceId_ >= 0) output_->RemoveSource(sourceId_);
  sourceId_ = -1;
  output_.reset();
}

uint32_t WaveOut::Prepare(WaveHeader* header) {
  if (!output_) return kMmInvalHandle;
  if (!header || (!header->Data && header->BufferLength > 0)) return kMmInvalParam;
  header->Flags.fetch_or(kWhdrPrepared);
  return kMmNoError;
}

uint32_t WaveOut::Unprepare(WaveHeader* header) {
  if (!output_) return kMmInvalHandle;
  if (!header) return kMmInvalParam;
  if (header->Flags.load() & kWhdrInQueue) return kWaveStillPlaying;
  header->Flags.fetch_and(~kWhdrPrepared);
  return kMmNoError;
}

uint32_t WaveOut::Write(WaveHeader* header) {
  if (!output_) return kMmInvalHandle;
  if (!header) return kMmInvalParam;
  const uint32_t flags = header->Flags.load();
  if (!(flags & kWhdrPrepared)) return kWaveUnprepared;
  if (flags & kWhdrInQueue) return kWaveStillPlaying;
  std::lock_guard lock(mutex_);
  header->Flags.store((flags & ~kWhdrDone) | kWhdrInQueue);
  header->Next = nullptr;
  if (tail_) {
    tail_->Next = header;
  } else {
    head_ = header;
  }
  tail_ = header;
  if (!current_) {
    current_ = header;
    offset_ = 0;
  }
  return kMmNoError;
}

uint32_t WaveOut::Pause() {
  if (!output_) return kMmInvalHandle;
  std::lock_guard lock(mutex_);
  paused_ = true;
  return kMmNoError;
}

uint32_t WaveOut::Restart() {
  if (!output_) return kMmInvalHandle;
  std::lock_guard lock(mutex_);
  paused_ = false;
  return kMmNoError;
}

uint32_t WaveOut::Reset() {
  if (!output_) return kMmInvalHandle;
  WaveHeader* done = nullptr;
  {
    std::lock_guard lock(mutex_);
    done = head_;
    head_ = tail_ = current_ = nullptr;
    offset_ = 0;
    phase_ = 0;
    played_ = 0;
  }
  Hand(done, nullptr);
  return kMmNoError;
}

uint32_t WaveOut::Position(uint32_t* bytes) const {
  if (!output_) return kMmInvalHandle;
  if (!bytes) return kMmInvalParam;
  std::lock_guard lock(mutex_);
  *bytes = static_cast<uint32_t>(played_);
  return kMmNoError;
}

uint32_t WaveOut::SetVolume(uint32_t volume) {
  if (!output_) return kMmInvalHandle;
  system_->SetWaveVolume(deviceId_, volume);
  return kMmNoError;
}

uint32_t WaveOut::GetVolume(uint32_t* volume) const {
  if (!output_) return kMmInvalHandle;
  if (!volume) return kMmInvalParam;
  *volume = system_->WaveVolume(deviceId_);
  return kMmNoError;
}

uint32_t WaveOut::Close() {
  if (!output_) return kMmInvalHandle;
  {
    std::lock_guard lock(mutex_);
    if (current_) return kWaveStillPlaying;
  }
  DeliverDone();
  ReleaseOutput();
  return kMmNoError;
}

void WaveOut::Hand(WaveHeader* first, const WaveHeader* end) {
  // The headers are off the device's list now: only here do they get the done flag, so a
  // caller that writes a block again as soon as it sees the flag never relinks a header the
  // list still holds.
  while (first != end) {
    WaveHeader* h = first;
    first = h->Next;
    h->Next = nullptr;
    h->Flags.store((h->Flags.load() | kWhdrDone) & ~kWhdrInQueue);
    if (notify_) QCoreApplication::postEvent(notify_, new WaveOutDoneEvent(this, h));
  }
}

void WaveOut::DeliverDone() {
  WaveHeader* first = nullptr;
  WaveHeader* end = nullptr;
  {
    // Everything before the playing block has played. Nothing is allocated under the lock,
    // which the render side takes too.
    std::lock_guard lock(mutex_);
    if (head_ == current_) return;
    first = head_;
    end = current_;
    head_ = current_;
    if (!head_) tail_ = nullptr;
  }
  Hand(first, end);
}

void WaveOut::Wake() {
  if (wakePending_.exchange(true)) return;
  const char byte = 1;
  [[maybe_unused]] const auto n = ::write(wakeFds_[1], &byte, 1);
}

void WaveOut::OnWake() {
  char buffer[64];
  while (::read(wakeFds_[0], buffer, sizeof buffer) > 0) {
  }
  wakePending_.store(false);
  DeliverDone();
}

bool WaveOut::ReadFrame(const WaveHeader* header, uint32_t offset, int* left, int* right) const {
  const uint32_t frameBytes = format_.BlockAlign;
  while (header && offset + frameBytes > header->BufferLength) {
    offset = 0;
    header = header->Next;
  }
  if (!header) return false;
  const uint8_t* p = header->Data + offset;
  if (format_.BitsPerSample == 8) {
    *left = (int(p[0]) - 128) << 8;
    *right = format_.Channels == 2 ? (int(p[1]) - 128) << 8 : *left;
  } else {
    *left = int16_t(uint16_t(p[0] | (p[1] << 8)));
    *right = format_.Channels == 2 ? int16_t(uint16_t(p[2] | (p[3] << 8))) : *left;
  }
  return true;
}

void WaveOut::FinishCurrent() {
  current_ = current_->Next;
  offset_ = 0;
}

void WaveOut::Render(uint8_t* out, size_t bytes) {
  const int outChannels = streamFormat_.channels;
  const int outBits = streamFormat_.bits;
  const size_t frames = bytes / static_cast<size_t>(streamFormat_.BytesPerFrame());
  const uint32_t volume = system_->WaveVolume(deviceId_);
  const uint32_t volumeLeft = volume & 0xFFFF;
  const uint32_t volumeRight = volume >> 16;
  const uint32_t frameBytes = format_.BlockAlign;
  bool finished = false;
  size_t i = 0;
  {
    std::lock_guard lock(mutex_);
    // Same rate: whole runs of frames straight from the block, no interpolation.
    while (step_ == kOne && phase_ == 0 && !paused_ && i < frames && current_) {
      if (offset_ + frameBytes > current_->BufferLength) {
        FinishCurrent();
        finished = true;
        continue;
      }
      const size_t n =
          std::min<size_t>(frames - i, (current_->BufferLength - offset_) / frameBytes);
      const uint8_t* p = current_->Data + offset_;
      const bool eight = format_.BitsPerSample == 8;
      const bool stereo = format_.Channels == 2;
      for (size_t k = 0; k < n; ++k, p += frameBytes) {
        int left, right;
        if (eight) {
          left = (int(p[0]) - 128) << 8;
          right = stereo ? (int(p[1]) - 128) << 8 : left;
        } else {
          left = int16_t(uint16_t(p[0] | (p[1] << 8)));
          right = stereo ? int16_t(uint16_t(p[2] | (p[3] << 8))) : left;
        }
        PutFrame(out, outBits, outChannels, left, right, volumeLeft, volumeRight);
      }
      i += n;
      offset_ += uint32_t(n) * frameBytes;
      played_ += uint64_t(n) * frameBytes;
      if (offset_ + frameBytes > current_->BufferLength) {
        FinishCurrent();
        finished = true;
      }
    }
    for (; !paused_ && i < frames; ++i) {
      // Blocks too short for one frame are done at once.
      while (current_ && offset_ + frameBytes > current_->BufferLength) {
        FinishCurrent();
        finished = true;
      }
      if (!current_) break;
      int left = 0, right = 0;
      ReadFrame(current_, offset_, &left, &right);
      if (phase_ != 0) {
        // Linear step towards the next frame; the last frame of the queue is held.
        int nextLeft = left, nextRight = right;
        ReadFrame(current_, offset_ + frameBytes, &nextLeft, &nextRight);
        const auto frac = static_cast<int64_t>(phase_ >> 16);  // 0..65535
        left += static_cast<int>(((nextLeft - left) * frac) >> 16);
        right += static_cast<int>(((nextRight - right) * frac) >> 16);
      }
      PutFrame(out, outBits, outChannels, left, right, volumeLeft, volumeRight);
      phase_ += step_;
      while (phase_ >= kOne && current_) {
        phase_ -= kOne;
        offset_ += frameBytes;
        played_ += frameBytes;
        if (offset_ + frameBytes > current_->BufferLength) {
          FinishCurrent();
          finished = true;
        }
      }
    }
    if (!current_) phase_ = 0;
  }
  FillSilence(streamFormat_, out,
              (frames - i) * static_cast<size_t>(streamFormat_.BytesPerFrame()));
  if (finished) Wake();
}

}  // namespace platform
