#include "tools/earshot/Correlate.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <numbers>

namespace earshot {
namespace {

using Complex = std::complex<double>;

// In-place iterative radix-2 FFT; a.size() is a power of two.
void Fft(std::vector<Complex>& a, bool inverse) {
  const size_t n = a.size();
  for (size_t i = 1, j = 0; i < n; ++i) {
    size_t bit = n >> 1;
    for (; j & bit; bit >>= 1) j ^= bit;
    j ^= bit;
    if (i < j) std::swap(a[i], a[j]);
  }
  for (size_t len = 2; len <= n; len <<= 1) {
    const double angle = 2 * std::numbers::pi / double(len) * (inverse ? 1 : -1);
    const Complex step(std::cos(angle), std::sin(angle));
    for (size_t i = 0; i < n; i += len) {
      Complex w(1);
      for (size_t k = 0; k < len / 2; ++k) {
        const Complex u = a[i + k];
        const Complex v = a[i + k + len / 2] * w;
        a[i + k] = u + v;
        a[i + k + len / 2] = u - v;
        w *= step;
      }
    }
  }
  if (inverse)
    for (Complex& x : a) x /= double(n);
}

}  // namespace

Correlation Correlate(const std::vector<float>& signal, const std::vector<float>& tmpl) {
  const size_t n = signal.size(), m = tmpl.size();
  if (m == 0 || m > n) return {};
  double tmplEnergy = 0;
  for (float s : tmpl) tmplEnergy += double(s) * s;
  if (tmplEnergy <= 0) return {};

  size_t size = 1;
  while (size < n + m) size <<= 1;
  std::vector<Complex> a(size), b(size);
  for (size_t i = 0; i < n; ++i) a[i] = signal[i];
  for (size_t i = 0; i < m; ++i) b[i] = tmpl[i];
  Fft(a, false);
  Fft(b, false);
  for (size_t i = 0; i < size; ++i) a[i] *= std::conj(b[i]);
  Fft(a, true);

  // Energy of the signal under the template at each start, from running sums.
  std::vector<double> energy(n + 1, 0);
  for (size_t i = 0; i < n; ++i) energy[i + 1] = energy[i] + double(signal[i]) * signal[i];
  const double tmplNorm = std::sqrt(tmplEnergy);
  Correlation out;
  out.score.resize(n - m + 1);
  out.gain.resize(n - m + 1);
  for (size_t start = 0; start < out.score.size(); ++start) {
    const double e = energy[start + m] - energy[start];
    // Rounding in the running sums can leave a hair of energy over true silence.
    out.score[start] = e > 1e-9 * tmplEnergy ? a[start].real() / (tmplNorm * std::sqrt(e)) : 0;
    out.gain[start] = a[start].real() / tmplEnergy;
  }
  return out;
}

std::vector<Match> FindMatches(const std::vector<float>& signal, const std::vector<float>& tmpl,
                               const MatchRule& rule) {
  const Correlation c = Correlate(signal, tmpl);
  std::vector<Match> found;
  const size_t m = tmpl.size();
  for (size_t i = 0; i < c.score.size(); ++i) {
    if (c.score[i] < rule.minScore || c.gain[i] < rule.minGain || c.gain[i] > rule.maxGain)
      continue;
    const Match here{i, c.score[i], c.gain[i]};
    // A match overlapping the last one keeps whichever scores more.
    if (!found.empty() && i < found.back().start + m) {
      if (here.score > found.back().score) found.back() = here;
      continue;
    }
    found.push_back(here);
  }
  return found;
}

namespace {

// The score and gain of each match measured again with the other matches taken out of the
// signal: two sounds that overlap no longer count against each other. A few rounds settle it.
void Refit(const std::vector<float>& signal, const std::vector<Named>& templates,
           std::vector<Found>& found) {
  for (int round = 0; round < 3; ++round) {
    for (size_t k = 0; k < found.size(); ++k) {
      const std::vector<float>& tmpl = *templates[found[k].which].tmpl;
      const size_t start = found[k].match.start;
      double dot = 0, energy = 0, tmplEnergy = 0;
      for (size_t i = 0; i < tmpl.size(); ++i) {
        double x = signal[start + i];
        for (size_t j = 0; j < found.size(); ++j) {
          if (j == k) continue;
          const std::vector<float>& other = *templates[found[j].which].tmpl;
          const size_t at = found[j].match.start;
          if (start + i >= at && start + i < at + other.size())
            x -= found[j].match.gain * other[start + i - at];
        }
        dot += x * tmpl[i];
        energy += x * x;
        tmplEnergy += double(tmpl[i]) * tmpl[i];
      }
      if (tmplEnergy <= 0 || energy <= 0) continue;
      found[k].match.gain = dot / tmplEnergy;
      found[k].match.score = dot / std::sqrt(tmplEnergy * energy);
    }
  }
}

bool Passes(const Match& m, const MatchRule& rule) {
  return m.score >= rule.minScore && m.gain >= rule.minGain && m.gain <= rule.maxGain;
}

}  // namespace

std::vector<Found> FindAll(const std::vector<float>& signal, const std::vector<Named>& templates,
                           const MatchRule& rule) {
  std::vector<Found> found;
  for (size_t t = 0; t < templates.size(); ++t)
    for (const Match& m : FindMatches(signal, *templates[t].tmpl, rule)) found.push_back({t, m});
  Refit(signal, templates, found);
  std::vector<float> residual = signal;
  for (const Found& f : found) {
    const std::vector<float>& tmpl = *templates[f.which].tmpl;
    for (size_t i = 0; i < tmpl.size(); ++i)
      residual[f.match.start + i] -= float(f.match.gain * tmpl[i]);
  }
  const size_t firstPass = found.size();
  for (size_t t = 0; t < templates.size(); ++t) {
    for (const Match& m : FindMatches(residual, *templates[t].tmpl, rule)) {
      const size_t length = templates[t].tmpl->size();
      bool known = false;
      for (size_t k = 0; k < firstPass; ++k) {
        const Found& f = found[k];
        if (f.which == t && m.start < f.match.start + length && f.match.start < m.start + length)
          known = true;
      }
      if (!known) found.push_back({t, m});
    }
  }
  Refit(signal, templates, found);
  std::erase_if(found, [&](const Found& f) { return !Passes(f.match, rule); });
  std::sort(found.begin(), found.end(),
            [](const Found& a, const Found& b) { return a.match.start < b.match.start; });
  return found;
}

Match BestMatch(const std::vector<float>& signal, const std::vector<float>& tmpl) {
  const Correlation c = Correlate(signal, tmpl);
  Match best;
  for (size_t i = 0; i < c.score.size(); ++i)
    if (c.score[i] > best.score) best = {i, c.score[i], c.gain[i]};
  return best;
}

}  // namespace earshot
