// The runtime's hash containers against std::unordered_map, in the same run,
// for 16, 1,000 and 100,000 keys of two shapes (identifiers such as
// customer_name, numbered keys such as item00042):
//   THashList::Add filling a list, against unordered_map<string, void*>;
//   TIntegerHash adding every key and then looking every key up once, against
//   unordered_map<string, int32_t>.
// The run ends with each container's time as a multiple of its peer's.
#include <benchmark/benchmark.h>

#include <string>
#include <unordered_map>
#include <vector>

#include "bench_keys.h"
#include "ratio_reporter.h"
#include "runtime/hash_list.h"
#include "runtime/integer_hash.h"

namespace {

using tarn::bench::Keys;

const int64_t kShapes[] = {tarn::bench::kIdentifiers, tarn::bench::kNumbered};
const int64_t kCounts[] = {16, 1000, 100000};

void SetLabel(benchmark::State& state) {
  state.SetLabel(tarn::bench::ShapeName(state.range(1)));
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
  for (int64_t shape : kShapes) {
    for (int64_t count : kCounts) bench->Args({count, shape});
  }
}

BENCHMARK(HashListAdd)->Apply(KeyCases);
BENCHMARK(UnorderedMapAdd)->Apply(KeyCases);

void AddThenLookUpPeer(benchmark::State& state, const std::vector<std::string>* keys) {
  for (auto _ : state) {
    std::unordered_map<std::string, int32_t> table;
    for (size_t i = 0; i < keys->size(); ++i) table[(*keys)[i]] = static_cast<int32_t>(i);
    int64_t sum = 0;
    for (const auto& key : *keys) sum += table.find(key)->second;
    benchmark::DoNotOptimize(sum);
  }
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(keys->size()));
}

void AddThenLookUp(benchmark::State& state, const std::vector<std::string>* keys) {
  for (auto _ : state) {
    tarn::TIntegerHash table;
    for (size_t i = 0; i < keys->size(); ++i) table.Add((*keys)[i], static_cast<int32_t>(i));
    int64_t sum = 0;
    for (const auto& key : *keys) sum += table.Lookup(key);
    benchmark::DoNotOptimize(sum);
  }
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(keys->size()));
}

}  // namespace

int main(int argc, char** argv) {
  tarn::bench::RatioReporter reporter;
  for (int64_t shape : kShapes) {
    for (int64_t count : kCounts) {
      const std::string args = std::to_string(count) + "/" + std::to_string(shape);
      reporter.AddPair("HashListAdd/" + args, "UnorderedMapAdd/" + args);
    }
  }
  for (int64_t shape : kShapes) {
    for (int64_t count : kCounts) {
      const std::vector<std::string>* keys = &Keys(shape, count);
      const std::string scenario = std::string(tarn::bench::ShapeName(shape)) + "/" + std::to_string(count);
      const std::string ours = "AddLookup/TIntegerHash/" + scenario;
      const std::string peer = "AddLookup/unordered_map/" + scenario;
      benchmark::RegisterBenchmark(ours.c_str(), AddThenLookUp, keys);
      benchmark::RegisterBenchmark(peer.c_str(), AddThenLookUpPeer, keys);
      reporter.AddPair(ours, peer);
    }
  }
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}
