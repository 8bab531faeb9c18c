#include "runtime/hash_list.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "platform/portable/exceptions.h"
#include "runtime/comma_text.h"
#include "runtime/text_hash.h"
#include "counted_object.h"

namespace tarn {
namespace {

// ---------------------------------------------------------------------------
// Hashes and buckets

struct HashCase {
  std::string key;
  uint32_t super_fast;
  uint32_t case_insensitive;
  size_t bucket_61;          // exact mode
  size_t bucket_61_ignore;   // case-insensitive mode
  size_t bucket_307;         // exact mode
};

// Every tail length (0 to 3 bytes after the 4-byte words), bytes above 0x7F
// in the tail (sign-extended) and in the words, and keys whose hash is
// negative as a signed number.
const HashCase kHashCases[] = {
    {"", 0x00000000, 0x00000000, 0, 0, 0},
    {"a", 0x115ea782, 0x00010050, 28, 41, 179},
    {"ab", 0x516b8b44, 0x041345b0, 37, 38, 167},
    {"abc", 0xd2be198a, 0x506fbdb4, 23, 24, 282},
    {"abcd", 0xdad8b8db, 0x0f5a038f, 47, 19, 151},
    {"abcde", 0x51ed072e, 0x76b4f69b, 10, 33, 246},
    {"customer_name", 0x9ac87d28, 0x83c0e2ba, 4, 14, 62},
    {"item00042", 0x2b0662d1, 0x8adcf300, 59, 33, 139},
    {"\xe9", 0x69ea06c0, 0x0003aa7a, 9, 32, 281},
    {"a\xe9", 0x83322156, 0x0415f2ad, 3, 20, 182},
    {"ab\xff", 0xc25f0954, 0x506abaa5, 56, 46, 276},
    {"\x80\x81\x82\x83\x84", 0xe24c46be, 0x46f752cb, 33, 30, 146},
    {"Trace", 0x4629496b, 0x0d288808, 52, 35, 132},
    {"TRACE", 0x035d2c82, 0x0d288808, 19, 35, 238},
};

TEST(TextHash, KnownAnswers) {
  for (const HashCase& c : kHashCases) {
    SCOPED_TRACE(c.key);
    EXPECT_EQ(SuperFastHash(c.key), c.super_fast);
    EXPECT_EQ(CaseInsensitiveHash(c.key), c.case_insensitive);
  }
}

TEST(HashList, BucketsFollowTheSignedRemainder) {
  THashList exact(0);
  THashList exact_307(255);
  THashList folded(0);
  folded.SetIgnoreCase(true);
  for (const HashCase& c : kHashCases) {
    SCOPED_TRACE(c.key);
    EXPECT_EQ(exact.BucketOf(c.key), c.bucket_61);
    EXPECT_EQ(exact_307.BucketOf(c.key), c.bucket_307);
    EXPECT_EQ(folded.BucketOf(c.key), c.bucket_61_ignore);
  }
}

TEST(HashList, BucketCountIsTheFirstPrimeAboveTheAnnouncedEntries) {
  const std::pair<int32_t, int32_t> cases[] = {
      {-7, 61}, {0, 61}, {50, 61}, {51, 61}, {100, 127}, {255, 307}, {1000, 1201}, {100000, 120011}};
  for (auto [capacity, buckets] : cases) {
    EXPECT_EQ(THashList(capacity).Capacity(), buckets) << capacity;
  }
  THashList list(0);
  list.SetCapacity(5000);
  EXPECT_EQ(list.Capacity(), 6007);
  EXPECT_THROW(list.SetCapacity(2000000000), EOutOfMemory);
  EXPECT_EQ(list.Capacity(), 6007);
}

// ---------------------------------------------------------------------------
// Items, release and ownership

using testing::Counted;

// Records what the list hands to its release listener.
struct ReleaseLog {
  std::vector<void*> items;
  THashList::ReleaseEvent Listener() {
    return [this](THashList&, void* item) { items.push_back(item); };
  }
};

// Keys "k0", "k1", ... that fall into `bucket` of `list`.
std::vector<std::string> KeysInBucket(const THashList& list, size_t bucket, size_t count) {
  std::vector<std::string> keys;
  for (int i = 0; keys.size() < count; ++i) {
    std::string key = "k" + std::to_string(i);
    if (list.BucketOf(key) == bucket) keys.push_back(key);
  }
  return keys;
}

TEST(HashList, ReleasesBucketsInOrderOfFirstUseThenTheirFurtherEntries) {
  ReleaseLog log;
  int items[6];
  {
    THashList list(0);
    list.SetOnRelease(log.Listener());
    std::vector<std::string> a = KeysInBucket(list, 40, 3);
    std::vector<std::string> b = KeysInBucket(list, 3, 1);
    std::vector<std::string> c = KeysInBucket(list, 17, 2);
    const std::string keys[] = {a[0], b[0], a[1], c[0], a[2], c[1]};
    for (int i = 0; i < 6; ++i) list.Add(keys[i], &items[i]);
    EXPECT_EQ(list.Count(), 6);
    EXPECT_EQ(list.Collisions(), 3);
  }
  EXPECT_EQ(log.items, (std::vector<void*>{&items[0], &items[2], &items[4], &items[1], &items[3], &items[5]}));
}

TEST(HashList, ANullFirstItemIsReportedOnlyWhenItsBucketHasFurtherEntries) {
  ReleaseLog log;
  int item = 0;
  {
    THashList list(0);
    list.SetOnRelease(log.Listener());
    std::vector<std::string> alone = KeysInBucket(list, 5, 1);
    std::vector<std::string> shared = KeysInBucket(list, 9, 2);
    list.Add(alone[0], nullptr);
    list.Add(shared[0], nullptr);
    list.Add(shared[1], &item);
  }
  EXPECT_EQ(log.items, (std::vector<void*>{nullptr, &item}));
}

TEST(HashList, DestructionDestroysOwnedObjectsOnce) {
  int destroyed = 0;
  {
    THashList list(0);
    list.SetOwnership(THashOwnership::Objects);
    for (int i = 0; i < 200; ++i) list.Add("object" + std::to_string(i), new Counted(destroyed));
    list.Add("none", nullptr);
    EXPECT_EQ(list.Count(), 201);
  }
  EXPECT_EQ(destroyed, 200);
}

TEST(HashList, DestructionFreesOwnedMemoryBlocks) {
  ReleaseLog log;
  {
    THashList list(0);
    list.SetOwnership(THashOwnership::MemoryBlocks);
    list.SetOnRelease(log.Listener());
    for (int i = 0; i < 100; ++i) list.Add("block" + std::to_string(i), std::malloc(32));
  }
  // The sanitizer build reports a block that was not freed, or freed twice.
  EXPECT_EQ(log.items.size(), 100u);
}

TEST(HashList, SetCapacityAboveTheTableEmptiesTheList) {
  int destroyed = 0;
  ReleaseLog log;
  THashList list(0);
  list.SetOwnership(THashOwnership::Objects);
  list.SetOnRelease(log.Listener());
  for (int i = 0; i < 80; ++i) list.Add("object" + std::to_string(i), new Counted(destroyed));
  ASSERT_GT(list.Collisions(), 0);

  list.SetCapacity(61);
  EXPECT_EQ(list.Capacity(), 61);
  EXPECT_EQ(list.Count(), 80);
  EXPECT_EQ(destroyed, 0);
  EXPECT_TRUE(log.items.empty());

  list.SetCapacity(100);
  EXPECT_EQ(list.Capacity(), 127);
  EXPECT_EQ(list.Count(), 0);
  EXPECT_EQ(list.Collisions(), 0);
  EXPECT_EQ(destroyed, 80);
  EXPECT_EQ(log.items.size(), 80u);
  EXPECT_FALSE(list.Find("object1").has_value());

  list.Add("object1", nullptr);
  EXPECT_EQ(list.Count(), 1);
}

// ---------------------------------------------------------------------------
// Duplicate keys

// The class and message of what adding `key` raises, or "" when it succeeds.
std::string AddError(THashList& list, const std::string& key, void* item) {
  try {
    list.Add(key, item);
  } catch (const Exception& e) {
    return std::string(e.ClassName()) + ": " + e.Message();
  }
  return "";
}

TEST(HashList, DuplicateKeyIsAnErrorByDefault) {
  int first = 1;
  int second = 2;
  THashList list(0);
  list.Add("abc", &first);
  EXPECT_EQ(AddError(list, "abc", &second), "Exception: Duplicated item: abc");
  EXPECT_EQ(list.Count(), 1);
  EXPECT_EQ(list.Collisions(), 1);
  EXPECT_EQ(list.Find("abc"), &first);
}

TEST(HashList, LetterCaseMattersOnlyWithoutIgnoreCase) {
  THashList exact(0);
  exact.Add("Abc", nullptr);
  exact.Add("abc", nullptr);
  EXPECT_EQ(exact.Count(), 2);
  EXPECT_FALSE(exact.Find("ABC").has_value());

  THashList folded(0);
  folded.SetIgnoreCase(true);
  folded.Add("Abc", nullptr);
  EXPECT_EQ(AddError(folded, "abc", nullptr), "Exception: Duplicated item: abc");
  EXPECT_EQ(folded.Count(), 1);
  EXPECT_TRUE(folded.Find("ABC").has_value());
  // Only a to z fold: é (0xE9) and É (0xC9) stay different keys.
  folded.Add("\xe9", nullptr);
  folded.Add("\xc9", nullptr);
  EXPECT_EQ(folded.Count(), 3);
}

TEST(HashList, IgnoredOrReplacedDuplicateKeepsTheCount) {
  // Every mode above 1 replaces.
  for (TDuplicateMode mode : {TDuplicateMode::Ignore, TDuplicateMode::Replace, TDuplicateMode{3}, TDuplicateMode{255}}) {
    for (bool ignore_case : {false, true}) {
      SCOPED_TRACE(::testing::Message() << "mode " << static_cast<int>(mode) << " ignore case " << ignore_case);
      int old_item = 1;
      int new_item = 2;
      THashList list(0);
      list.SetIgnoreCase(ignore_case);
      list.SetDuplicateMode(mode);
      std::vector<std::string> keys = KeysInBucket(list, 30, 3);
      for (const std::string& key : keys) list.Add(key, &old_item);
      std::string again = keys[2];
      if (ignore_case) again[0] = 'K';
      list.Add(again, &new_item);
      EXPECT_EQ(list.Count(), 3);
      EXPECT_EQ(list.Find(keys[2]), mode == TDuplicateMode::Ignore ? &old_item : &new_item);
      EXPECT_EQ(list.Find(keys[0]), &old_item);
    }
  }
}

TEST(HashList, ReplacedOwnedObjectIsDestroyedOnce) {
  int destroyed = 0;
  ReleaseLog log;
  {
    THashList list(0);
    list.SetOwnership(THashOwnership::Objects);
    list.SetDuplicateMode(TDuplicateMode::Replace);
    list.SetOnRelease(log.Listener());
    auto* kept = new Counted(destroyed);
    list.Add("key", new Counted(destroyed));
    list.Add("key", kept);
    EXPECT_EQ(destroyed, 1);
    list.Add("key", kept);  // the object already stored is not released
    EXPECT_EQ(destroyed, 1);
    EXPECT_EQ(list.Count(), 1);
  }
  EXPECT_EQ(destroyed, 2);
  EXPECT_EQ(log.items.size(), 2u);
}

// ---------------------------------------------------------------------------
// Comma text

TEST(CommaText, Splits) {
  using Items = std::vector<std::string>;
  const std::pair<std::string, Items> cases[] = {
      {"", {}},
      {" \t ", {}},
      {"a,b,c", {"a", "b", "c"}},
      {"a,,b", {"a", "", "b"}},
      {",a", {"", "a"}},
      {"a,", {"a", ""}},
      {"a, \t", {"a", ""}},
      {"a, b", {"a", "b"}},
      {"  a , b  ", {"a", "b"}},
      {"a, ,b", {"a", "", "b"}},
      {"a b\tc\x01" "d", {"a", "b", "c", "d"}},
      {"x,\"y,z\",w", {"x", "y,z", "w"}},
      {"\"say \"\"hi\"\"\"", {"say \"hi\""}},
      {"\"\",\" a \"", {"", " a "}},
      {"\"ab\"cd", {"ab", "cd"}},
      {"\"open, end", {"open, end"}},
      {"caf\xe9,\xff", {"caf\xe9", "\xff"}},
  };
  for (const auto& [text, items] : cases) {
    EXPECT_EQ(SplitCommaText(text), items) << text;
  }
}

TEST(HashList, AddCommaTextAddsNullItems) {
  ReleaseLog log;
  int kept = 0;
  {
    THashList list(0);
    list.SetOnRelease(log.Listener());
    list.Add("kept", &kept);
    list.AddCommaText("alpha, \"beta, gamma\",,delta");
    EXPECT_EQ(list.Capacity(), 61);
    EXPECT_EQ(list.Count(), 5);
    EXPECT_EQ(list.Find("kept"), &kept);
    EXPECT_EQ(list.Find("beta, gamma"), nullptr);
    EXPECT_EQ(list.Find(""), nullptr);
    EXPECT_FALSE(list.Find("beta").has_value());
    EXPECT_THROW(list.AddCommaText("delta"), Exception);
  }
  ASSERT_FALSE(log.items.empty());
  EXPECT_EQ(log.items.front(), &kept);
}

TEST(HashList, AddCommaTextBeyondCapacityEmptiesTheListFirst) {
  int destroyed = 0;
  THashList list(0);
  list.SetOwnership(THashOwnership::Objects);
  list.Add("old", new Counted(destroyed));
  std::string text;
  for (int i = 0; i < 60; ++i) text += "item" + std::to_string(i) + ",";
  list.AddCommaText(text);  // 61 items with the final empty one
  EXPECT_EQ(list.Capacity(), 61);
  EXPECT_EQ(list.Count(), 62);
  EXPECT_EQ(destroyed, 0);

  list.AddCommaText(text + "one,more");  // 62 items
  EXPECT_EQ(destroyed, 1);
  EXPECT_EQ(list.Capacity(), 79);
  EXPECT_EQ(list.Count(), 62);
  EXPECT_FALSE(list.Find("old").has_value());
}

}  // namespace
}  // namespace tarn
