#include "platform/heap.h"

#include <windows.h>

#include <algorithm>
#include <utility>
#include <vector>

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

namespace {

// The size of the whole reservation of address space that holds `address`.
size_t ReservationSize(const void* address) {
  MEMORY_BASIC_INFORMATION info;
  if (::VirtualQuery(address, &info, sizeof info) == 0) return 0;
  void* base = info.AllocationBase;
  size_t total = 0;
  for (auto* next = static_cast<const char*>(base);
       ::VirtualQuery(next, &info, sizeof info) != 0 && info.AllocationBase == base; next += info.RegionSize) {
    total += info.RegionSize;
  }
  return total;
}

}  // namespace

// The heap's regions, with their uncommitted parts, plus the blocks too large
// for a region, which the platform keeps in address space of their own.
size_t PrivateHeap::ReservedSize() const {
  size_t total = 0;
  std::vector<std::pair<const char*, const char*>> regions;
  if (!::HeapLock(arena_->heap)) return 0;
  PROCESS_HEAP_ENTRY entry{};
  while (::HeapWalk(arena_->heap, &entry)) {
    const char* data = static_cast<const char*>(entry.lpData);
    if (entry.wFlags & PROCESS_HEAP_REGION) {
      total += entry.Region.dwCommittedSize + entry.Region.dwUnCommittedSize;
      regions.emplace_back(static_cast<const char*>(entry.Region.lpFirstBlock),
                           static_cast<const char*>(entry.Region.lpLastBlock));
    } else if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) {
      bool inside = std::any_of(regions.begin(), regions.end(),
                                [&](const auto& region) { return data >= region.first && data < region.second; });
      if (!inside) total += ReservationSize(data);
    }
  }
  ::HeapUnlock(arena_->heap);
  return total;
}

}  // namespace tarn
