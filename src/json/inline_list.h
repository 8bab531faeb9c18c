// A growable array whose first few elements live inside the array object
// itself. Most objects in real documents have few members, so their member
// names then cost no allocation of their own. A larger room comes from the
// heap, or from memory that outlives the list (a parsed tree's arena), which
// the list never gives back. Only what the value tree uses is offered.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <memory_resource>
#include <new>
#include <type_traits>
#include <utility>

namespace tarn {

template <typename T, uint32_t Inline>
class InlineList {
 public:
  InlineList() noexcept {}
  ~InlineList() {
    clear();
    FreeRoom();
  }
  InlineList(const InlineList&) = delete;
  InlineList& operator=(const InlineList&) = delete;

  size_t size() const noexcept { return size_; }
  size_t capacity() const noexcept { return capacity_; }
  bool empty() const noexcept { return size_ == 0; }

  T* begin() noexcept { return data(); }
  T* end() noexcept { return data() + size_; }
  const T* begin() const noexcept { return data(); }
  const T* end() const noexcept { return data() + size_; }
  T& operator[](size_t position) noexcept { return data()[position]; }
  const T& operator[](size_t position) const noexcept { return data()[position]; }

  // Room for `count` elements in all, from the heap; the elements move
  // (never throwing) when the room grows. On failure nothing changes.
  void reserve(size_t count) {
    if (count <= capacity_) return;
    CheckCount(count);
    MoveTo(Allocator().allocate(count), count, false);
  }

  // The same with the room taken from `memory`, which must outlive the list.
  void reserve(size_t count, std::pmr::memory_resource& memory) {
    if (count <= capacity_) return;
    CheckCount(count);
    MoveTo(static_cast<T*>(memory.allocate(count * sizeof(T), alignof(T))), count, true);
  }

  template <typename... Args>
  void emplace_back(Args&&... args) {
    if (size_ == capacity_) reserve(std::max<size_t>(4, size_ * size_t{2}));
    std::construct_at(data() + size_, std::forward<Args>(args)...);
    ++size_;
  }
  void push_back(T&& value) { emplace_back(std::move(value)); }

  // Appends copies of `count` elements from `first`, which must not lie in
  // the list; for elements that are plain bytes.
  void append(const T* first, size_t count) {
    static_assert(std::is_trivially_copyable_v<T>);
    if (count > capacity_ - size_) reserve(std::max(size_ + count, size_ * size_t{2}));
    if (count != 0) std::memcpy(data() + size_, first, count * sizeof(T));
    size_ += static_cast<uint32_t>(count);
  }

  T& back() noexcept { return data()[size_ - 1]; }
  const T& back() const noexcept { return data()[size_ - 1]; }
  void pop_back() noexcept { std::destroy_at(data() + --size_); }
  // Keeps the first `count` elements (no more than there are).
  void shrink_to(size_t count) noexcept {
    if constexpr (std::is_trivially_destructible_v<T>) {
      if (count < size_) size_ = static_cast<uint32_t>(count);
    } else {
      while (size_ > count) pop_back();
    }
  }

  // Destroys the elements in position order; the room stays.
  void clear() noexcept {
    T* elements = data();
    for (uint32_t i = 0; i < size_; ++i) std::destroy_at(elements + i);
    size_ = 0;
  }

 private:
  using Allocator = std::allocator<T>;
  static constexpr size_t kMaxCount = (size_t{1} << 31) - 1;

  static void CheckCount(size_t count) {
    if (count > kMaxCount) throw std::bad_alloc();
  }

  void MoveTo(T* room, size_t count, bool borrowed) noexcept {
    T* old = data();
    for (uint32_t i = 0; i < size_; ++i) {
      std::construct_at(room + i, std::move(old[i]));
      std::destroy_at(old + i);
    }
    FreeRoom();
    heap_ = room;
    capacity_ = static_cast<uint32_t>(count);
    borrowed_ = borrowed;
  }

  void FreeRoom() noexcept {
    if (!IsInline() && !borrowed_) Allocator().deallocate(heap_, capacity_);
  }

  // A room outside is always larger than the inline one.
  bool IsInline() const noexcept { return capacity_ == Inline; }
  T* data() noexcept { return IsInline() ? std::launder(reinterpret_cast<T*>(inline_)) : heap_; }
  const T* data() const noexcept {
    return IsInline() ? std::launder(reinterpret_cast<const T*>(inline_)) : heap_;
  }

  uint32_t size_ = 0;
  uint32_t capacity_ : 31 = Inline;  // Inline while the elements live inside
  uint32_t borrowed_ : 1 = false;    // the room is not the list's to give back
  union {
    alignas(T) unsigned char inline_[Inline * sizeof(T)];
    T* heap_;
  };
};

}  // namespace tarn
