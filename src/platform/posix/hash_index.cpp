#include "platform/posix/hash_index.h"

namespace tarn {

void HashIndex::Insert(uint64_t hash, uint64_t entry) {
  // At most seven slots in ten are used, which keeps probe runs short.
  if ((used_ + 1) * 10 > slots_.size() * 7) Rehash(slots_.empty() ? 16 : slots_.size() * 2);
  size_t i = hash & mask_;
  while (slots_[i].entry != kNone) i = (i + 1) & mask_;
  slots_[i] = Slot{hash, entry};
  ++used_;
}

void HashIndex::Erase(uint64_t hash, uint64_t entry) {
  if (slots_.empty()) return;
  size_t hole = hash & mask_;
  while (slots_[hole].entry != entry) {
    if (slots_[hole].entry == kNone) return;
    hole = (hole + 1) & mask_;
  }
  // Later slots of the same run move back into the hole when their home
  // slot does not lie between the hole and them, so no run is broken.
  for (size_t next = (hole + 1) & mask_; slots_[next].entry != kNone; next = (next + 1) & mask_) {
    size_t home = slots_[next].hash & mask_;
    if (((next - home) & mask_) >= ((next - hole) & mask_)) {
      slots_[hole] = slots_[next];
      hole = next;
    }
  }
  slots_[hole] = Slot{};
  --used_;
}

void HashIndex::Reserve(size_t count) {
  size_t slots = slots_.empty() ? 16 : slots_.size();
  while ((used_ + count) * 10 > slots * 7) slots *= 2;
  if (slots != slots_.size()) Rehash(slots);
}

void HashIndex::Rehash(size_t slots) {
  std::vector<Slot> old = std::move(slots_);
  slots_.assign(slots, Slot{});
  mask_ = slots_.size() - 1;
  used_ = 0;
  for (const Slot& slot : old) {
    if (slot.entry != kNone) Insert(slot.hash, slot.entry);
  }
}

}  // namespace tarn
