#include "json/value_arena.h"

#include <algorithm>
#include <limits>
#include <new>

namespace tarn {

// A block starts with this header; its bytes follow it.
struct alignas(std::max_align_t) ValueArena::Block {
  Block* previous;
  size_t size;  // of the bytes after the header

  char* Bytes() noexcept { return reinterpret_cast<char*>(this + 1); }
};

namespace {

constexpr size_t kLargestBlock = size_t{1} << 16;

}  // namespace

ValueArena::~ValueArena() {
  while (blocks_ != nullptr) {
    Block* block = blocks_;
    blocks_ = block->previous;
    ASAN_UNPOISON_MEMORY_REGION(block->Bytes(), block->size);
    ::operator delete(block);
  }
}

ValueArena::Block* ValueArena::NewBlock(size_t size) {
  if (size > std::numeric_limits<size_t>::max() - sizeof(Block)) throw std::bad_alloc();
  auto* block = new (::operator new(sizeof(Block) + size)) Block{nullptr, size};
  ASAN_POISON_MEMORY_REGION(block->Bytes(), size);
  reserved_ += sizeof(Block) + size;
  return block;
}

void* ValueArena::AllocateBlock(size_t bytes, size_t alignment) {
  if (bytes > std::numeric_limits<size_t>::max() - alignment) throw std::bad_alloc();
  size_t needed = bytes + alignment - 1;
  // A request larger than a quarter of the next block gets a block of its
  // own, kept behind the current one, whose free part stays in use.
  if (needed > next_size_ / 4 && blocks_ != nullptr) {
    Block* block = NewBlock(needed);
    block->previous = blocks_->previous;
    blocks_->previous = block;
    uintptr_t aligned = AlignUp(block->Bytes(), alignment);
    ASAN_UNPOISON_MEMORY_REGION(reinterpret_cast<void*>(aligned), bytes);
    return reinterpret_cast<void*>(aligned);
  }
  Block* block = NewBlock(std::max(next_size_, needed));
  block->previous = blocks_;
  blocks_ = block;
  next_ = block->Bytes();
  end_ = next_ + block->size;
  next_size_ = std::min(next_size_ * 2, kLargestBlock);
  return Allocate(bytes, alignment);
}

}  // namespace tarn
