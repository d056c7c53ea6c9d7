// earshot: finds known sounds in a recording of the programs' audio output.
//
//   earshot record OUT              stdin to OUT.raw, arrival times to OUT.times
//   earshot layout OUT OUT-TIMELINE.raw
//                                   the recording with silence where the stream stood still;
//                                   prints each gap ("gap AT_S LENGTH_S")
//   earshot find SIGNAL MIN_SCORE MIN_GAIN MAX_GAIN NAME=TEMPLATE...
//                                   prints "NAME START_S SCORE GAIN" for every place a
//                                   template matches, in time order
//   earshot best SIGNAL TEMPLATE [FROM_S LENGTH_S]
//                                   the best place of the template (or that part of it)
//
// SIGNAL and TEMPLATE are raw 22050 Hz 16-bit signed mono; OUT.raw is the output stream's
// 22050 Hz 16-bit stereo.

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tools/earshot/Capture.h"
#include "tools/earshot/Correlate.h"

namespace {

constexpr int kRateHz = 22050;
constexpr int kStreamFrameBytes = 4;
// A stream closed (the program in the background) stands still for seconds; a loaded machine
// keeps the audio thread from writing for a tenth of a second or two now and then, which is a
// lateness and no silence of the program's.
constexpr double kMinGapMs = 500;

int Usage() {
  std::fprintf(stderr,
               "usage: earshot record OUT | layout OUT TIMELINE.raw | "
               "find SIGNAL MIN_SCORE MIN_GAIN MAX_GAIN NAME=TEMPLATE... | best SIGNAL TEMPLATE [FROM_S LENGTH_S]\n");
  return 2;
}

std::vector<float> Load(const std::string& path) {
  std::string error;
  std::vector<float> samples = earshot::ReadRawMono(path, 1, &error);
  if (!error.empty()) std::fprintf(stderr, "earshot: %s\n", error.c_str());
  return samples;
}

double Seconds(size_t frames) {
  return double(frames) / kRateHz;
}

int RecordCommand(const std::string& out) {
  std::FILE* raw = std::fopen((out + ".raw").c_str(), "wb");
  std::FILE* times = std::fopen((out + ".times").c_str(), "w");
  const bool ok = raw && times && earshot::Record(stdin, raw, times);
  if (raw) std::fclose(raw);
  if (times) std::fclose(times);
  return ok ? 0 : 1;
}

int LayoutCommand(const std::string& out, const std::string& timeline) {
  std::ifstream in(out + ".raw", std::ios::binary);
  const std::vector<char> stream{std::istreambuf_iterator<char>(in), {}};
  if (stream.size() > earshot::kMaxCaptureBytes) return 1;
  const std::vector<earshot::Gap> gaps = earshot::FindGaps(
      earshot::ReadArrivals(out + ".times"), kStreamFrameBytes, kRateHz, kMinGapMs);
  for (const earshot::Gap& g : gaps)
    std::printf("gap %.3f %.3f\n", Seconds(g.atFrame), Seconds(g.frames));
  const std::vector<char> laid = earshot::LayOut(stream, gaps, kStreamFrameBytes);
  std::ofstream file(timeline, std::ios::binary);
  file.write(laid.data(), long(laid.size()));
  return file ? 0 : 1;
}

int FindCommand(int argc, char** argv) {
  const std::vector<float> signal = Load(argv[2]);
  const earshot::MatchRule rule{std::atof(argv[3]), std::atof(argv[4]), std::atof(argv[5])};
  std::vector<std::string> names;
  std::vector<std::vector<float>> sounds;
  for (int i = 6; i < argc; ++i) {
    const std::string arg = argv[i];
    const size_t eq = arg.find('=');
    if (eq == std::string::npos) return Usage();
    names.push_back(arg.substr(0, eq));
    sounds.push_back(Load(arg.substr(eq + 1)));
  }
  std::vector<earshot::Named> templates;
  for (size_t i = 0; i < names.size(); ++i) templates.push_back({names[i].c_str(), &sounds[i]});
  for (const earshot::Found& f : earshot::FindAll(signal, templates, rule))
    std::printf("%s %.3f %.3f %.3f\n", names[f.which].c_str(), Seconds(f.match.start),
                f.match.score, f.match.gain);
  return 0;
}

int BestCommand(int argc, char** argv) {
  const std::vector<float> signal = Load(argv[2]);
  std::vector<float> tmpl = Load(argv[3]);
  if (argc == 6) {
    const auto from = size_t(std::max(0.0, std::atof(argv[4])) * kRateHz);
    const auto length = size_t(std::max(0.0, std::atof(argv[5])) * kRateHz);
    if (from >= tmpl.size()) return 1;
    tmpl.assign(tmpl.begin() + long(from), tmpl.begin() + long(std::min(tmpl.size(), from + length)));
  }
  const earshot::Match best = earshot::BestMatch(signal, tmpl);
  std::printf("%.3f %.3f %.3f\n", Seconds(best.start), best.score, best.gain);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return Usage();
  const std::string command = argv[1];
  if (command == "record" && argc == 3) return RecordCommand(argv[2]);
  if (command == "layout" && argc == 4) return LayoutCommand(argv[2], argv[3]);
  if (command == "find" && argc >= 7) return FindCommand(argc, argv);
  if (command == "best" && (argc == 4 || argc == 6)) return BestCommand(argc, argv);
  return Usage();
}
