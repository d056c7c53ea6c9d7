#pragma once

// Recording an output stream written into a pipe and laying it out in time: the audio output
// stops writing while its device is closed (the navigator lets the device go in the
// background), so the arrival times of the bytes say where the silences belong.

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace earshot {

// Largest recording read back (about 100 minutes of 22050 Hz 16-bit stereo).
constexpr size_t kMaxCaptureBytes = size_t(512) << 20;

// 16-bit signed little-endian samples of a raw file, as floats in -1..1, the channels averaged
// to one. Empty, with error set, when the file cannot be read or exceeds kMaxCaptureBytes; a
// trailing part frame is ignored.
std::vector<float> ReadRawMono(const std::string& path, int channels, std::string* error);
bool WriteRawMono(const std::string& path, const std::vector<float>& samples);

// One read from the pipe: when it arrived (ms since recording began) and the bytes received
// in all up to and including it.
struct Arrival {
  double ms = 0;
  uint64_t totalBytes = 0;
};

// Copies in to out until end of file, noting each read's arrival in times (one "ms bytes"
// line per read, flushed, so a reader can follow the recording as it grows).
bool Record(std::FILE* in, std::FILE* out, std::FILE* times);
std::vector<Arrival> ReadArrivals(const std::string& path);

// A stretch of silence put into the timeline where the stream stood still.
struct Gap {
  uint64_t atFrame = 0;  // in the timeline
  uint64_t frames = 0;
};

// Where the recorded frames go in real time: a read arriving more than minGapMs later than the
// frames before it could have played inserts silence for the difference. Returns the gaps in
// order; frameBytes and rateHz describe the stream.
std::vector<Gap> FindGaps(const std::vector<Arrival>& arrivals, int frameBytes, int rateHz,
                          double minGapMs);
// The raw stream (bytes, whole frames) with the gaps filled with zero bytes.
std::vector<char> LayOut(const std::vector<char>& stream, const std::vector<Gap>& gaps,
                         int frameBytes);

}  // namespace earshot
