#pragma once

// AVI movies in a 1990s codec (Microsoft Video 1, 15-bit RGB) with 8-bit PCM sound, written
// through FFmpeg in bit-exact mode so that two runs give the same bytes.

#include <QImage>
#include <QString>
#include <functional>
#include <vector>

namespace movie {

struct Spec {
  int Width = 400;
  int Height = 300;
  int FramesPerSecond = 15;
  int FrameCount = 45;
  int SoundRateHz = 22050;
  // Picture of frame i (any format; scaled to Width x Height when it differs).
  std::function<QImage(int)> Frame;
  // The whole soundtrack, mono, samples in -1..1 at SoundRateHz.
  std::vector<float> Sound;
};

// Writes the movie to path; false with a reason in error on any FFmpeg failure.
bool WriteAvi(const QString& path, const Spec& spec, QString* error);

}  // namespace movie
