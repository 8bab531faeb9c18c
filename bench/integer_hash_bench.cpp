// TIntegerHash against std::unordered_map<std::string, int32_t>: add every
// key, then look every key up once, for small, medium and large tables of
// identifier-like keys (customer_name) and numbered keys (item00042).
// The run ends with the ratio of TIntegerHash's time to the peer's.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <unordered_map>
#include <vector>

#include "ratio_reporter.h"
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
  for (int shape : {0, 1}) {
    for (int count : {16, 1000, 100000}) {
      const std::vector<std::string>* keys = &Keys(shape, count);
      std::string scenario = std::string(shape == 0 ? "identifiers/" : "numbered/") + std::to_string(count);
      benchmark::RegisterBenchmark(("AddLookup/TIntegerHash/" + scenario).c_str(), AddThenLookUp, keys);
      benchmark::RegisterBenchmark(("AddLookup/unordered_map/" + scenario).c_str(), AddThenLookUpPeer, keys);
    }
  }
  benchmark::Initialize(&argc, argv);
  tarn::bench::RatioReporter reporter("TIntegerHash");
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
}
