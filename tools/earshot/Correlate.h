#pragma once

// Where a known sound lies in a recording: normalised cross-correlation of a template against
// a longer signal, computed through the FFT so that minutes of capture stay quick.

#include <cstddef>
#include <vector>

namespace earshot {

// One place where the template matches: its first sample in the signal and the normalised
// correlation there (1 for an exact, scaled copy; music mixed under it lowers the score).
struct Match {
  size_t start = 0;
  double score = 0;
  double gain = 0;  // the template's level there: 1 for the template as it is
};

// At every start 0..signal.size()-tmpl.size(): the normalised correlation (stretches of the
// signal that are silent score 0) and the gain that fits the template best to the signal
// there (its projection). Empty when the template is longer than the signal or has no energy.
struct Correlation {
  std::vector<double> score;
  std::vector<double> gain;
};
Correlation Correlate(const std::vector<float>& signal, const std::vector<float>& tmpl);

// Music under a sound lowers its score, so a match is also judged by its gain: where the
// template merely resembles the music its best fit is faint, where it sounds it is near the
// playing level.
struct MatchRule {
  double minScore = 0.3;
  double minGain = 0.5;
  double maxGain = 2.0;
};

// The places that pass the rule, each the best-scoring within one template length of it, in
// signal order.
std::vector<Match> FindMatches(const std::vector<float>& signal, const std::vector<float>& tmpl,
                               const MatchRule& rule);

// A named template and where it matched.
struct Named {
  const char* name = nullptr;
  const std::vector<float>* tmpl = nullptr;
};
struct Found {
  size_t which = 0;  // index into the templates
  Match match;
};

// Every template's matches, then, with those sounds taken out of the signal, the matches that
// they hid (two sounds started together lower each other's score); each judged again with the
// others taken out. In time order.
std::vector<Found> FindAll(const std::vector<float>& signal, const std::vector<Named>& templates,
                           const MatchRule& rule);

// The best-scoring place whatever its score (score 0 when there is none).
Match BestMatch(const std::vector<float>& signal, const std::vector<float>& tmpl);

}  // namespace earshot
