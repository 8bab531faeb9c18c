#include "json/value_arena.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

namespace tarn {
namespace {

bool Aligned(const void* address, size_t alignment) {
  return reinterpret_cast<uintptr_t>(address) % alignment == 0;
}

// Every piece is aligned, usable whole and apart from the others (under
// AddressSanitizer a write past a piece's end into unused space fails).
TEST(ValueArena, PiecesAreAlignedAndApart) {
  ValueArena arena;
  std::vector<std::pair<char*, size_t>> pieces;
  for (size_t i = 0; i < 3000; ++i) {
    size_t bytes = 1 + (i * 37) % 200;
    size_t alignment = size_t{1} << (i % 5);
    auto* piece = static_cast<char*>(arena.Allocate(bytes, alignment));
    ASSERT_TRUE(Aligned(piece, alignment));
    std::memset(piece, static_cast<int>(i), bytes);
    pieces.emplace_back(piece, bytes);
  }
  for (size_t i = 0; i < pieces.size(); ++i) {
    auto [piece, bytes] = pieces[i];
    for (size_t k = 0; k < bytes; ++k) ASSERT_EQ(piece[k], static_cast<char>(i)) << i;
  }
}

// Blocks stop growing at a size that wastes little of a large tree, and a
// large request does not abandon the free part of the current block.
TEST(ValueArena, MemoryStaysCloseToWhatIsUsed) {
  ValueArena arena;
  constexpr size_t kUsed = 8 << 20;
  for (size_t used = 0; used < kUsed; used += 48) arena.Allocate(48, 8);
  EXPECT_LT(arena.Reserved(), kUsed + (kUsed / 50) + (128 << 10));
  size_t before = arena.Reserved();
  void* large = arena.Allocate(1 << 20, 16);
  EXPECT_TRUE(Aligned(large, 16));
  EXPECT_LT(arena.Reserved(), before + (1 << 20) + 64);
  char* small = static_cast<char*>(arena.Allocate(16, 8));
  char* next = static_cast<char*>(arena.Allocate(16, 8));
  EXPECT_EQ(next, small + 16);  // still carved from the block in use
}

TEST(ValueArena, ServesStandardContainers) {
  ValueArena arena;
  std::pmr::vector<int> numbers(&arena);
  for (int i = 0; i < 100000; ++i) numbers.push_back(i);
  EXPECT_EQ(numbers[99999], 99999);
  std::pmr::vector<char> empty(&arena);
  empty.reserve(0);
  EXPECT_THROW(arena.Allocate(SIZE_MAX - 4, 16), std::bad_alloc);
}

}  // namespace
}  // namespace tarn
