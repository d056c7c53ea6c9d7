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
      if (run.run_type == Run::RT_Iteration && run.iterations > 0)
        timesNs_[run.benchmark_name()] = run.GetAdjustedRealTime();
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

 private:
  std::map<std::string, double> timesNs_;
};

// main() for a benchmark program that reports ratios.
#define QX_BENCHMARK_MAIN_WITH_RATIOS(goal, ...)  \
  int main(int argc, char** argv) {               \
    benchmark::Initialize(&argc, argv);           \
    RatioReporter reporter;                       \
    benchmark::RunSpecifiedBenchmarks(&reporter); \
    reporter.PrintRatios({__VA_ARGS__}, goal);    \
    benchmark::Shutdown();                        \
    return 0;                                     \
  }
