#include "runtime/integer_hash.h"

#include <gtest/gtest.h>

#include <string>

namespace tarn {
namespace {

TEST(KeyHash, KnownAnswers) {
  EXPECT_EQ(THash::KeyHash(""), 0u);
  EXPECT_EQ(THash::KeyHash("abc"), 0x62026261u);
  EXPECT_EQ(THash::KeyHash("abc") & THash::kMask, 97u);
  // One whole word: a = b = w.
  EXPECT_EQ(THash::KeyHash("abcd"), ((0x64636261u + 0x64636261u) << 16) ^ 0x64636261u);
  // A word and a tail: a = w + t, b = w + (w + t).
  uint32_t w = 0x64636261u, t = 0x65u;
  EXPECT_EQ(THash::KeyHash("abcde"), ((w + w + t) << 16) ^ (w + t));
  // Bytes above 0x7F count as unsigned.
  EXPECT_EQ(THash::KeyHash("\xFF"), (0xFFu << 16) ^ 0xFFu);
}

TEST(IntegerHash, EmptyTableAndCase) {
  TIntegerHash table;
  EXPECT_EQ(table.Lookup("a"), -1);
  EXPECT_EQ(table.Lookup(""), -1);
  table.Add("Name", 4);
  EXPECT_EQ(table.Lookup("Name"), 4);
  EXPECT_EQ(table.Lookup("name"), -1);
  EXPECT_EQ(table.Lookup("Nam"), -1);
}

TEST(IntegerHash, AddReplacesAndEmptyKeyIsAKey) {
  TIntegerHash table;
  table.Add("", 7);
  table.Add("x", -1);
  EXPECT_EQ(table.Lookup(""), 7);
  EXPECT_EQ(table.Lookup("x"), -1);  // stored -1 reads like an absent key
  table.Add("", 9);
  EXPECT_EQ(table.Lookup(""), 9);
}

TEST(IntegerHash, SharedBucketKeysStayApart) {
  // "a" + 128 in the first byte lands in the bucket of "a"; so do keys whose
  // word sums agree modulo 128.
  TIntegerHash table;
  std::string first = "a";
  std::string second = "\xE1";
  ASSERT_EQ(THash::KeyHash(first) & THash::kMask, THash::KeyHash(second) & THash::kMask);
  table.Add(first, 1);
  table.Add(second, 2);
  EXPECT_EQ(table.Lookup(first), 1);
  EXPECT_EQ(table.Lookup(second), 2);
}

TEST(IntegerHash, RemoveAllEmptiesAndRefills) {
  TIntegerHash table;
  for (int i = 0; i < 1000; ++i) table.Add("key" + std::to_string(i), i * 3);
  for (int i = 0; i < 1000; ++i) ASSERT_EQ(table.Lookup("key" + std::to_string(i)), i * 3);
  table.RemoveAll();
  for (int i = 0; i < 1000; ++i) ASSERT_EQ(table.Lookup("key" + std::to_string(i)), -1);
  table.Add("key5", 11);
  EXPECT_EQ(table.Lookup("key5"), 11);
  table.RemoveAll();
  table.RemoveAll();
  EXPECT_EQ(table.Lookup("key5"), -1);
}

// Slots are numbered 0, 1, 2 … in the order new keys arrive, a replaced value
// keeps its slot, and RemoveAll starts the numbering again at 0.
class SlotProbe : public THash {
 public:
  int32_t Take(const std::string& key) { return TakeKeySlot(key); }
  int32_t Find(const std::string& key) const { return FindSlot(key); }
  int32_t size = 0;

 protected:
  void ResizeSlots(int32_t count) override { size = count; }
  void DropAllSlots() override { size = 0; }
  int32_t LastSlot() const noexcept override { return size - 1; }
};

TEST(IntegerHash, SlotNumbering) {
  SlotProbe probe;
  EXPECT_EQ(probe.Take("a"), 0);
  EXPECT_EQ(probe.Take("b"), 1);
  EXPECT_EQ(probe.Take("a"), 0);
  EXPECT_EQ(probe.size, 2);
  EXPECT_EQ(probe.Find("b"), 1);
  EXPECT_EQ(probe.Find("c"), -1);
  probe.RemoveAll();
  EXPECT_EQ(probe.size, 0);
  EXPECT_EQ(probe.Take("c"), 0);
}

}  // namespace
}  // namespace tarn
