// TIntegerHash against std::unordered_map<std::string, int32_t>: add every
// key, then look every key up once, for small, medium and large tables of
// identifier-like keys (customer_name) and numbered keys (item00042).
// Each run prints the ratio of TIntegerHash's time to the peer's.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <unordered_map>
#include <vector>

#include "runtime/integer_hash.h"

namespace {

std::vector<std::string> IdentifierKeys(int count) {
  static const char* const kWords[] = {"customer", "name", "order", "total", "street", "city",
                                       "price", "item", "date", "status", "code", "phone",
                                       "email", "amount", "tax", "id"};
  std::vector<std::string> keys;
  for (int i = 0; static_cast<int>(keys.size()) < count; ++i) {
    std::string key = std::string(kWords[i % 16]) + "_" + kWords[(i / 16) % 16];
    if (i >= 256) key += "_" + std::to_string(i / 256);
    keys.push_back(key);
  }
  return keys;
}

std::vector<std::string> NumberedKeys(int count) {
  std::vector<std::string> keys;
  char buffer[16];
  for (int i = 0; i < count; ++i) {
    std::snprintf(buffer, sizeof buffer, "item%05d", i);
    keys.emplace_back(buffer);
  }
  return keys;
}

const std::vector<std::string>& Keys(int shape, int count) {
  static std::map<std::pair<int, int>, std::vector<std::string>> cache;
  auto& keys = cache[{shape, count}];
  if (keys.empty()) keys = shape == 0 ? IdentifierKeys(count) : NumberedKeys(count);
  return keys;
}

std::map<std::pair<int, int>, double> peer_seconds;

void BM_Peer(benchmark::State& state) {
  const auto& keys = Keys(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
  for (auto _ : state) {
    std::unordered_map<std::string, int32_t> table;
    for (size_t i = 0; i < keys.size(); ++i) table[keys[i]] = static_cast<int32_t>(i);
    int64_t sum = 0;
    for (const auto& key : keys) sum += table.find(key)->second;
    benchmark::DoNotOptimize(sum);
  }
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(keys.size()));
}

void BM_IntegerHash(benchmark::State& state) {
  const auto& keys = Keys(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
  for (auto _ : state) {
    tarn::TIntegerHash table;
    for (size_t i = 0; i < keys.size(); ++i) table.Add(keys[i], static_cast<int32_t>(i));
    int64_t sum = 0;
    for (const auto& key : keys) sum += table.Lookup(key);
    benchmark::DoNotOptimize(sum);
  }
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(keys.size()));
}

void Args(benchmark::internal::Benchmark* b) {
  for (int shape : {0, 1}) {
    for (int count : {16, 1000, 100000}) b->Args({shape, count});
  }
  b->ArgNames({"numbered", "keys"});
}

BENCHMARK(BM_Peer)->Apply(Args);
BENCHMARK(BM_IntegerHash)->Apply(Args);

// Prints TIntegerHash time / peer time per case after the runs.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const auto& run : runs) {
      std::string name = run.benchmark_name();
      auto slash = name.find('/');
      std::string suffix = name.substr(slash);
      double seconds = run.GetAdjustedRealTime();
      if (name.rfind("BM_Peer", 0) == 0) peer[suffix] = seconds;
      else if (peer.count(suffix)) ratios.emplace_back(suffix, seconds / peer[suffix]);
    }
  }
  void Finalize() override {
    ConsoleReporter::Finalize();
    std::printf("\nTIntegerHash time / std::unordered_map time (add then look up every key)\n");
    for (const auto& [suffix, ratio] : ratios) std::printf("  %-28s %.2fx\n", suffix.c_str(), ratio);
  }

 private:
  std::map<std::string, double> peer;
  std::vector<std::pair<std::string, double>> ratios;
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
}
