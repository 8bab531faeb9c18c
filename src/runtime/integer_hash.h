// A hash table from narrow text keys to 32-bit signed integers.
//
// THash owns the keys and the buckets and numbers the value slots; the
// derived class stores the values. Keys are compared byte for byte (case
// matters). The table has a fixed 128 buckets; a key's bucket is the low
// seven bits of KeyHash. The bucket table is allocated only once the table
// holds more than a handful of keys (a small table is scanned whole), so a
// table that is never given a key costs no bucket allocation.
//
// No operation reports an error: an absent key reads as -1 and adding a
// present key replaces its value. Not thread-safe; one owner at a time.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/portable/object.h"

namespace tarn {

class THash : public TObject {
 public:
  static constexpr int32_t kBits = 7;
  static constexpr int32_t kBucketCount = 1 << kBits;
  static constexpr int32_t kMask = kBucketCount - 1;

  // The key's bytes summed as little-endian 32-bit words: abc hashes to
  // 0x62026261, the empty key to 0.
  static uint32_t KeyHash(std::string_view key) noexcept;

  // Removes every key and value; the table can be filled again.
  void RemoveAll();

 protected:
  THash();
  ~THash() override;

  // The slot of the key, or -1 when it is absent.
  int32_t FindSlot(std::string_view key) const noexcept;
  // The slot of the key, adding the key with a fresh slot when absent; a
  // fresh slot exists in the values (ResizeSlots) before it is returned.
  int32_t TakeKeySlot(std::string_view key);

  // Value storage of the derived class, indexed by slot.
  virtual void ResizeSlots(int32_t count) = 0;
  virtual void DropAllSlots() = 0;
  virtual int32_t LastSlot() const noexcept = 0;

 private:
  struct THashRecord {
    int32_t slot;
    std::string key;
  };
  // Per bucket, the full hashes of its entries and their record numbers, in
  // the order the keys were added; a lookup scans the compact hash array.
  struct Bucket {
    std::vector<uint32_t> hashes;
    std::vector<uint32_t> records;
  };
  // Tables this small are scanned through hashes_ without buckets.
  static constexpr size_t kUnbucketedKeys = 16;

  int32_t Locate(std::string_view key, uint32_t hash) const noexcept;
  int32_t Scan(const std::vector<uint32_t>& hashes, const uint32_t* records, std::string_view key,
               uint32_t hash) const noexcept;
  void BuildBuckets();

  std::unique_ptr<Bucket[]> buckets_;
  std::vector<THashRecord> records_;
  std::vector<uint32_t> hashes_;  // parallel to records_
};

class TIntegerHash final : public THash {
 public:
  TIntegerHash() = default;

  // The value stored under the key, or -1 when the key is absent.
  int32_t Lookup(std::string_view key) const noexcept;
  // Stores the value under the key, replacing the value of a present key.
  void Add(std::string_view key, int32_t value);

 protected:
  void ResizeSlots(int32_t count) override;
  void DropAllSlots() override;
  int32_t LastSlot() const noexcept override;

 private:
  std::vector<int32_t> values_;
};

}  // namespace tarn
