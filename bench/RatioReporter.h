#pragma once

// A console reporter that also remembers each benchmark's real time per iteration, so that a
// benchmark program can print the ratio of a measured path to its baseline from the same run.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <utility>
#include <vector>

class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs)
      if (run.run_type == Run::RT_Iteration && run.iterations > 0) {
        timesNs_[run.benchmark_name()] = run.GetAdjustedRealTime();
        for (const auto& [name, counter] : run.counters)
          counters_[run.benchmark_name()][name] = counter.value;
      }
    ConsoleReporter::ReportRuns(runs);
  }

  // Prints measured / baseline for each pair; returns false when a name did not run.
  bool PrintRatios(const std::vector<std::pair<std::string, std::string>>& pairs,
                   double goal) const {
    bool all = true;
    for (const auto& [measured, baseline] : pairs) {
      const auto m = timesNs_.find(measured);
      const auto b = timesNs_.find(baseline);
      if (m == timesNs_.end() || b == timesNs_.end() || b->second <= 0) {
        all = false;
        continue;
      }
      const double ratio = m->second / b->second;
      std::printf("ratio %s / %s = %.3f (goal at most %.2f)\n", measured.c_str(), baseline.c_str(),
                  ratio, goal);
    }
    return all;
  }

  // The same for a counter both benchmarks report (cpu_ms: CPU time per iteration).
  bool PrintCounterRatios(const std::vector<std::pair<std::string, std::string>>& pairs,
                          const std::string& counter, double goal) const {
    bool all = true;
    for (const auto& [measured, baseline] : pairs) {
      const double m = Counter(measured, counter);
      const double b = Counter(baseline, counter);
      if (m < 0 || b <= 0) {
        all = false;
        continue;
      }
      std::printf("ratio %s / %s by %s = %.3f (goal at most %.2f)\n", measured.c_str(),
                  baseline.c_str(), counter.c_str(), m / b, goal);
    }
    return all;
  }

 private:
  double Counter(const std::string& run, const std::string& counter) const {
    const auto r = counters_.find(run);
    if (r == counters_.end()) return -1;
    const auto c = r->second.find(counter);
    return c == r->second.end() ? -1 : c->second;
  }

  std::map<std::string, double> timesNs_;
  std::map<std::string, std::map<std::string, double>> counters_;
};

// Runs the program's benchmarks and prints the ratios of pairs; a program that needs Qt makes
// its application object first.
inline int RunBenchmarksWithRatios(int argc, char** argv,
                                   const std::vector<std::pair<std::string, std::string>>& pairs,
                                   double goal) {
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.PrintRatios(pairs, goal);
  benchmark::Shutdown();
  return 0;
}

// main() for a benchmark program that reports ratios.
#define QX_BENCHMARK_MAIN_WITH_RATIOS(goal, ...)                     \
  int main(int argc, char** argv) {                                  \
    return RunBenchmarksWithRatios(argc, argv, {__VA_ARGS__}, goal); \
  }
