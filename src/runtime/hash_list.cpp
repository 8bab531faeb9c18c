#include "runtime/hash_list.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <new>
#include <utility>

#include "platform/portable/ascii_text.h"
#include "platform/portable/exceptions.h"
#include "runtime/comma_text.h"
#include "runtime/text_hash.h"

namespace tarn {

namespace {

bool IsPrime(int64_t m) {
  if (m < 4) return m == 2 || m == 3;
  if (m % 6 != 1 && m % 6 != 5) return false;
  auto root = static_cast<int64_t>(std::llround(std::sqrt(static_cast<double>(m))));
  for (int64_t d = 5; d <= root; d += 6) {
    if (m % d == 0 || m % (d + 2) == 0) return false;
  }
  return true;
}

// The number of buckets for `n` entries: n × 1.2 rounded, raised to the next
// prime.
int32_t BucketCount(int32_t n) {
  // n × 1.2 never ends in .5, so adding 2 before dividing by 5 rounds it.
  int64_t buckets = (int64_t{n} * 6 + 2) / 5;
  while (!IsPrime(buckets)) ++buckets;
  if (buckets > INT32_MAX) throw EOutOfMemory();
  return static_cast<int32_t>(buckets);
}

}  // namespace

THashList::THashList(int32_t capacity) { SetCapacity(std::max(capacity, 50)); }

THashList::~THashList() { ReleaseAll(); }

void THashList::AddCommaText(std::string_view text) {
  std::vector<std::string> items = SplitCommaText(text);
  SetCapacity(static_cast<int32_t>(std::min<size_t>(items.size(), INT32_MAX)));
  for (const std::string& item : items) Add(item, nullptr);
}

size_t THashList::BucketOf(std::string_view key) const {
  uint32_t hash = ignore_case_ ? CaseInsensitiveHash(key) : SuperFastHash(key);
  int32_t remainder = static_cast<int32_t>(hash) % capacity_;
  return static_cast<size_t>(remainder < 0 ? -remainder : remainder);
}

bool THashList::KeysEqual(std::string_view stored, std::string_view key) const {
  return ignore_case_ ? SameAsciiText(stored, key) : stored == key;
}

void THashList::Add(std::string_view key, void* item) {
  THashRootRec& root = buckets_[BucketOf(key)];
  if (!root.Entry.Used) {
    root.Entry.Used = true;
    root.Entry.Key.assign(key);
    root.Entry.Data = item;
    root.PrevInOrder = last_;
    if (last_ != nullptr) last_->NextInOrder = &root;
    last_ = &root;
    if (first_ == nullptr) first_ = &root;
    ++count_;
    return;
  }
  ++collisions_;
  for (THashRec* entry = &root.Entry;; entry = entry->Next.get()) {
    if (KeysEqual(entry->Key, key)) {
      if (duplicate_mode_ == TDuplicateMode::Ignore) return;
      if (duplicate_mode_ == TDuplicateMode::Error) throw Exception("Duplicated item: " + std::string(key));
      // Every other mode replaces. An item that the list owns would be lost
      // if it were dropped silently, so it is released like any other.
      void* replaced = std::exchange(entry->Data, item);
      if (ownership_ != THashOwnership::None && replaced != nullptr && replaced != item) Release(replaced);
      return;
    }
    if (!entry->Next) {
      entry->Next = std::make_unique<THashRec>(THashRec{true, std::string(key), item, nullptr});
      ++count_;
      return;
    }
  }
}

std::optional<void*> THashList::Find(std::string_view key) const {
  const THashRec& first = buckets_[BucketOf(key)].Entry;
  if (!first.Used) return std::nullopt;
  for (const THashRec* entry = &first; entry != nullptr; entry = entry->Next.get()) {
    if (KeysEqual(entry->Key, key)) return entry->Data;
  }
  return std::nullopt;
}

void THashList::SetCapacity(int32_t n) {
  if (n <= capacity_) return;
  int32_t capacity = BucketCount(n);
  // The new table is had before the list empties, so a failure leaves the
  // list as it was.
  std::vector<THashRootRec> buckets;
  try {
    buckets.resize(static_cast<size_t>(capacity));
  } catch (const std::bad_alloc&) {
    throw EOutOfMemory();
  }
  ReleaseAll();
  buckets_ = std::move(buckets);
  capacity_ = capacity;
}

void THashList::Release(void* item) noexcept {
  if (on_release_) on_release_(*this, item);
  if (item == nullptr) return;
  switch (ownership_) {
    case THashOwnership::MemoryBlocks:
      std::free(item);
      break;
    case THashOwnership::Objects:
      delete static_cast<TObject*>(item);
      break;
    case THashOwnership::None:
      break;
  }
}

void THashList::ReleaseAll() noexcept {
  for (THashRootRec* bucket = first_; bucket != nullptr; bucket = bucket->NextInOrder) {
    THashRec& entry = bucket->Entry;
    if (entry.Data == nullptr && !entry.Next) continue;
    Release(entry.Data);
    // Further entries are freed one at a time, so a long bucket cannot
    // exhaust the stack through nested destructors.
    std::unique_ptr<THashRec> further = std::move(entry.Next);
    while (further) {
      Release(further->Data);
      further = std::move(further->Next);
    }
  }
  count_ = 0;
  collisions_ = 0;
  first_ = nullptr;
  last_ = nullptr;
  buckets_.clear();
}

}  // namespace tarn
