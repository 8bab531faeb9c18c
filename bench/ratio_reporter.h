// A console reporter that also prints each peer's ratio to our library.
// Benchmarks are named "<operation>/<subject>/<case>"; for every operation
// and case it prints our time divided by each peer's time (below 1 means we
// are faster) and the matching speed ratio.
#pragma once

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <tuple>
#include <vector>

namespace tarn::bench {

class RatioReporter : public benchmark::ConsoleReporter {
 public:
  explicit RatioReporter(std::string ours) : ours_(std::move(ours)) {}

  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      if (run.run_type != Run::RT_Iteration || run.error_occurred) continue;
      std::string name = run.benchmark_name();
      size_t first = name.find('/');
      size_t second = name.find('/', first + 1);
      if (first == std::string::npos || second == std::string::npos) continue;
      std::string operation = name.substr(0, first);
      std::string subject = name.substr(first + 1, second - first - 1);
      std::string scenario = name.substr(second + 1);
      times_[{operation, scenario}][subject] = run.GetAdjustedRealTime();
    }
  }

  void Finalize() override {
    ConsoleReporter::Finalize();
    std::printf("\n%s time / peer time (speed ratio = peer time / %s time)\n", ours_.c_str(), ours_.c_str());
    for (const auto& [key, subjects] : times_) {
      auto ours = subjects.find(ours_);
      if (ours == subjects.end()) continue;
      for (const auto& [subject, seconds] : subjects) {
        if (subject == ours_) continue;
        std::printf("  %-10s %-28s vs %-14s time %.2fx  speed %.2fx\n", key.first.c_str(), key.second.c_str(),
                    subject.c_str(), ours->second / seconds, seconds / ours->second);
      }
    }
  }

 private:
  std::string ours_;
  std::map<std::pair<std::string, std::string>, std::map<std::string, double>> times_;
};

}  // namespace tarn::bench
