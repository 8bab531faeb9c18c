#include "platform/posix/registry_hive.h"

#include <algorithm>

#include "platform/portable/ascii_text.h"

namespace tarn {

namespace {

bool LessName(std::string_view a, std::string_view b) {
  size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i) {
    unsigned char x = static_cast<unsigned char>(AsciiUpper(a[i]));
    unsigned char y = static_cast<unsigned char>(AsciiUpper(b[i]));
    if (x != y) return x < y;
  }
  return a.size() < b.size();
}

// FNV-1a of the name without regard to case, started from its owner's
// number so that one name under two owners hashes apart, then mixed so that
// the low bits that choose a slot depend on every byte.
uint64_t NameHash(uint64_t owner, std::string_view name) {
  uint64_t hash = 0xCBF29CE484222325u ^ (owner * 0x9E3779B97F4A7C15u);
  for (char c : name) {
    hash ^= static_cast<unsigned char>(AsciiUpper(c));
    hash *= 0x100000001B3u;
  }
  hash ^= hash >> 33;
  hash *= 0xFF51AFD7ED558CCDu;
  hash ^= hash >> 33;
  return hash;
}

uint64_t ValueEntry(RegHive::KeyId key, size_t index) { return uint64_t{key} << 32 | index; }

// Up to this many values a key's values are scanned, which costs less than a
// look-up in the index; beyond it they are all in the index.
constexpr size_t kScannedValues = 8;

}  // namespace

bool SameRegName(std::string_view a, std::string_view b) { return SameAsciiText(a, b); }

RegHive::RegHive() { keys_.emplace_back(); }

std::optional<RegHive::KeyId> RegHive::FindChild(KeyId parent, std::string_view name) const {
  uint64_t found = children_.Find(NameHash(parent, name), [&](uint64_t id) {
    return keys_[id].parent == parent && SameRegName(keys_[id].name, name);
  });
  if (found == HashIndex::kNone) return std::nullopt;
  return static_cast<KeyId>(found);
}

std::optional<RegHive::KeyId> RegHive::FindKey(std::string_view path) const {
  KeyId key = kRoot;
  bool found = ForEachRegName(path, [&](std::string_view name) {
    std::optional<KeyId> child = FindChild(key, name);
    if (child) key = *child;
    return child.has_value();
  });
  return found ? std::optional<KeyId>(key) : std::nullopt;
}

RegHive::KeyId RegHive::EnsureKey(std::string_view path) {
  KeyId key = kRoot;
  ForEachRegName(path, [&](std::string_view name) {
    key = EnsureSubKey(key, name, true);
    return true;
  });
  return key;
}

RegHive::KeyId RegHive::EnsureSubKey(KeyId parent, std::string_view name, bool listed) {
  if (std::optional<KeyId> child = FindChild(parent, name)) return *child;
  auto added = static_cast<KeyId>(keys_.size());
  keys_.push_back(Key{std::string(name), parent, listed, false, {}, {}});
  keys_[parent].children.push_back(added);
  children_.Insert(NameHash(parent, name), added);
  return added;
}

void RegHive::RemoveKey(KeyId key) {
  if (key == kRoot || keys_[key].removed) return;
  std::vector<KeyId>& siblings = keys_[keys_[key].parent].children;
  siblings.erase(std::find(siblings.begin(), siblings.end(), key));
  std::vector<KeyId> pending = {key};
  while (!pending.empty()) {
    KeyId id = pending.back();
    pending.pop_back();
    Key& removed = keys_[id];
    children_.Erase(NameHash(removed.parent, removed.name), id);
    for (size_t i = 0; removed.values.size() > kScannedValues && i < removed.values.size(); ++i) {
      values_.Erase(NameHash(id, removed.values[i].name), ValueEntry(id, i));
    }
    pending.insert(pending.end(), removed.children.begin(), removed.children.end());
    removed.removed = true;
    std::vector<KeyId>().swap(removed.children);
    std::vector<RegValue>().swap(removed.values);
  }
}

std::vector<RegHive::KeyId> RegHive::SubKeys(KeyId key) const {
  std::vector<KeyId> children = keys_[key].children;
  std::sort(children.begin(), children.end(),
            [&](KeyId a, KeyId b) { return LessName(keys_[a].name, keys_[b].name); });
  return children;
}

std::optional<uint32_t> RegHive::FindValueIndex(KeyId key, std::string_view name) const {
  const std::vector<RegValue>& values = keys_[key].values;
  if (values.size() <= kScannedValues) {
    for (uint32_t i = 0; i < values.size(); ++i) {
      if (SameRegName(values[i].name, name)) return i;
    }
    return std::nullopt;
  }
  uint64_t found = values_.Find(NameHash(key, name), [&](uint64_t entry) {
    return entry >> 32 == key && SameRegName(values[static_cast<uint32_t>(entry)].name, name);
  });
  if (found == HashIndex::kNone) return std::nullopt;
  return static_cast<uint32_t>(found);
}

const RegValue* RegHive::FindValue(KeyId key, std::string_view name) const {
  std::optional<uint32_t> index = FindValueIndex(key, name);
  return index ? &keys_[key].values[*index] : nullptr;
}

void RegHive::SetValue(KeyId key, RegValue value) {
  std::vector<RegValue>& values = keys_[key].values;
  if (std::optional<uint32_t> index = FindValueIndex(key, value.name)) {
    values[*index] = std::move(value);
    return;
  }
  values.push_back(std::move(value));
  if (values.size() <= kScannedValues) return;
  // The first value beyond the scanned ones brings them all into the index.
  size_t first = values.size() == kScannedValues + 1 ? 0 : values.size() - 1;
  for (size_t i = first; i < values.size(); ++i) values_.Insert(NameHash(key, values[i].name), ValueEntry(key, i));
}

void RegHive::ReserveKeys(size_t count) {
  keys_.reserve(keys_.size() + count);
  children_.Reserve(count);
}

}  // namespace tarn
