// A console reporter that ends the run with our code's time as a multiple of
// each peer's, by wall clock and by CPU time, and the matching speed ratios.
//
// A benchmark is known by its name without the suffixes the library adds
// (iterations:, min_time:, _median...): "HashListAdd/16/0", "RestGets/1k".
// Pairs are either given one by one (AddPair), or found by name: with
// RatioReporter("tarn"), benchmarks named "<operation>/<subject>/<case>" pair
// up by operation and case, subject "tarn" being ours and every other subject
// a peer.
//
// When the run is repeated (--benchmark_repetitions) the median of the
// repetitions stands for the benchmark, else its one run; the ratio of the
// fastest repetitions follows, as the least disturbed by other work on a
// shared machine. Repeated benchmarks are shown by their aggregates only.
#pragma once

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

namespace tarn::bench {

class RatioReporter : public benchmark::ConsoleReporter {
 public:
  RatioReporter() = default;
  explicit RatioReporter(std::string ours_subject) : ours_subject_(std::move(ours_subject)) {}

  void AddPair(std::string ours, std::string peer) { pairs_.push_back({std::move(ours), std::move(peer)}); }

  void ReportRuns(const std::vector<Run>& runs) override {
    std::vector<Run> shown;
    for (const Run& run : runs) {
      if (run.run_type == Run::RT_Aggregate || run.repetitions <= 1) shown.push_back(run);
    }
    if (!shown.empty()) ConsoleReporter::ReportRuns(shown);
    for (const Run& run : runs) {
      const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
      if (run.error_occurred || (run.run_type != Run::RT_Iteration && !median)) continue;
      std::string name = run.run_name.function_name;
      if (!run.run_name.args.empty()) name += "/" + run.run_name.args;
      auto [found, added] = measured_.try_emplace(name);
      if (added) order_.push_back(name);
      Measured& measured = found->second;
      const double unit = benchmark::GetTimeUnitMultiplier(run.time_unit);
      const double real = run.GetAdjustedRealTime() / unit;
      const double cpu = run.GetAdjustedCPUTime() / unit;
      if (!median) {
        const bool first = measured.repetitions++ == 0;
        measured.fastest_real = first ? real : std::min(measured.fastest_real, real);
        measured.fastest_cpu = first ? cpu : std::min(measured.fastest_cpu, cpu);
        // A median outranks the single repetitions reported before it.
        if (measured.median) continue;
      }
      measured.real = real;
      measured.cpu = cpu;
      measured.label = run.report_label;
      measured.median = median;
    }
  }

  void Finalize() override {
    ConsoleReporter::Finalize();
    std::vector<Pair> pairs = pairs_;
    if (!ours_subject_.empty()) AppendPairsByName(pairs);
    struct Line {
      std::string ours, peer, figures;
    };
    std::vector<Line> lines;
    size_t ours_width = 0, peer_width = 0;
    for (const Pair& pair : pairs) {
      auto ours = measured_.find(pair.ours);
      auto peer = measured_.find(pair.peer);
      if (ours == measured_.end() || peer == measured_.end()) continue;
      const Measured& a = ours->second;
      const Measured& b = peer->second;
      if (a.real <= 0 || a.cpu <= 0 || b.real <= 0 || b.cpu <= 0) continue;
      char figures[192];
      int length = std::snprintf(figures, sizeof figures, "time real %6.3fx cpu %6.3fx   speed real %6.3fx cpu %6.3fx",
                                 a.real / b.real, a.cpu / b.cpu, b.real / a.real, b.cpu / a.cpu);
      if (a.repetitions > 1 && b.repetitions > 1) {
        std::snprintf(figures + length, sizeof figures - static_cast<size_t>(length),
                      "   fastest: speed real %6.3fx cpu %6.3fx", b.fastest_real / a.fastest_real,
                      b.fastest_cpu / a.fastest_cpu);
      }
      ours_width = std::max(ours_width, pair.ours.size());
      peer_width = std::max(peer_width, pair.peer.size());
      lines.push_back({pair.ours, pair.peer, figures + (a.label.empty() ? "" : "   " + a.label)});
    }
    if (lines.empty()) return;
    std::ostream& out = GetOutputStream();
    out << "\nOurs / peer: time (below 1: ours is faster) and speed (peer time / our time), by wall clock and by CPU"
           " time\n";
    for (const Line& line : lines) {
      out << "  " << line.ours << std::string(ours_width - line.ours.size(), ' ') << " vs " << line.peer
          << std::string(peer_width - line.peer.size() + 2, ' ') << line.figures << "\n";
    }
    out.flush();
  }

 private:
  struct Pair {
    std::string ours;
    std::string peer;
  };
  struct Measured {
    double real = 0;  // seconds
    double cpu = 0;   // seconds
    std::string label;
    bool median = false;
    int repetitions = 0;  // runs seen, each repetition of a repeated benchmark
    double fastest_real = 0;
    double fastest_cpu = 0;
  };

  // "<operation>/<subject>/<case>" split at its first two slashes.
  static bool SplitName(const std::string& name, std::string& operation, std::string& subject, std::string& scenario) {
    const size_t first = name.find('/');
    const size_t second = first == std::string::npos ? first : name.find('/', first + 1);
    if (second == std::string::npos) return false;
    operation = name.substr(0, first);
    subject = name.substr(first + 1, second - first - 1);
    scenario = name.substr(second + 1);
    return true;
  }

  void AppendPairsByName(std::vector<Pair>& pairs) const {
    std::string operation, subject, scenario, peer_operation, peer_subject, peer_scenario;
    for (const std::string& ours : order_) {
      if (!SplitName(ours, operation, subject, scenario) || subject != ours_subject_) continue;
      for (const std::string& peer : order_) {
        if (SplitName(peer, peer_operation, peer_subject, peer_scenario) && peer_subject != ours_subject_ &&
            peer_operation == operation && peer_scenario == scenario) {
          pairs.push_back({ours, peer});
        }
      }
    }
  }

  std::string ours_subject_;
  std::vector<Pair> pairs_;
  std::map<std::string, Measured> measured_;
  std::vector<std::string> order_;  // names in the order they first ran
};

// Runs the registered benchmarks with ours and the peers alternating in
// random order, `repetitions` times each, so that the load of a shared
// machine falls on all sides alike; the medians and the fastest repetitions
// are compared. A repetition lasts at least `min_seconds` when that is
// given, else the library's default. Flags given on the command line come
// later and win.
inline void RunInterleaved(int argc, char** argv, int repetitions, benchmark::BenchmarkReporter& reporter,
                           double min_seconds = 0) {
  std::vector<std::string> flags = {"--benchmark_enable_random_interleaving=true",
                                    "--benchmark_repetitions=" + std::to_string(repetitions)};
  if (min_seconds > 0) flags.push_back("--benchmark_min_time=" + std::to_string(min_seconds));
  std::vector<char*> args = {argv[0]};
  for (std::string& flag : flags) args.push_back(flag.data());
  for (int i = 1; i < argc; ++i) args.push_back(argv[i]);
  int count = static_cast<int>(args.size());
  benchmark::Initialize(&count, args.data());
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
}

}  // namespace tarn::bench
