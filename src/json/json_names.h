// The member names of an object: narrow texts kept one after another in a
// single block, with the end of each, so that a member costs no allocation
// of its own for its name.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "json/inline_list.h"

namespace tarn {

class TJSONnames {
 public:
  size_t Size() const noexcept { return ends_.size(); }

  std::string_view operator[](size_t position) const noexcept {
    size_t start = position == 0 ? 0 : ends_[position - 1];
    return std::string_view(text_).substr(start, ends_[position] - start);
  }

  // Appends a name; on failure the list is unchanged.
  void Add(std::string_view name) {
    if (ends_.size() == ends_.capacity()) ends_.reserve(ends_.empty() ? 4 : ends_.size() * 2);
    text_.append(name);
    ends_.push_back(text_.size());
  }

  void RemoveLast() noexcept {
    ends_.pop_back();
    text_.resize(ends_.empty() ? 0 : ends_.back());
  }

  void Clear() noexcept {
    text_.clear();
    ends_.clear();
  }

  // Moves the last `count` names of `from` to the end of this list, which
  // is given room for exactly them.
  void TakeLast(TJSONnames& from, size_t count) {
    size_t first = from.Size() - count;
    size_t start = first == 0 ? 0 : from.ends_[first - 1];
    text_.reserve(text_.size() + from.text_.size() - start);
    ends_.reserve(ends_.size() + count);
    size_t base = text_.size();
    text_.append(from.text_, start);
    for (size_t i = first; i < from.Size(); ++i) ends_.push_back(base + from.ends_[i] - start);
    from.text_.resize(start);
    from.ends_.shrink_to(first);
  }

 private:
  std::string text_;
  InlineList<size_t, 3> ends_;  // an object of up to three members keeps them inside
};

}  // namespace tarn
