// The member names of an object: narrow texts kept one after another in a
// single room, with the end of each, so that a member costs no allocation of
// its own for its name, and the names of a small object none at all.
#pragma once

#include <cstddef>
#include <cstdint>
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

  void RemoveLast() noexcept {
    ends_.pop_back();
    text_.shrink_to(ends_.empty() ? 0 : ends_.back());
  }

  void Clear() noexcept {
    text_.clear();
    ends_.clear();
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
    from.text_.shrink_to(start);
    from.ends_.shrink_to(first);
  }

 private:
  InlineList<char, 8> text_;
  InlineList<uint32_t, 2> ends_;  // an object of up to two members keeps them inside
};

}  // namespace tarn
