// A hash table of 64-bit entries found by their 64-bit hash, for tables whose
// entries live elsewhere: the caller says which of the entries with a hash
// is the one it looks for. Open addressing with linear probing in one array,
// so a look-up touches one or two cache lines and an entry costs no
// allocation of its own. The hash's low bits choose the slot: they must be
// well mixed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tarn {

class HashIndex {
 public:
  static constexpr uint64_t kNone = ~uint64_t{0};  // never an entry

  // The entry of `hash` that `match` accepts, or kNone.
  template <class Match>
  uint64_t Find(uint64_t hash, Match&& match) const {
    if (slots_.empty()) return kNone;
    for (size_t i = hash & mask_; slots_[i].entry != kNone; i = (i + 1) & mask_) {
      if (slots_[i].hash == hash && match(slots_[i].entry)) return slots_[i].entry;
    }
    return kNone;
  }

  void Insert(uint64_t hash, uint64_t entry);
  // Makes room for `count` more entries at once.
  void Reserve(size_t count);
  // Removes `entry`, which was inserted with `hash`; nothing when it is absent.
  void Erase(uint64_t hash, uint64_t entry);

 private:
  struct Slot {
    uint64_t hash = 0;
    uint64_t entry = kNone;
  };
  void Rehash(size_t slots);

  std::vector<Slot> slots_;
  size_t mask_ = 0;
  size_t used_ = 0;
};

}  // namespace tarn
