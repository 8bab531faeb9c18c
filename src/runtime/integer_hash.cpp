#include "runtime/integer_hash.h"

#include <cstring>

namespace tarn {

uint32_t THash::KeyHash(std::string_view key) noexcept {
  uint32_t a = 0;
  uint32_t b = 0;
  const char* p = key.data();
  size_t words = key.size() / 4;
  for (size_t i = 0; i < words; ++i, p += 4) {
    uint32_t w = static_cast<uint32_t>(static_cast<unsigned char>(p[0])) |
                 static_cast<uint32_t>(static_cast<unsigned char>(p[1])) << 8 |
                 static_cast<uint32_t>(static_cast<unsigned char>(p[2])) << 16 |
                 static_cast<uint32_t>(static_cast<unsigned char>(p[3])) << 24;
    a += w;
    b += a;
  }
  uint32_t tail = 0;
  for (size_t i = key.size() % 4; i > 0; --i) {
    tail = tail << 8 | static_cast<unsigned char>(p[i - 1]);
  }
  a += tail;
  b += a;
  return (b << 16) ^ a;
}

namespace {

// Makes room for one more element first, so that the append after it cannot
// fail and leave the table half-updated.
template <typename T>
void ReserveOneMore(std::vector<T>& v) {
  if (v.size() == v.capacity()) v.reserve(v.empty() ? 4 : v.size() * 2);
}

}  // namespace

THash::THash() = default;
THash::~THash() = default;

namespace {

// The first index at or after `from` whose hash equals `hash`, or `size`.
// Eight hashes are compared per step, which the compiler turns into vector
// compares; long buckets are common when keys differ only in a few bytes.
size_t FindHash(const uint32_t* hashes, size_t size, uint32_t hash, size_t from) noexcept {
  size_t i = from;
  for (; i + 8 <= size; i += 8) {
    unsigned matches = 0;
    for (unsigned k = 0; k < 8; ++k) matches |= static_cast<unsigned>(hashes[i + k] == hash) << k;
    if (matches != 0) return i + static_cast<size_t>(__builtin_ctz(matches));
  }
  for (; i < size; ++i) {
    if (hashes[i] == hash) return i;
  }
  return size;
}

}  // namespace

int32_t THash::Scan(const std::vector<uint32_t>& hashes, const uint32_t* records, std::string_view key,
                    uint32_t hash) const noexcept {
  // Equal keys have equal hashes, so only entries with the same hash need
  // their text compared.
  size_t size = hashes.size();
  for (size_t i = FindHash(hashes.data(), size, hash, 0); i < size;
       i = FindHash(hashes.data(), size, hash, i + 1)) {
    uint32_t record = records ? records[i] : static_cast<uint32_t>(i);
    const std::string& stored = records_[record].key;
    if (stored.size() == key.size() && std::memcmp(stored.data(), key.data(), key.size()) == 0) {
      return static_cast<int32_t>(record);
    }
  }
  return -1;
}

int32_t THash::Locate(std::string_view key, uint32_t hash) const noexcept {
  if (!buckets_) return Scan(hashes_, nullptr, key, hash);
  const Bucket& bucket = buckets_[hash & kMask];
  return Scan(bucket.hashes, bucket.records.data(), key, hash);
}

int32_t THash::FindSlot(std::string_view key) const noexcept {
  int32_t record = Locate(key, KeyHash(key));
  return record < 0 ? -1 : records_[record].slot;
}

void THash::BuildBuckets() {
  auto buckets = std::make_unique<Bucket[]>(kBucketCount);
  for (size_t i = 0; i < hashes_.size(); ++i) {
    Bucket& bucket = buckets[hashes_[i] & kMask];
    bucket.hashes.push_back(hashes_[i]);
    bucket.records.push_back(static_cast<uint32_t>(i));
  }
  buckets_ = std::move(buckets);
}

int32_t THash::TakeKeySlot(std::string_view key) {
  uint32_t hash = KeyHash(key);
  int32_t record = Locate(key, hash);
  if (record >= 0) return records_[record].slot;
  if (!buckets_ && records_.size() >= kUnbucketedKeys) BuildBuckets();
  ReserveOneMore(records_);
  ReserveOneMore(hashes_);
  Bucket* bucket = buckets_ ? &buckets_[hash & kMask] : nullptr;
  if (bucket) {
    ReserveOneMore(bucket->hashes);
    ReserveOneMore(bucket->records);
  }
  // No key is ever removed alone, so slots are handed out densely.
  THashRecord added{LastSlot() + 1, std::string(key)};
  ResizeSlots(added.slot + 1);
  int32_t slot = added.slot;
  if (bucket) {
    bucket->hashes.push_back(hash);
    bucket->records.push_back(static_cast<uint32_t>(records_.size()));
  }
  records_.push_back(std::move(added));
  hashes_.push_back(hash);
  return slot;
}

void THash::RemoveAll() {
  DropAllSlots();
  records_.clear();
  hashes_.clear();
  if (buckets_) {
    for (int32_t i = 0; i < kBucketCount; ++i) {
      buckets_[i].hashes.clear();
      buckets_[i].records.clear();
    }
  }
}

int32_t TIntegerHash::Lookup(std::string_view key) const noexcept {
  int32_t slot = FindSlot(key);
  return slot < 0 ? -1 : values_[slot];
}

void TIntegerHash::Add(std::string_view key, int32_t value) { values_[TakeKeySlot(key)] = value; }

void TIntegerHash::ResizeSlots(int32_t count) { values_.resize(static_cast<size_t>(count)); }

void TIntegerHash::DropAllSlots() { values_.clear(); }

int32_t TIntegerHash::LastSlot() const noexcept { return static_cast<int32_t>(values_.size()) - 1; }

}  // namespace tarn
