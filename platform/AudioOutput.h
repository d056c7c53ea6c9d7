#pragma once

// The one audio output stream of the process. Device models (the wave-out device of the mixer,
// the buffer device of the player) render into it; they know nothing of SDL.
//
// Thread model: Render is called on the output's own thread (SDL's audio thread) or, for the
// virtual output, on the thread that calls Pull/Advance. Render must not allocate, log, throw,
// or call Qt.

#include <QString>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>

namespace platform {

struct AudioFormat {
  int rateHz = 22050;
  int channels = 2;  // 1 or 2
  int bits = 16;     // 8 (unsigned) or 16 (signed, little-endian)
  int BytesPerFrame() const { return channels * bits / 8; }
  int BytesPerSecond() const { return rateHz * BytesPerFrame(); }
  bool operator==(const AudioFormat&) const = default;
};

// Fills exactly `bytes` bytes of the stream's format (silence where nothing plays).
using AudioRender = std::function<void(uint8_t* out, size_t bytes)>;

class AudioOutput {
 public:
  virtual ~AudioOutput() = default;
  virtual const AudioFormat& Format() const = 0;
  // Paused output renders nothing and calls nothing.
  virtual void SetPaused(bool paused) = 0;
  // Bytes rendered so far.
  virtual uint64_t BytesRendered() const = 0;

  // Adds a producer whose bytes are summed into the stream (clamped to the sample range).
  // Callable from the main thread while the stream runs. Returns the source's id, or -1 when
  // the output already carries kMaxSources sources.
  virtual int AddSource(AudioRender render) = 0;
  // Removes a source; once this returns its render is never called again.
  virtual void RemoveSource(int sourceId) = 0;

  static constexpr int kMaxSources = 16;
};

}  // namespace platform
