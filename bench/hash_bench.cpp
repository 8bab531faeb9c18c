// The hash containers against std::unordered_map, in the same run: filling a
// container with n keys of two shapes (identifiers such as customer_name, and
// numbered keys such as item00042). The summary after the table gives each
// container's time as a multiple of its peer's.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <iterator>
#include <map>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "runtime/hash_list.h"

namespace {

enum KeyShape : int64_t { kIdentifiers = 0, kNumbered = 1 };

const char* ShapeName(int64_t shape) { return shape == kIdentifiers ? "identifiers" : "numbered"; }

// Distinct identifiers made of one to three words: customer, customer_name,
// order_total_due...
std::vector<std::string> IdentifierKeys(size_t count) {
  static const char* const kWords[] = {
      "customer", "name",   "order", "total",  "date",   "item",    "price",  "count",  "address", "city",
      "state",    "zip",    "phone", "email",  "status", "created", "update", "amount", "tax",     "code",
      "account",  "branch", "type",  "level",  "user",   "group",   "start",  "end",    "limit",   "rate",
      "server",   "client", "port",  "host",   "path",   "file",    "size",   "time",   "retry",   "cache",
      "first",    "last",   "min",   "max",    "id",     "key",     "value",  "flag",   "mode",    "note"};
  constexpr size_t kCount = std::size(kWords);
  std::vector<std::string> keys;
  for (size_t i = 0; keys.size() < count; ++i) {
    std::string key = kWords[i % kCount];
    if (i >= kCount) key += std::string("_") + kWords[(i / kCount) % kCount];
    if (i >= kCount * kCount) key += std::string("_") + kWords[(i / (kCount * kCount)) % kCount];
    keys.push_back(key);
  }
  return keys;
}

std::vector<std::string> NumberedKeys(size_t count) {
  std::vector<std::string> keys;
  char key[32];
  for (size_t i = 0; i < count; ++i) {
    std::snprintf(key, sizeof key, "item%05zu", i);
    keys.emplace_back(key);
  }
  return keys;
}

const std::vector<std::string>& Keys(int64_t shape, int64_t count) {
  static std::map<std::pair<int64_t, int64_t>, std::vector<std::string>> cache;
  auto& keys = cache[{shape, count}];
  if (keys.empty()) {
    keys = shape == kIdentifiers ? IdentifierKeys(static_cast<size_t>(count)) : NumberedKeys(static_cast<size_t>(count));
  }
  return keys;
}

void SetLabel(benchmark::State& state) {
  state.SetLabel(ShapeName(state.range(1)));
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

// Both containers are told the number of keys up front and own copies of them.
void HashListAdd(benchmark::State& state) {
  const auto& keys = Keys(state.range(1), state.range(0));
  for (auto _ : state) {
    tarn::THashList list(static_cast<int32_t>(keys.size()));
    for (const std::string& key : keys) list.Add(key, nullptr);
    benchmark::DoNotOptimize(list.Count());
  }
  SetLabel(state);
}

void UnorderedMapAdd(benchmark::State& state) {
  const auto& keys = Keys(state.range(1), state.range(0));
  for (auto _ : state) {
    std::unordered_map<std::string, void*> map;
    map.reserve(keys.size());
    for (const std::string& key : keys) map.emplace(key, nullptr);
    benchmark::DoNotOptimize(map.size());
  }
  SetLabel(state);
}

void KeyCases(benchmark::internal::Benchmark* bench) {
  for (int64_t shape : {kIdentifiers, kNumbered}) {
    for (int64_t count : {16, 1000, 100000}) bench->Args({count, shape});
  }
}

BENCHMARK(HashListAdd)->Apply(KeyCases);
BENCHMARK(UnorderedMapAdd)->Apply(KeyCases);

// Each measured container and the peer it is compared with; the runs pair up
// by their arguments. CPU time is compared, as other programs share the machine.
struct Pairing {
  const char* subject;
  const char* peer;
};
const Pairing kPairings[] = {
    {"HashListAdd", "UnorderedMapAdd"},
};

// Prints the usual table and keeps each case's time for the summary: the
// median when the run is repeated (--benchmark_repetitions), else the one run.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
      if (run.error_occurred || (run.run_type != Run::RT_Iteration && !median)) continue;
      Record(run.run_name.function_name, {run.run_name.args, run.report_label, run.GetAdjustedCPUTime()});
    }
  }

  void PrintSummary() const {
    std::printf("\nCPU time as a multiple of the peer's (below 1: faster than the peer)\n");
    for (const Pairing& pairing : kPairings) {
      auto subject = times_.find(pairing.subject);
      auto peer = times_.find(pairing.peer);
      if (subject == times_.end() || peer == times_.end()) continue;
      for (const Measured& measured : subject->second) {
        for (const Measured& other : peer->second) {
          if (other.args != measured.args) continue;
          std::printf("%-16s vs %-16s %-12s %-10s %6.2fx\n", pairing.subject, pairing.peer, measured.label.c_str(),
                      measured.args.c_str(), measured.time / other.time);
        }
      }
    }
  }

 private:
  struct Measured {
    std::string args;
    std::string label;
    double time;
  };
  void Record(const std::string& function, Measured measured) {
    std::vector<Measured>& cases = times_[function];
    for (Measured& known : cases) {
      if (known.args == measured.args) {
        known = std::move(measured);
        return;
      }
    }
    cases.push_back(std::move(measured));
  }

  // The cases of each benchmark function, in the order they ran.
  std::map<std::string, std::vector<Measured>> times_;
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.PrintSummary();
  benchmark::Shutdown();
  return 0;
}
