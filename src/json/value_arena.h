// The memory of a parsed tree: its containers, their rooms for children and
// names, and its strings are carved one after another out of a few large
// blocks, and all of it is given back at once when the arena goes. Nothing is
// freed on its own; a value destroyed early leaves its bytes unused until
// then. Blocks double from 4 KB up to 64 KB, so that a small document costs
// little and a large one wastes less than a block.
//
// Not thread-safe: one arena belongs to one tree.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory_resource>

// Under AddressSanitizer the unused part of a block, and every value the
// tree destroys before the arena goes, is marked unaddressable.
#if defined(__has_include)
#if __has_include(<sanitizer/asan_interface.h>)
#include <sanitizer/asan_interface.h>
#endif
#endif
#ifndef ASAN_UNPOISON_MEMORY_REGION
#define ASAN_POISON_MEMORY_REGION(address, size) ((void)(address), (void)(size))
#define ASAN_UNPOISON_MEMORY_REGION(address, size) ((void)(address), (void)(size))
#endif

namespace tarn {

class ValueArena final : public std::pmr::memory_resource {
 public:
  ValueArena() noexcept = default;
  ~ValueArena() override;
  ValueArena(const ValueArena&) = delete;
  ValueArena& operator=(const ValueArena&) = delete;

  // `bytes` (at least one) aligned to `alignment`, a power of two. Throws
  // std::bad_alloc.
  void* Allocate(size_t bytes, size_t alignment) {
    uintptr_t aligned = AlignUp(next_, alignment);
    uintptr_t end = reinterpret_cast<uintptr_t>(end_);
    if (aligned > end || bytes > end - aligned) return AllocateBlock(bytes, alignment);
    next_ = reinterpret_cast<char*>(aligned + bytes);
    ASAN_UNPOISON_MEMORY_REGION(reinterpret_cast<void*>(aligned), bytes);
    return reinterpret_cast<void*>(aligned);
  }

  // The bytes taken from the C++ heap, used or not.
  size_t Reserved() const noexcept { return reserved_; }

 private:
  struct Block;

  void* do_allocate(size_t bytes, size_t alignment) override { return Allocate(bytes == 0 ? 1 : bytes, alignment); }
  void do_deallocate(void*, size_t, size_t) noexcept override {}
  bool do_is_equal(const std::pmr::memory_resource& other) const noexcept override { return this == &other; }

  static uintptr_t AlignUp(const char* address, size_t alignment) noexcept {
    return (reinterpret_cast<uintptr_t>(address) + alignment - 1) & ~(alignment - 1);
  }

  void* AllocateBlock(size_t bytes, size_t alignment);
  // A block of `size` bytes from the heap, counted in Reserved().
  Block* NewBlock(size_t size);

  Block* blocks_ = nullptr;  // the newest first
  char* next_ = nullptr;     // the free part of the current block
  char* end_ = nullptr;
  size_t next_size_ = 4096;
  size_t reserved_ = 0;
};

}  // namespace tarn
