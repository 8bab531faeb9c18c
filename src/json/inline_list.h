// Growable arrays whose first few elements live inside the array object
// itself. Most objects in real documents have few members, so their member
// names, and a container's first children, then cost no allocation of their
// own. A larger room comes from the heap, or from memory that outlives the
// array (a parsed tree's arena), which the array never gives back. Only what
// the value tree uses is offered.
//
// InlineRoom holds the elements alone: its owner keeps the counts (a
// container keeps them where a scalar keeps its value) and hands them to
// every call, and destroys the elements and gives the room back itself.
// InlineList is the same room with its counts beside it, and owns both.
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

// How many elements a room holds and has space for, and whether the space is
// borrowed (not the room's to give back). The last bit is left to the owner.
struct RoomCounts {
  uint32_t size;
  uint32_t capacity : 30;
  uint32_t borrowed : 1;
  uint32_t owner_flag : 1;
};

template <typename T, uint32_t Inline>
class InlineRoom {
 public:
  static constexpr uint32_t kInline = Inline;
  static constexpr size_t kMaxCount = (size_t{1} << 30) - 1;

  // The counts of an empty room, the owner's bit given.
  static constexpr RoomCounts Empty(bool owner_flag = false) noexcept { return {0, Inline, 0, owner_flag}; }

  T* data(const RoomCounts& counts) noexcept {
    return IsInline(counts) ? std::launder(reinterpret_cast<T*>(inline_)) : heap_;
  }
  const T* data(const RoomCounts& counts) const noexcept {
    return IsInline(counts) ? std::launder(reinterpret_cast<const T*>(inline_)) : heap_;
  }

  // Room for `count` elements in all, from the heap; the elements move
  // (never throwing) when the room grows. On failure nothing changes.
  void reserve(RoomCounts& counts, size_t count) {
    if (count <= counts.capacity) return;
    CheckCount(count);
    MoveTo(counts, std::allocator<T>().allocate(count), count, false);
  }

  // The same with the room taken from `memory`, which must outlive the room.
  void reserve(RoomCounts& counts, size_t count, std::pmr::memory_resource& memory) {
    if (count <= counts.capacity) return;
    CheckCount(count);
    MoveTo(counts, static_cast<T*>(memory.allocate(count * sizeof(T), alignof(T))), count, true);
  }

  // Room for `more` elements after those there, from the heap, at least
  // doubling the room when it grows.
  void reserve_more(RoomCounts& counts, size_t more) {
    if (more > counts.capacity - counts.size) {
      reserve(counts, std::max({counts.size + more, counts.size * size_t{2}, size_t{4}}));
    }
  }

  // Constructs an element at the end, in room made beforehand.
  template <typename... Args>
  void put_back(RoomCounts& counts, Args&&... args) noexcept {
    std::construct_at(data(counts) + counts.size, std::forward<Args>(args)...);
    ++counts.size;
  }

  // Destroys the elements in position order; the room stays.
  void clear(RoomCounts& counts) noexcept {
    T* elements = data(counts);
    for (uint32_t i = 0; i < counts.size; ++i) std::destroy_at(elements + i);
    counts.size = 0;
  }

  // Gives a room of the heap back; the elements must be gone.
  void release(const RoomCounts& counts) noexcept {
    if (!IsInline(counts) && !counts.borrowed) std::allocator<T>().deallocate(heap_, counts.capacity);
  }

 private:
  static void CheckCount(size_t count) {
    if (count > kMaxCount) throw std::bad_alloc();
  }

  // A room outside is always larger than the inline one.
  static bool IsInline(const RoomCounts& counts) noexcept { return counts.capacity == Inline; }

  void MoveTo(RoomCounts& counts, T* room, size_t count, bool borrowed) noexcept {
    T* old = data(counts);
    for (uint32_t i = 0; i < counts.size; ++i) {
      std::construct_at(room + i, std::move(old[i]));
      std::destroy_at(old + i);
    }
    release(counts);
    heap_ = room;
    counts.capacity = static_cast<uint32_t>(count);
    counts.borrowed = borrowed;
  }

  union {
    alignas(T) unsigned char inline_[Inline * sizeof(T)];
    T* heap_;
  };
};

template <typename T, uint32_t Inline>
class InlineList {
 public:
  InlineList() noexcept {}
  ~InlineList() {
    room_.clear(counts_);
    room_.release(counts_);
  }
  InlineList(const InlineList&) = delete;
  InlineList& operator=(const InlineList&) = delete;

  size_t size() const noexcept { return counts_.size; }
  size_t capacity() const noexcept { return counts_.capacity; }

  T* begin() noexcept { return room_.data(counts_); }
  T* end() noexcept { return begin() + counts_.size; }
  const T* begin() const noexcept { return room_.data(counts_); }
  const T* end() const noexcept { return begin() + counts_.size; }
  T& operator[](size_t position) noexcept { return begin()[position]; }
  const T& operator[](size_t position) const noexcept { return begin()[position]; }

  void reserve(size_t count) { room_.reserve(counts_, count); }
  void reserve(size_t count, std::pmr::memory_resource& memory) { room_.reserve(counts_, count, memory); }

  template <typename... Args>
  void emplace_back(Args&&... args) {
    room_.reserve_more(counts_, 1);
    room_.put_back(counts_, std::forward<Args>(args)...);
  }
  void push_back(T&& value) { emplace_back(std::move(value)); }

  // Appends copies of `count` elements from `first`, which must not lie in
  // the list; for elements that are plain bytes.
  void append(const T* first, size_t count) {
    static_assert(std::is_trivially_copyable_v<T>);
    room_.reserve_more(counts_, count);
    if (count != 0) std::memcpy(end(), first, count * sizeof(T));
    counts_.size += static_cast<uint32_t>(count);
  }

  // Keeps the first `count` elements (no more than there are); for elements
  // that need no destruction.
  void shrink_to(size_t count) noexcept {
    static_assert(std::is_trivially_destructible_v<T>);
    if (count < counts_.size) counts_.size = static_cast<uint32_t>(count);
  }

  // Destroys the elements in position order; the room stays.
  void clear() noexcept { room_.clear(counts_); }

 private:
  RoomCounts counts_ = InlineRoom<T, Inline>::Empty();
  InlineRoom<T, Inline> room_;
};

}  // namespace tarn
