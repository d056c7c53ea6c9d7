#include "tools/earshot/Capture.h"

#include <algorithm>
#include <chrono>
#include <fstream>
#include <sstream>

namespace earshot {

std::vector<float> ReadRawMono(const std::string& path, int channels, std::string* error) {
  std::ifstream in(path, std::ios::binary | std::ios::ate);
  if (!in || channels < 1) {
    if (error) *error = "cannot read " + path;
    return {};
  }
  const std::streamoff size = in.tellg();
  if (size < 0 || uint64_t(size) > kMaxCaptureBytes) {
    if (error) *error = path + " is larger than a recording can be";
    return {};
  }
  std::vector<char> bytes(static_cast<size_t>(size));
  in.seekg(0);
  if (!in.read(bytes.data(), size)) {
    if (error) *error = "cannot read " + path;
    return {};
  }
  const size_t frameBytes = size_t(channels) * 2;
  std::vector<float> out(bytes.size() / frameBytes);
  for (size_t f = 0; f < out.size(); ++f) {
    double sum = 0;
    for (int c = 0; c < channels; ++c) {
      const size_t at = f * frameBytes + size_t(c) * 2;
      const auto value =
          int16_t(uint16_t(uint8_t(bytes[at]) | uint16_t(uint8_t(bytes[at + 1]) << 8)));
      sum += value / 32768.0;
    }
    out[f] = float(sum / channels);
  }
  return out;
}

bool WriteRawMono(const std::string& path, const std::vector<float>& samples) {
  std::ofstream out(path, std::ios::binary);
  for (float s : samples) {
    const double clamped = s < -1 ? -1 : (s > 1 ? 1 : s);
    const auto value = uint16_t(int16_t(clamped * 32767));
    const char bytes[2] = {char(value & 0xFF), char(value >> 8)};
    out.write(bytes, 2);
  }
  return bool(out);
}

bool Record(std::FILE* in, std::FILE* out, std::FILE* times) {
  using Clock = std::chrono::steady_clock;
  const Clock::time_point begun = Clock::now();
  // Unbuffered, in small reads: fread returns when this much has come, so each arrival time
  // is that of one write of the audio output (a quarter of SDL's 512-frame buffer).
  std::setvbuf(in, nullptr, _IONBF, 0);
  std::vector<char> buffer(512);
  uint64_t total = 0;
  for (;;) {
    const size_t got = std::fread(buffer.data(), 1, buffer.size(), in);
    if (got == 0) break;
    const double ms = std::chrono::duration<double, std::milli>(Clock::now() - begun).count();
    if (std::fwrite(buffer.data(), 1, got, out) != got) return false;
    std::fflush(out);
    total += got;
    std::fprintf(times, "%.3f %llu\n", ms, static_cast<unsigned long long>(total));
    std::fflush(times);
    if (got < buffer.size()) break;  // end of the stream
  }
  return !std::ferror(in);
}

std::vector<Arrival> ReadArrivals(const std::string& path) {
  std::ifstream in(path);
  std::vector<Arrival> out;
  std::string line;
  while (std::getline(in, line)) {
    std::istringstream fields(line);
    Arrival a;
    if (fields >> a.ms >> a.totalBytes) out.push_back(a);
  }
  return out;
}

std::vector<Gap> FindGaps(const std::vector<Arrival>& arrivals, int frameBytes, int rateHz,
                          double minGapMs) {
  std::vector<Gap> gaps;
  uint64_t inserted = 0;
  for (size_t i = 1; i < arrivals.size(); ++i) {
    const uint64_t frames = (arrivals[i].totalBytes - arrivals[i - 1].totalBytes) / frameBytes;
    const double playMs = 1000.0 * double(frames) / rateHz;
    const double lateMs = arrivals[i].ms - arrivals[i - 1].ms - playMs;
    if (lateMs <= minGapMs) continue;
    const auto gapFrames = static_cast<uint64_t>(lateMs * rateHz / 1000.0);
    gaps.push_back({arrivals[i - 1].totalBytes / frameBytes + inserted, gapFrames});
    inserted += gapFrames;
  }
  return gaps;
}

std::vector<char> LayOut(const std::vector<char>& stream, const std::vector<Gap>& gaps,
                         int frameBytes) {
  std::vector<char> out;
  size_t read = 0;
  uint64_t inserted = 0;
  for (const Gap& g : gaps) {
    const size_t upTo = std::min(stream.size(), size_t(g.atFrame - inserted) * frameBytes);
    if (upTo > read) out.insert(out.end(), stream.begin() + long(read), stream.begin() + long(upTo));
    read = std::max(read, upTo);
    out.insert(out.end(), size_t(g.frames) * frameBytes, 0);
    inserted += g.frames;
  }
  out.insert(out.end(), stream.begin() + long(read), stream.end());
  return out;
}

}  // namespace earshot
