#pragma once

// Synthesised WAVE files: the navigator's interface effects and its background music. Plain
// PCM in several rates, widths and channel counts, so the players' format handling is used.

#include <QByteArray>
#include <QString>
#include <vector>

namespace sounds {

struct Format {
  int RateHz = 22050;
  int Bits = 16;  // 8 (unsigned) or 16 (signed)
  int Channels = 1;
};

// A RIFF WAVE file holding the samples (range -1..1, interleaved when stereo).
QByteArray EncodeWave(const Format& format, const std::vector<float>& samples);

struct NamedWave {
  QString FileName;  // with ".wav"
  QByteArray Bytes;
};

// The thirteen effects in their table order, then the music files "Theme*.wav".
std::vector<NamedWave> NavigatorWaves();

// A short sound for the explorer's media folder.
QByteArray ExplorerChime();

}  // namespace sounds
