// Keys for the hash container benchmarks, in two shapes: identifiers such as
// customer_name or order_total_due, and numbered keys such as item00042.
#pragma once

#include <cstdint>
#include <cstdio>
#include <iterator>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace tarn::bench {

enum KeyShape : int64_t { kIdentifiers = 0, kNumbered = 1 };

inline const char* ShapeName(int64_t shape) { return shape == kIdentifiers ? "identifiers" : "numbered"; }

// Distinct identifiers of one to three words.
inline std::vector<std::string> IdentifierKeys(size_t count) {
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

inline std::vector<std::string> NumberedKeys(size_t count) {
  std::vector<std::string> keys;
  char key[32];
  for (size_t i = 0; i < count; ++i) {
    std::snprintf(key, sizeof key, "item%05zu", i);
    keys.emplace_back(key);
  }
  return keys;
}

// Made once per shape and count, outside the timed loops.
inline const std::vector<std::string>& Keys(int64_t shape, int64_t count) {
  static std::map<std::pair<int64_t, int64_t>, std::vector<std::string>> cache;
  auto& keys = cache[{shape, count}];
  if (keys.empty()) {
    const auto n = static_cast<size_t>(count);
    keys = shape == kIdentifiers ? IdentifierKeys(n) : NumberedKeys(n);
  }
  return keys;
}

}  // namespace tarn::bench
