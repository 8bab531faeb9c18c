// A private memory heap: blocks are taken and given back one by one, and
// destroying the heap releases every block still in it at once. A module
// keeps its own allocations apart from the process's main heap with it.
//
// Thread safety: a heap serialises its own operations, so several threads may
// share one.
#pragma once

#include <cstddef>
#include <memory>

namespace tarn {

class PrivateHeap final {
 public:
  // A heap that holds `initial_size` bytes from the start and grows as
  // needed. Returns null when the platform cannot provide the memory.
  static std::unique_ptr<PrivateHeap> Create(size_t initial_size);

  // Releases every block still allocated.
  ~PrivateHeap();
  PrivateHeap(const PrivateHeap&) = delete;
  PrivateHeap& operator=(const PrivateHeap&) = delete;

  // A block of at least `size` bytes, aligned to 16 bytes; a size of 0 also
  // gives a block of its own. Null when the memory is exhausted.
  void* Allocate(size_t size);
  // Gives back a block that this heap allocated; null is ignored.
  void Free(void* block);

  // The bytes of memory that the heap holds from the platform, in use or not.
  size_t ReservedSize() const;

 private:
  struct Arena;
  explicit PrivateHeap(std::unique_ptr<Arena> arena);

  std::unique_ptr<Arena> arena_;
};

}  // namespace tarn
