#include "platform/AudioMixBus.h"

#include <algorithm>
#include <cstring>

namespace platform {

AudioMixBus::AudioMixBus(const AudioFormat& format) : format_(format), scratch_(kScratchBytes) {}

int AudioMixBus::Add(AudioRender render) {
  if (!render) return -1;
  std::lock_guard lock(mutex_);
  for (size_t i = 0; i < sources_.size(); ++i) {
    if (!sources_[i]) {
      sources_[i] = std::move(render);
      return static_cast<int>(i);
    }
  }
  return -1;
}

void AudioMixBus::Remove(int sourceId) {
  if (sourceId < 0 || sourceId >= static_cast<int>(sources_.size())) return;
  AudioRender old;
  {
    std::lock_guard lock(mutex_);
    old.swap(sources_[static_cast<size_t>(sourceId)]);
  }
  // old (and whatever it captured) dies here, outside the lock.
}

void FillSilence(const AudioFormat& format, uint8_t* out, size_t bytes) {
  std::memset(out, format.bits == 8 ? 128 : 0, bytes);
}

void AudioMixBus::AddInto(uint8_t* out, const uint8_t* in, size_t bytes) const {
  if (format_.bits == 8) {
    for (size_t i = 0; i < bytes; ++i) {
      const int v = int(out[i]) + int(in[i]) - 128;
      out[i] = static_cast<uint8_t>(std::clamp(v, 0, 255));
    }
    return;
  }
  // 16-bit little-endian signed samples; the bytes are handled directly so that unaligned
  // buffers are fine.
  for (size_t i = 0; i + 1 < bytes; i += 2) {
    const int a = int16_t(uint16_t(out[i] | (out[i + 1] << 8)));
    const int b = int16_t(uint16_t(in[i] | (in[i + 1] << 8)));
    const int v = std::clamp(a + b, -32768, 32767);
    out[i] = static_cast<uint8_t>(v & 0xFF);
    out[i + 1] = static_cast<uint8_t>((v >> 8) & 0xFF);
  }
}

void AudioMixBus::Render(uint8_t* out, size_t bytes) {
  std::lock_guard lock(mutex_);
  bool first = true;
  for (auto& source : sources_) {
    if (!source) continue;
    if (first) {
      source(out, bytes);
      first = false;
      continue;
    }
    for (size_t done = 0; done < bytes;) {
      const size_t n = std::min(bytes - done, scratch_.size());
      source(scratch_.data(), n);
      AddInto(out + done, scratch_.data(), n);
      done += n;
    }
  }
  if (first) FillSilence(format_, out, bytes);
}

}  // namespace platform
