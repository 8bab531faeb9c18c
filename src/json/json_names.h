// The member names of an object: narrow texts kept one after another in a
// single room, with the end of each, so that a member costs no allocation of
// its own for its name, and the names of a small object none at all.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory_resource>
#include <string_view>

#include "json/inline_list.h"

namespace tarn {

class TJSONnames {
 public:
  size_t Size() const noexcept { return ends_.size(); }

  std::string_view operator[](size_t position) const noexcept {
    uint32_t start = position == 0 ? 0 : ends_[position - 1];
    return std::string_view(text_.begin() + start, ends_[position] - start);
  }

  // Appends a name; on failure the list is unchanged.
  void Add(std::string_view name) {
    if (ends_.size() == ends_.capacity()) ends_.reserve(ends_.size() * 2);
    text_.append(name.data(), name.size());
    ends_.push_back(static_cast<uint32_t>(text_.size()));
  }

  void Clear() noexcept {
    text_.clear();
    ends_.clear();
  }

  // A hash of the last `count` names' text.
  uint64_t HashOfLast(size_t count) const noexcept {
    size_t first = Size() - count;
    uint32_t start = first == 0 ? 0 : ends_[first - 1];
    const char* text = text_.begin() + start;
    size_t length = text_.size() - start;
    uint64_t hash = count * 0x9E3779B97F4A7C15;
    for (; length >= 8; text += 8, length -= 8) {
      uint64_t word = 0;
      std::memcpy(&word, text, sizeof word);
      hash = (hash ^ word) * 0x100000001B3;
      hash ^= hash >> 29;
    }
    for (; length > 0; ++text, --length) hash = (hash ^ static_cast<unsigned char>(*text)) * 0x100000001B3;
    return hash ^ (hash >> 32);
  }

  // Whether these are exactly the last `count` names of `from`.
  bool SameAsLast(const TJSONnames& from, size_t count) const noexcept {
    if (Size() != count) return false;
    size_t first = from.Size() - count;
    uint32_t start = first == 0 ? 0 : from.ends_[first - 1];
    if (from.text_.size() - start != text_.size() ||
        std::memcmp(from.text_.begin() + start, text_.begin(), text_.size()) != 0) {
      return false;
    }
    for (size_t i = 0; i < count; ++i) {
      if (ends_[i] != from.ends_[first + i] - start) return false;
    }
    return true;
  }

  // Takes the last `count` names of the list off.
  void RemoveLast(size_t count = 1) noexcept {
    size_t first = Size() - count;
    text_.shrink_to(first == 0 ? 0 : ends_[first - 1]);
    ends_.shrink_to(first);
  }

  // Moves the last `count` names of `from` to the end of this list, in room
  // for exactly them taken from `memory`, which must outlive the list.
  void TakeLast(TJSONnames& from, size_t count, std::pmr::memory_resource& memory) {
    size_t first = from.Size() - count;
    uint32_t start = first == 0 ? 0 : from.ends_[first - 1];
    size_t length = from.text_.size() - start;
    text_.reserve(text_.size() + length, memory);
    ends_.reserve(ends_.size() + count, memory);
    auto base = static_cast<uint32_t>(text_.size());
    text_.append(from.text_.begin() + start, length);
    for (size_t i = first; i < from.Size(); ++i) ends_.push_back(base + from.ends_[i] - start);
    from.RemoveLast(count);
  }

 private:
  InlineList<char, 8> text_;
  InlineList<uint32_t, 2> ends_;  // an object of up to two members keeps them inside
};

}  // namespace tarn
