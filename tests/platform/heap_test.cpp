#include "platform/heap.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <set>
#include <thread>
#include <vector>

namespace tarn {
namespace {

bool Aligned(const void* block) { return reinterpret_cast<uintptr_t>(block) % 16 == 0; }

TEST(PrivateHeap, HoldsItsInitialSizeFromTheStart) {
  auto heap = PrivateHeap::Create(10485760);
  ASSERT_NE(heap, nullptr);
  EXPECT_GE(heap->ReservedSize(), 10485760u);
  EXPECT_LT(heap->ReservedSize(), 10485760u + 65536u);
}

TEST(PrivateHeap, BlocksAreAlignedDistinctAndKeepTheirContents) {
  auto heap = PrivateHeap::Create(4096);
  std::vector<std::pair<unsigned char*, size_t>> blocks;
  for (size_t size : {0, 0, 1, 15, 16, 17, 100, 1000, 5000, 100000}) {
    auto* block = static_cast<unsigned char*>(heap->Allocate(size));
    ASSERT_NE(block, nullptr) << size;
    EXPECT_TRUE(Aligned(block)) << size;
    std::memset(block, static_cast<int>(blocks.size()), size);
    blocks.emplace_back(block, size);
  }
  std::set<unsigned char*> distinct;
  for (size_t i = 0; i < blocks.size(); ++i) {
    auto [block, size] = blocks[i];
    distinct.insert(block);
    for (size_t j = 0; j < size; ++j) ASSERT_EQ(block[j], i) << "block " << i << " byte " << j;
  }
  EXPECT_EQ(distinct.size(), blocks.size());
}

TEST(PrivateHeap, GrowsBeyondItsInitialSize) {
  auto heap = PrivateHeap::Create(4096);
  size_t initial = heap->ReservedSize();
  std::vector<void*> blocks;
  for (int i = 0; i < 1000; ++i) blocks.push_back(heap->Allocate(200));
  void* large = heap->Allocate(1 << 20);
  ASSERT_NE(large, nullptr);
  std::memset(large, 0xAB, 1 << 20);
  EXPECT_GT(heap->ReservedSize(), initial + (1 << 20));
  EXPECT_EQ(std::set<void*>(blocks.begin(), blocks.end()).size(), blocks.size());
}

TEST(PrivateHeap, FreedBlocksAreReused) {
  auto heap = PrivateHeap::Create(4096);
  void* first = heap->Allocate(40);
  void* second = heap->Allocate(40);
  heap->Free(first);
  heap->Free(nullptr);
  EXPECT_EQ(heap->Allocate(33), first);
  EXPECT_NE(heap->Allocate(40), second);
  heap->Free(heap->Allocate(3000));
  size_t reserved = heap->ReservedSize();
  for (int i = 0; i < 10000; ++i) heap->Free(heap->Allocate(3000));
  EXPECT_EQ(heap->ReservedSize(), reserved);
}

TEST(PrivateHeap, RefusesSizesBeyondTheAddressSpace) {
  auto heap = PrivateHeap::Create(4096);
  EXPECT_EQ(heap->Allocate(SIZE_MAX), nullptr);
  EXPECT_EQ(heap->Allocate(SIZE_MAX / 2), nullptr);
  EXPECT_NE(heap->Allocate(8), nullptr);
}

TEST(PrivateHeap, ThreadsMayShareOneHeap) {
  auto heap = PrivateHeap::Create(65536);
  auto churn = [&heap](unsigned char mark) {
    for (int round = 0; round < 2000; ++round) {
      auto* block = static_cast<unsigned char*>(heap->Allocate(64));
      std::memset(block, mark, 64);
      std::this_thread::yield();
      for (int i = 0; i < 64; ++i) ASSERT_EQ(block[i], mark);
      heap->Free(block);
    }
  };
  std::thread other(churn, 0x55);
  churn(0xAA);
  other.join();
}

#if defined(__SANITIZE_ADDRESS__)
TEST(PrivateHeapDeathTest, SanitizerSeesMisusedBlocks) {
  auto heap = PrivateHeap::Create(4096);
  auto* block = static_cast<volatile char*>(heap->Allocate(64));
  block[63] = 1;
  EXPECT_DEATH(block[64] = 1, "use-after-poison");
  heap->Free(const_cast<char*>(block));
  EXPECT_DEATH(block[10] = 1, "use-after-poison");
  EXPECT_DEATH(heap->Free(const_cast<char*>(block)), "use-after-poison");
}
#endif

}  // namespace
}  // namespace tarn
