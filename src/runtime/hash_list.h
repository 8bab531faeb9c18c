// THashList: a list of untyped item references keyed by 8-bit text.
//
// The buckets form a table whose size is a prime; a bucket's first entry
// lives inside the table, further entries of the same bucket are allocated one
// by one. The buckets in use are chained in the order in which each received
// its first entry, and emptying the list walks only that chain. When the list
// empties (growing its table, or being destroyed) it hands every item to the
// OnRelease listener and then releases it as its ownership says.
//
// The list takes no lock: one thread at a time may use it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/portable/object.h"

namespace tarn {

// What the list does with its items when it empties.
enum class THashOwnership : uint8_t {
  None = 0,          // the items stay the caller's
  MemoryBlocks = 1,  // each item is a block from std::malloc, given back with std::free
  Objects = 2,       // each item is a TObject, destroyed through its virtual destructor
};

// What Add does with a key that the list already holds.
enum class TDuplicateMode : uint8_t {
  Error = 0,    // raises Exception "Duplicated item: <key>"
  Ignore = 1,   // keeps the stored item; the new one stays the caller's
  Replace = 2,  // stores the new item in place of the old one, releasing an old item that the list owns
  // Every value above 2 replaces as Replace does.
};

// One entry: the list's own copy of the key and the item.
struct THashRec {
  bool Used = false;
  std::string Key;
  void* Data = nullptr;
  std::unique_ptr<THashRec> Next;  // the next entry of the same bucket
};

// One bucket: its first entry and its neighbours in the chain of buckets in use.
struct THashRootRec {
  THashRec Entry;
  THashRootRec* NextInOrder = nullptr;
  THashRootRec* PrevInOrder = nullptr;
};

class THashList : public TObject {
 public:
  // Called with the list and each item as the list empties, also for a null
  // item that shares its bucket with further entries. It must not raise and
  // must not change the list.
  using ReleaseEvent = std::function<void(THashList& sender, void* item)>;

  // A list with buckets for `capacity` entries, at least 50 (61 buckets).
  explicit THashList(int32_t capacity);
  // Empties the list, releasing its items.
  ~THashList() override;

  // Adds one entry with a null item for each item of a comma list (see
  // SplitCommaText). The table first grows to the number of items, which
  // empties the list when that number exceeds Capacity().
  virtual void AddCommaText(std::string_view text);

  // Adds `item` under `key`; a key already present is handled as
  // DuplicateMode() says; an item that is not stored (the add raised or was
  // ignored) stays the caller's. Under THashOwnership::Objects pass the
  // object itself, so that it is stored as the TObject that the list destroys.
  void Add(std::string_view key, void* item);
  void Add(std::string_view key, TObject* item) { Add(key, static_cast<void*>(item)); }
  void Add(std::string_view key, std::nullptr_t) { Add(key, static_cast<void*>(nullptr)); }

  // The item stored under `key`, or nothing when the key is absent.
  std::optional<void*> Find(std::string_view key) const;

  // Grows the table for `n` entries: when n exceeds Capacity(), the list is
  // emptied (items released as usual) and the table gets the first prime at or
  // above n × 1.2 buckets. A smaller n changes nothing. Raises EOutOfMemory
  // when the table cannot be had; the list is then unchanged.
  void SetCapacity(int32_t n);

  int32_t Capacity() const { return capacity_; }
  int32_t Count() const { return count_; }
  // Adds that found their bucket in use since the list was last emptied.
  int32_t Collisions() const { return collisions_; }

  // Hashing and comparing without regard to ASCII letter case. Set it before
  // the first Add: entries already stored stay where the old mode put them.
  bool IgnoreCase() const { return ignore_case_; }
  void SetIgnoreCase(bool ignore_case) { ignore_case_ = ignore_case; }
  THashOwnership Ownership() const { return ownership_; }
  void SetOwnership(THashOwnership ownership) { ownership_ = ownership; }
  TDuplicateMode DuplicateMode() const { return duplicate_mode_; }
  void SetDuplicateMode(TDuplicateMode mode) { duplicate_mode_ = mode; }
  void SetOnRelease(ReleaseEvent listener) { on_release_ = std::move(listener); }

  // The bucket that `key` belongs to under the current case mode.
  size_t BucketOf(std::string_view key) const;

 private:
  bool KeysEqual(std::string_view stored, std::string_view key) const;
  void Release(void* item) noexcept;
  void ReleaseAll() noexcept;

  std::vector<THashRootRec> buckets_;
  int32_t capacity_ = 0;
  ReleaseEvent on_release_;
  bool ignore_case_ = false;
  THashOwnership ownership_ = THashOwnership::None;
  TDuplicateMode duplicate_mode_ = TDuplicateMode::Error;
  int32_t collisions_ = 0;
  int32_t count_ = 0;
  THashRootRec* first_ = nullptr;
  THashRootRec* last_ = nullptr;
};

}  // namespace tarn
