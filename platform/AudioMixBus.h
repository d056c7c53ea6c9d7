#pragma once

// The summing stage shared by every AudioOutput: a fixed table of sources, each rendering the
// stream's format, added sample by sample with clamping. Render runs on the output's thread;
// Add and Remove on the main thread. A mutex keeps the table consistent; the render side
// holds it only while it renders, and nothing on that side allocates.

#include <array>
#include <mutex>
#include <vector>

#include "platform/AudioOutput.h"

namespace platform {

class AudioMixBus {
 public:
  explicit AudioMixBus(const AudioFormat& format);

  int Add(AudioRender render);
  void Remove(int sourceId);
  // Fills out with the sum of every source, or silence when there is none.
  void Render(uint8_t* out, size_t bytes);

 private:
  void AddInto(uint8_t* out, const uint8_t* in, size_t bytes) const;

  static constexpr size_t kScratchBytes = 16384;
  AudioFormat format_;
  std::mutex mutex_;
  std::array<AudioRender, AudioOutput::kMaxSources> sources_;
  std::vector<uint8_t> scratch_;  // sized once; the render side never grows it
};

// Silence of a format: 128 for 8-bit unsigned samples, 0 for 16-bit signed ones.
void FillSilence(const AudioFormat& format, uint8_t* out, size_t bytes);

}  // namespace platform
