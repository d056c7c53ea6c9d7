#include "tools/mkdisc/Sounds.h"

#include <QtEndian>
#include <algorithm>
#include <cmath>
#include <functional>
#include <memory>

namespace sounds {
namespace {

constexpr double kPi = 3.14159265358979323846;

void Put16(QByteArray& out, quint16 v) {
  char b[2];
  qToLittleEndian(v, b);
  out.append(b, 2);
}
void Put32(QByteArray& out, quint32 v) {
  char b[4];
  qToLittleEndian(v, b);
  out.append(b, 4);
}

// Fixed-seed noise, so every run writes the same bytes.
class Noise {
 public:
  float Next() {
    state_ = state_ * 1664525u + 1013904223u;
    return static_cast<float>(static_cast<int>(state_ >> 8) % 65536) / 32768.0f - 1.0f;
  }

 private:
  quint32 state_ = 0x5eed1998u;
};

// A mono voice rendered into a buffer: f(t in seconds) gives the sample.
std::vector<float> Render(int rateHz, double seconds, const std::function<float(double)>& f) {
  const int n = static_cast<int>(rateHz * seconds);
  std::vector<float> out(static_cast<size_t>(n));
  for (int i = 0; i < n; ++i) out[static_cast<size_t>(i)] = f(double(i) / rateHz);
  return out;
}

std::vector<float> ToStereo(const std::vector<float>& mono, float pan) {
  std::vector<float> out;
  out.reserve(mono.size() * 2);
  for (float s : mono) {
    out.push_back(s * (1.0f - pan));
    out.push_back(s * pan);
  }
  return out;
}

float Envelope(double t, double attack, double length) {
  if (t < attack) return static_cast<float>(t / attack);
  return static_cast<float>(std::exp(-(t - attack) * 5.0 / length));
}

float Tone(double t, double hz) {
  return static_cast<float>(std::sin(2 * kPi * hz * t));
}

// Pitch sweep from hz0 to hz1 over the length (phase integrated, so no clicks).
float Sweep(double t, double hz0, double hz1, double length) {
  const double k = (hz1 - hz0) / length;
  return static_cast<float>(std::sin(2 * kPi * (hz0 * t + 0.5 * k * t * t)));
}

NamedWave Effect(const QString& name, Format format, double seconds,
                 const std::function<float(double)>& f, float pan = 0.5f) {
  std::vector<float> mono = Render(format.RateHz, seconds, f);
  return {name + ".wav", EncodeWave(format, format.Channels == 2 ? ToStereo(mono, pan) : mono)};
}

// Background music: a bass line, pad chords and a bell melody over a fixed progression.
std::vector<float> Music(int rateHz, double seconds, int channels, double rootHz, int seed) {
  static constexpr int kChords[4][3] = {{0, 4, 7}, {-3, 0, 4}, {5, 9, 12}, {7, 11, 14}};
  static constexpr int kMelody[16] = {12, 14, 16, 19, 16, 14, 12, 7, 9, 12, 14, 12, 11, 7, 9, 11};
  const double beat = 0.25;
  const int n = static_cast<int>(rateHz * seconds);
  std::vector<float> out;
  out.reserve(static_cast<size_t>(n * channels));
  auto semis = [rootHz](int s) { return rootHz * std::pow(2.0, s / 12.0); };
  for (int i = 0; i < n; ++i) {
    const double t = double(i) / rateHz;
    const int bar = static_cast<int>(t / (beat * 8)) % 4;
    const int step = static_cast<int>(t / beat);
    const double inStep = t - step * beat;
    const auto& chord = kChords[(bar + seed) % 4];
    float pad = 0;
    for (int k = 0; k < 3; ++k) pad += Tone(t, semis(chord[k])) * 0.12f;
    const float bass = Tone(t, semis(chord[0] - 12)) * 0.25f * Envelope(inStep, 0.01, beat * 2);
    const int note = kMelody[(step + seed * 3) % 16];
    const float bell = (Tone(t, semis(note + 12)) + 0.3f * Tone(t, semis(note + 24))) * 0.18f *
                       Envelope(inStep, 0.005, beat);
    const float fade = static_cast<float>(std::min({1.0, t / 0.3, (seconds - t) / 0.3}));
    const float left = (pad + bass + bell * 0.7f) * fade;
    const float right = (pad + bass * 0.8f + bell) * fade;
    if (channels == 2) {
      out.push_back(left);
      out.push_back(right);
    } else {
      out.push_back((left + right) * 0.5f);
    }
  }
  return out;
}

}  // namespace

QByteArray EncodeWave(const Format& format, const std::vector<float>& samples) {
  const int bytesPerSample = format.Bits / 8;
  QByteArray data;
  data.reserve(static_cast<int>(samples.size()) * bytesPerSample);
  for (float s : samples) {
    const float v = std::clamp(s, -1.0f, 1.0f);
    if (format.Bits == 8) {
      data.append(static_cast<char>(static_cast<uchar>(std::lround(128.0f + v * 127.0f))));
    } else {
      Put16(data, static_cast<quint16>(static_cast<qint16>(std::lround(v * 32767.0f))));
    }
  }
  const int blockAlign = bytesPerSample * format.Channels;
  QByteArray out;
  out.append("RIFF", 4);
  Put32(out, static_cast<quint32>(4 + 8 + 16 + 8 + data.size() + (data.size() & 1)));
  out.append("WAVE", 4);
  out.append("fmt ", 4);
  Put32(out, 16);
  Put16(out, 1);
  Put16(out, static_cast<quint16>(format.Channels));
  Put32(out, static_cast<quint32>(format.RateHz));
  Put32(out, static_cast<quint32>(format.RateHz * blockAlign));
  Put16(out, static_cast<quint16>(blockAlign));
  Put16(out, static_cast<quint16>(format.Bits));
  out.append("data", 4);
  Put32(out, static_cast<quint32>(data.size()));
  out += data;
  if (data.size() & 1) out.append('\0');  // chunks are word-aligned
  return out;
}

std::vector<NamedWave> NavigatorWaves() {
  const Format mono8{11025, 8, 1}, mono16{22050, 16, 1}, stereo16{44100, 16, 2},
      stereo8{22050, 8, 2}, mono16hi{44100, 16, 1}, mono8mid{22050, 8, 1};
  std::vector<NamedWave> waves;
  waves.push_back(Effect("MiniBts", mono8, 0.08,
                         [](double t) { return Tone(t, 1800) * Envelope(t, 0.002, 0.05) * 0.6f; }));
  waves.push_back(Effect("Details", mono16, 0.35, [](double t) {
    return Sweep(t, 300, 1200, 0.35) * Envelope(t, 0.02, 0.3) * 0.5f;
  }));
  waves.push_back(Effect("GetBack", mono16, 0.35, [](double t) {
    return Sweep(t, 1200, 300, 0.35) * Envelope(t, 0.02, 0.3) * 0.5f;
  }));
  waves.push_back(Effect(
      "fnext", stereo8, 0.15,
      [](double t) { return Tone(t, t < 0.07 ? 880 : 1320) * Envelope(t, 0.003, 0.12) * 0.5f; },
      0.8f));
  waves.push_back(Effect(
      "fback", stereo8, 0.15,
      [](double t) { return Tone(t, t < 0.07 ? 1320 : 880) * Envelope(t, 0.003, 0.12) * 0.5f; },
      0.2f));
  auto noise = std::make_shared<Noise>();
  waves.push_back(Effect("CapOpen", stereo16, 0.6, [noise](double t) {
    const float chord = (Tone(t, 523.25) + Tone(t, 659.25) + Tone(t, 783.99)) / 3.0f;
    return (chord * 0.7f + noise->Next() * 0.08f) * Envelope(t, 0.01, 0.5);
  }));
  auto noiseIn = std::make_shared<Noise>();
  waves.push_back(Effect("panelin", mono16hi, 0.5, [noiseIn](double t) {
    return (Sweep(t, 80, 400, 0.5) * 0.4f + noiseIn->Next() * 0.15f) * Envelope(t, 0.2, 0.2);
  }));
  auto noiseOut = std::make_shared<Noise>();
  waves.push_back(Effect("panelout", mono16hi, 0.5, [noiseOut](double t) {
    return (Sweep(t, 400, 80, 0.5) * 0.4f + noiseOut->Next() * 0.15f) * Envelope(t, 0.01, 0.4);
  }));
  static constexpr double kGenHz[5] = {523.25, 587.33, 659.25, 698.46, 783.99};
  for (int i = 0; i < 5; ++i) {
    const double hz = kGenHz[i];
    waves.push_back(
        Effect(QString("%1gen").arg(i + 1), i % 2 == 0 ? mono8mid : mono16, 0.3, [hz](double t) {
          return (Tone(t, hz) + 0.5f * Tone(t, hz * 2)) * 0.4f * Envelope(t, 0.004, 0.25);
        }));
  }
  // The first theme is long enough to be streamed in pieces rather than loaded whole.
  waves.push_back({"Theme1.wav", EncodeWave({22050, 16, 2}, Music(22050, 8.0, 2, 220.0, 0))});
  waves.push_back({"Theme2.wav", EncodeWave({11025, 8, 1}, Music(11025, 6.0, 1, 196.0, 1))});
  return waves;
}

QByteArray ExplorerChime() {
  std::vector<float> s = Render(22050, 1.0, [](double t) {
    return (Tone(t, 440) + Tone(t, 554.37) + Tone(t, 659.25)) / 3.0f * Envelope(t, 0.01, 0.8);
  });
  return EncodeWave({22050, 16, 1}, s);
}

}  // namespace sounds
