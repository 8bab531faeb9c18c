#include "platform/heap.h"

#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <mutex>
#include <vector>

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

struct FreeBlock {
  FreeBlock* next;
};

// Address space taken from the system in one piece; returned by the destructor.
class Chunk {
 public:
  static std::unique_ptr<Chunk> Map(size_t size) {
    void* base = ::mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
    if (base == MAP_FAILED) return nullptr;
    return std::unique_ptr<Chunk>(new Chunk(static_cast<std::byte*>(base), size));
  }
  ~Chunk() { ::munmap(base_, size_); }
  Chunk(const Chunk&) = delete;
  Chunk& operator=(const Chunk&) = delete;

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
  std::vector<std::unique_ptr<Chunk>> chunks;
  size_t used = 0;  // bytes handed out from the newest chunk
  std::array<FreeBlock*, sizeof(size_t) * 8> free_lists{};

  std::byte* Carve(size_t block_size) {
    Chunk* newest = chunks.back().get();
    if (newest->Size() - used < block_size) {
      std::unique_ptr<Chunk> chunk = Chunk::Map(std::max(growth, RoundToPages(block_size)));
      if (!chunk) return nullptr;
      chunks.push_back(std::move(chunk));
      newest = chunks.back().get();
      used = 0;
    }
    std::byte* block = newest->Base() + used;
    used += block_size;
    return block;
  }
};

PrivateHeap::PrivateHeap(std::unique_ptr<Arena> arena) : arena_(std::move(arena)) {}

PrivateHeap::~PrivateHeap() = default;

std::unique_ptr<PrivateHeap> PrivateHeap::Create(size_t initial_size) {
  auto arena = std::make_unique<Arena>();
  arena->growth = RoundToPages(std::max<size_t>(initial_size, 1));
  std::unique_ptr<Chunk> first = Chunk::Map(arena->growth);
  if (!first) return nullptr;
  arena->chunks.push_back(std::move(first));
  return std::unique_ptr<PrivateHeap>(new PrivateHeap(std::move(arena)));
}

void* PrivateHeap::Allocate(size_t size) {
  if (size > kLargestBlock - kHeaderSize) return nullptr;
  size_t block_size = std::max(kSmallestBlock, std::bit_ceil(size + kHeaderSize));
  size_t size_class = static_cast<size_t>(std::countr_zero(block_size));

  std::lock_guard hold(arena_->lock);
  std::byte* block;
  if (FreeBlock* reused = arena_->free_lists[size_class]) {
    arena_->free_lists[size_class] = reused->next;
    block = reinterpret_cast<std::byte*>(reused) - kHeaderSize;
  } else {
    block = arena_->Carve(block_size);
    if (block == nullptr) return nullptr;
  }
  reinterpret_cast<BlockHeader*>(block)->size_class = size_class;
  return block + kHeaderSize;
}

void PrivateHeap::Free(void* block) {
  if (block == nullptr) return;
  auto* payload = static_cast<std::byte*>(block);
  size_t size_class = reinterpret_cast<BlockHeader*>(payload - kHeaderSize)->size_class;
  std::lock_guard hold(arena_->lock);
  auto* freed = reinterpret_cast<FreeBlock*>(payload);
  freed->next = arena_->free_lists[size_class];
  arena_->free_lists[size_class] = freed;
}

size_t PrivateHeap::ReservedSize() const {
  std::lock_guard hold(arena_->lock);
  size_t total = 0;
  for (const auto& chunk : arena_->chunks) total += chunk->Size();
  return total;
}

}  // namespace tarn
