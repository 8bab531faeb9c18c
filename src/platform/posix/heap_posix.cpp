#include "platform/heap.h"

#include <sanitizer/asan_interface.h>
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <mutex>
#include <optional>
#include <utility>
#include <vector>

// Under AddressSanitizer the heap marks the memory that is not handed out as
// unaddressable, so that a use after Free, a second Free or an overrun into
// unused space is reported as it would be for the process's own heap. Without
// it the two macros do nothing.

namespace tarn {

namespace {

// Every block is a power of two in size and starts with a header that keeps
// its size class; the header's size keeps the block's payload aligned.
constexpr size_t kHeaderSize = 16;
constexpr size_t kSmallestBlock = 32;
constexpr size_t kLargestBlock = size_t{1} << (sizeof(size_t) * 8 - 2);

struct BlockHeader {
  size_t size_class;
};

// A free block keeps the next free block of its size class in its payload.
struct FreeBlock {
  FreeBlock* next;
};

// Address space taken from the system in one piece; returned when the chunk
// goes.
class Chunk {
 public:
  static std::optional<Chunk> Map(size_t size) {
    void* base = ::mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
    if (base == MAP_FAILED) return std::nullopt;
    ASAN_POISON_MEMORY_REGION(base, size);
    return Chunk(static_cast<std::byte*>(base), size);
  }
  Chunk(Chunk&& other) noexcept : base_(std::exchange(other.base_, nullptr)), size_(other.size_) {}
  Chunk& operator=(Chunk&&) = delete;
  ~Chunk() {
    if (base_ == nullptr) return;
    ASAN_UNPOISON_MEMORY_REGION(base_, size_);
    ::munmap(base_, size_);
  }

  std::byte* Base() const { return base_; }
  size_t Size() const { return size_; }

 private:
  Chunk(std::byte* base, size_t size) : base_(base), size_(size) {}

  std::byte* base_;
  size_t size_;
};

size_t RoundToPages(size_t size) {
  size_t page = static_cast<size_t>(::sysconf(_SC_PAGESIZE));
  return (size + page - 1) / page * page;
}

}  // namespace

struct PrivateHeap::Arena {
  std::mutex lock;
  size_t growth = 0;  // the size of a further chunk
  std::vector<Chunk> chunks;
  size_t used = 0;  // bytes handed out from the newest chunk
  std::array<FreeBlock*, sizeof(size_t) * 8> free_lists{};

  // A block of `block_size` bytes, from the free list of its class or from
  // the newest chunk; null when the system has no memory left.
  std::byte* Take(size_t size_class, size_t block_size) {
    if (FreeBlock* reused = free_lists[size_class]) {
      ASAN_UNPOISON_MEMORY_REGION(reused, sizeof(FreeBlock));
      free_lists[size_class] = reused->next;
      ASAN_POISON_MEMORY_REGION(reused, sizeof(FreeBlock));
      return reinterpret_cast<std::byte*>(reused) - kHeaderSize;
    }
    if (chunks.back().Size() - used < block_size) {
      std::optional<Chunk> chunk = Chunk::Map(std::max(growth, RoundToPages(block_size)));
      if (!chunk) return nullptr;
      chunks.push_back(std::move(*chunk));
      used = 0;
    }
    std::byte* block = chunks.back().Base() + used;
    used += block_size;
    return block;
  }
};

PrivateHeap::PrivateHeap(std::unique_ptr<Arena> arena) : arena_(std::move(arena)) {}

PrivateHeap::~PrivateHeap() = default;

std::unique_ptr<PrivateHeap> PrivateHeap::Create(size_t initial_size) {
  auto arena = std::make_unique<Arena>();
  arena->growth = RoundToPages(std::max<size_t>(initial_size, 1));
  std::optional<Chunk> first = Chunk::Map(arena->growth);
  if (!first) return nullptr;
  arena->chunks.push_back(std::move(*first));
  return std::unique_ptr<PrivateHeap>(new PrivateHeap(std::move(arena)));
}

void* PrivateHeap::Allocate(size_t size) {
  if (size > kLargestBlock - kHeaderSize) return nullptr;
  size_t block_size = std::max(kSmallestBlock, std::bit_ceil(size + kHeaderSize));
  size_t size_class = static_cast<size_t>(std::countr_zero(block_size));

  std::lock_guard hold(arena_->lock);
  std::byte* block = arena_->Take(size_class, block_size);
  if (block == nullptr) return nullptr;
  ASAN_UNPOISON_MEMORY_REGION(block, kHeaderSize + size);
  reinterpret_cast<BlockHeader*>(block)->size_class = size_class;
  return block + kHeaderSize;
}

void PrivateHeap::Free(void* block) {
  if (block == nullptr) return;
  std::byte* start = static_cast<std::byte*>(block) - kHeaderSize;
  std::lock_guard hold(arena_->lock);
  size_t size_class = reinterpret_cast<BlockHeader*>(start)->size_class;
  ASAN_POISON_MEMORY_REGION(start, size_t{1} << size_class);
  ASAN_UNPOISON_MEMORY_REGION(block, sizeof(FreeBlock));
  auto* freed = static_cast<FreeBlock*>(block);
  freed->next = arena_->free_lists[size_class];
  arena_->free_lists[size_class] = freed;
  ASAN_POISON_MEMORY_REGION(block, sizeof(FreeBlock));
}

size_t PrivateHeap::ReservedSize() const {
  std::lock_guard hold(arena_->lock);
  size_t total = 0;
  for (const Chunk& chunk : arena_->chunks) total += chunk.Size();
  return total;
}

}  // namespace tarn
