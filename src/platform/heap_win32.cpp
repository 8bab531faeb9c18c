#include "platform/heap.h"

#include <windows.h>

namespace tarn {

// The platform's private heap serialises its own operations; a block it
// hands out is aligned to 16 bytes on 64-bit Windows.
struct PrivateHeap::Arena {
  HANDLE heap;
  ~Arena() { ::HeapDestroy(heap); }
};

PrivateHeap::PrivateHeap(std::unique_ptr<Arena> arena) : arena_(std::move(arena)) {}

PrivateHeap::~PrivateHeap() = default;

std::unique_ptr<PrivateHeap> PrivateHeap::Create(size_t initial_size) {
  HANDLE heap = ::HeapCreate(0, initial_size, 0);
  if (heap == nullptr) return nullptr;
  return std::unique_ptr<PrivateHeap>(new PrivateHeap(std::unique_ptr<Arena>(new Arena{heap})));
}

void* PrivateHeap::Allocate(size_t size) { return ::HeapAlloc(arena_->heap, 0, size); }

void PrivateHeap::Free(void* block) {
  if (block != nullptr) ::HeapFree(arena_->heap, 0, block);
}

size_t PrivateHeap::ReservedSize() const {
  size_t total = 0;
  if (!::HeapLock(arena_->heap)) return 0;
  PROCESS_HEAP_ENTRY entry{};
  while (::HeapWalk(arena_->heap, &entry)) {
    if (entry.wFlags & PROCESS_HEAP_REGION) total += entry.Region.dwCommittedSize + entry.Region.dwUnCommittedSize;
  }
  ::HeapUnlock(arena_->heap);
  return total;
}

}  // namespace tarn
