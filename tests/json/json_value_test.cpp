#include "json/json_value.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <iterator>
#include <utility>
#include <vector>

#include "expect_error.h"

namespace tarn {
namespace {

// A scalar that counts its destructions and adds its tag to an order, to check who destroys what.
class Counted : public TJSONbase {
 public:
  explicit Counted(int* destroyed, int tag = 0, std::vector<int>* order = nullptr)
      : destroyed_(destroyed), tag_(tag), order_(order) {}
  ~Counted() override {
    ++*destroyed_;
    if (order_ != nullptr) order_->push_back(tag_);
  }

 private:
  int* destroyed_;
  int tag_;
  std::vector<int>* order_;
};

std::unique_ptr<TJSONbase> Int(int32_t value) {
  auto v = std::make_unique<TJSONbase>();
  v->SetValue(Variant::Integer(value));
  return v;
}

TEST(JSONbase, StartsAsNull) {
  TJSONbase value;
  EXPECT_EQ(value.Kind(), jkNull);
  EXPECT_EQ(value.GetValue().Type(), varNull);
  EXPECT_EQ(value.Parent(), nullptr);
}

TEST(JSONbase, SetValueNormalises) {
  TJSONbase v;
  v.SetValue(Variant::Smallint(-7));
  EXPECT_EQ(v.Kind(), jkInteger);
  EXPECT_EQ(v.GetValue().Type(), varInteger);
  EXPECT_EQ(v.GetValue().AsInt64(), -7);
  v.SetValue(Variant::Byte(200));
  EXPECT_EQ(v.GetValue().AsInt64(), 200);
  v.SetValue(Variant::Currency(12345));  // 1.2345
  EXPECT_EQ(v.Kind(), jkFloat);
  EXPECT_EQ(v.GetValue().Type(), varDouble);
  EXPECT_DOUBLE_EQ(v.GetValue().AsDouble(), 1.2345);
  v.SetValue(Variant::Single(0.5f));
  EXPECT_EQ(v.GetValue().AsDouble(), 0.5);
  v.SetValue(Variant::String("caf\xE9"));
  EXPECT_EQ(v.Kind(), jkString);
  EXPECT_EQ(v.GetValue().Type(), varOleStr);
  EXPECT_EQ(v.GetValue().AsWide(), u"caf\u00E9");
  v.SetValue(Variant::StrArg(u"x"));
  EXPECT_EQ(v.GetValue().Type(), varOleStr);
  v.SetValue(Variant::Boolean(true));
  EXPECT_EQ(v.Kind(), jkBoolean);
  EXPECT_TRUE(v.GetValue().AsBoolean());
  v.SetValue(Variant());
  EXPECT_EQ(v.Kind(), jkNull);
  EXPECT_EQ(v.GetValue().Type(), varNull);
}

// Every double is a double again, NaNs of any payload and sign included.
TEST(JSONbase, AnyDoubleStaysADouble) {
  for (uint64_t bits : std::initializer_list<uint64_t>{0xFFF8000000000000, 0xFFF9000000000001, 0xFFFF000012345678,
                                                       0x7FFF000000000001, 0xFFF0000000000000, 0x8000000000000000}) {
    TJSONbase v;
    double value = std::bit_cast<double>(bits);
    v.SetValue(Variant::Double(value));
    EXPECT_EQ(v.Kind(), jkFloat) << std::hex << bits;
    double stored = v.GetValue().AsDouble();
    EXPECT_EQ(std::signbit(stored), std::signbit(value)) << std::hex << bits;
    EXPECT_TRUE(stored == value || (std::isnan(stored) && std::isnan(value))) << std::hex << bits;
  }
}

TEST(JSONbase, RefusedTypesLeaveTheValue) {
  const char* invalid = "Invalid data type assigned to TJSONbase";
  const char* not_container = "Only TJSONlist or TJSONobject object can be assigned to TJSONbase";
  TJSONbase other;
  const std::pair<Variant, const char*> cases[] = {
      {Variant::Int64(1), invalid},          {Variant::Date(1.0), invalid},
      {Variant::ShortInt(1), invalid},       {Variant::Word(1), invalid},
      {Variant::LongWord(1), invalid},       {Variant::Error(1), invalid},
      {Variant::Interface(varUnknown, nullptr), invalid}, {Variant::Array(varInteger, {}), invalid},
      {Variant::ByRef(&other), not_container}, {Variant::ByRef(nullptr), not_container}};
  TJSONbase v;
  v.SetValue(Variant::Integer(5));
  for (size_t i = 0; i < std::size(cases); ++i) {
    SCOPED_TRACE(::testing::Message() << "case " << i << ", type " << cases[i].first.Type());
    EXPECT_THROW_MSG(v.SetValue(cases[i].first), TJSONError, cases[i].second);
    EXPECT_EQ(v.Kind(), jkInteger);
    EXPECT_EQ(v.GetValue().AsInt64(), 5);
  }
}

TEST(JSONbase, HolderRefersToContainerWithoutOwningIt) {
  TJSONlist list;
  TJSONobject object;
  {
    TJSONbase holder;
    holder.SetValue(Variant::ByRef(&list));
    EXPECT_EQ(holder.Kind(), jkList);
    EXPECT_EQ(holder.GetValue().AsObject(), &list);
    holder.SetValue(Variant::ByRef(&object));
    EXPECT_EQ(holder.Kind(), jkObject);
    holder.SetValue(Variant::Integer(1));
  }
  // Both containers are still whole (ASan would report a double free).
  list.Add(nullptr);
  EXPECT_EQ(list.Count(), 1);
  EXPECT_EQ(object.Count(), 0);
}

TEST(JSONbase, HolderKeepsItsKindWhenTheContainerIsGone) {
  for (uint8_t kind : {jkList, jkObject}) {
    std::unique_ptr<TJSONarray> container;
    if (kind == jkList) container = std::make_unique<TJSONlist>();
    else container = std::make_unique<TJSONobject>();
    TJSONbase holder;
    holder.SetValue(Variant::ByRef(container.get()));
    const TObject* address = container.get();
    container.reset();
    EXPECT_EQ(holder.Kind(), kind);
    EXPECT_EQ(holder.GetValue().Type(), varByRef);
    EXPECT_EQ(holder.GetValue().AsObject(), address);
  }
}

TEST(JSONbase, ScalarRefusesContainerOperations) {
  TJSONbase v;
  const char* no_index = "TJSONbase is not an array and does not support indexes";
  EXPECT_THROW_MSG(v.GetItem(0), TJSONError, no_index);
  EXPECT_THROW_MSG(v.SetItem(0, nullptr), TJSONError, no_index);
  EXPECT_THROW_MSG(v.GetNamedItem(u"a"), TJSONError, no_index);
  EXPECT_THROW_MSG(v.SetNamedItem(u"a", nullptr), TJSONError, no_index);
  EXPECT_THROW_MSG(v.GetName(0), TJSONError, no_index);
  EXPECT_THROW_MSG(v.Count(), TJSONError, "TJSONbase is not an array and does not have Count property");
}

TEST(JSONarray, ContainersHaveNoValue) {
  const char* message = "TJSONlist does not have a value by itself - it is an indexed array";
  TJSONlist list;
  TJSONobject object;
  EXPECT_EQ(list.Kind(), jkList);
  EXPECT_EQ(object.Kind(), jkObject);
  EXPECT_THROW_MSG(object.GetValue(), TJSONError, message);
  EXPECT_THROW_MSG(list.SetValue(Variant::Integer(1)), TJSONError, message);
}

TEST(JSONlist, PositionsAndNames) {
  TJSONlist list;
  EXPECT_EQ(list.GetNamedItem(u"a"), nullptr);
  list.Add(Int(1));
  list.Add(nullptr);
  list.Add(Int(3));
  EXPECT_EQ(list.Count(), 3);
  EXPECT_EQ(list.GetItem(-1), nullptr);
  EXPECT_EQ(list.GetItem(3), nullptr);
  EXPECT_EQ(list.GetItem(1)->Kind(), jkNull);
  EXPECT_EQ(list.GetItem(1)->Parent(), &list);
  EXPECT_THROW_MSG(list.SetItem(3, Int(0)), TJSONError, "Index (3) is outside the array (3)");
  EXPECT_THROW_MSG(list.SetItem(-1, Int(0)), TJSONError, "Index (-1) is outside the array (3)");
  const char* only_integers = "TJSONlist use only Integer indexes - not String";
  EXPECT_THROW_MSG(list.GetNamedItem(u"a"), TJSONError, only_integers);
  EXPECT_THROW_MSG(list.SetNamedItem(u"a", nullptr), TJSONError, only_integers);
  EXPECT_THROW_MSG(list.GetName(0), TJSONError, only_integers);
}

TEST(JSONlist, OwnershipAndReplacement) {
  int destroyed = 0;
  std::vector<int> order;
  {
    TJSONlist outer;
    auto inner = std::make_unique<TJSONlist>(&outer);
    for (int tag = 1; tag <= 3; ++tag) inner->Add(std::make_unique<Counted>(&destroyed, tag, &order));
    outer.Add(std::move(inner));
    outer.Add(std::make_unique<Counted>(&destroyed, 4, &order));
    // A value keeps the parent it was created with.
    auto foreign = std::make_unique<TJSONbase>(nullptr);
    TJSONbase* foreign_raw = foreign.get();
    outer.SetItem(1, std::move(foreign));
    EXPECT_EQ(destroyed, 1);  // the replaced value
    EXPECT_EQ(outer.GetItem(1), foreign_raw);
    EXPECT_EQ(foreign_raw->Parent(), nullptr);
    outer.SetItem(1, nullptr);  // no value stores a null
    EXPECT_EQ(outer.GetItem(1)->Kind(), jkNull);
    EXPECT_EQ(outer.GetItem(1)->Parent(), &outer);
  }
  EXPECT_EQ(destroyed, 4);
  EXPECT_EQ(order, (std::vector<int>{4, 1, 2, 3}));
}

TEST(JSONlist, ClearDestroysChildren) {
  int destroyed = 0;
  TJSONlist list;
  for (int i = 0; i < 3; ++i) list.Add(std::make_unique<Counted>(&destroyed));
  list.Clear();
  EXPECT_EQ(destroyed, 3);
  EXPECT_EQ(list.Count(), 0);
  list.Add(nullptr);
  EXPECT_EQ(list.Count(), 1);
}

// The first two children live inside the list; growing beyond them and
// beyond each later room moves the children but not the values.
TEST(JSONlist, ChildrenKeepOrderAndIdentityWhileGrowing) {
  int destroyed = 0;
  {
    TJSONlist list;
    std::vector<TJSONbase*> added;
    for (int i = 0; i < 40; ++i) {
      if (i % 3 == 0) {
        list.Add(std::make_unique<Counted>(&destroyed));
      } else {
        list.Add(Int(i));
      }
      added.push_back(list.GetItem(i));
      for (int k = 0; k <= i; ++k) ASSERT_EQ(list.GetItem(k), added[static_cast<size_t>(k)]) << i;
    }
    EXPECT_EQ(list.GetItem(38)->GetValue().AsInt64(), 38);
    list.Clear();
    EXPECT_EQ(destroyed, 14);
    list.Add(Int(7));
    EXPECT_EQ(list.Text(), "[7]");
  }
  EXPECT_EQ(destroyed, 14);
}

TEST(JSONobject, DuplicateNamesAndReplacement) {
  int destroyed = 0;
  TJSONobject object;
  auto x = std::make_unique<Counted>(&destroyed);
  TJSONbase* x_raw = x.get();
  auto y = std::make_unique<Counted>(&destroyed);
  TJSONbase* y_raw = y.get();
  object.Add(u"a", std::move(x));
  object.Add(u"a", std::move(y));
  EXPECT_EQ(object.Count(), 2);
  EXPECT_EQ(object.GetName(0), u"a");
  EXPECT_EQ(object.GetName(1), u"a");
  EXPECT_EQ(object.GetNamedItem(u"a"), y_raw);
  EXPECT_EQ(object.GetItem(0), x_raw);
  auto z = Int(9);
  TJSONbase* z_raw = z.get();
  object.SetNamedItem(u"a", std::move(z));
  EXPECT_EQ(destroyed, 1);
  EXPECT_EQ(object.GetItem(1), z_raw);
  EXPECT_EQ(object.Count(), 2);
  object.SetNamedItem(u"b", nullptr);
  EXPECT_EQ(object.Count(), 3);
  EXPECT_EQ(object.GetNamedItem(u"b")->Kind(), jkNull);
  EXPECT_THROW_MSG(object.GetName(3), TJSONError, "Index (3) is outside the array (3)");
  EXPECT_THROW_MSG(object.GetName(-1), TJSONError, "Index (-1) is outside the array (3)");
  const char* empty = "Associative arrays do not support empty index";
  EXPECT_THROW_MSG(object.Add(u"", nullptr), TJSONError, empty);
  EXPECT_THROW_MSG(object.GetNamedItem(u""), TJSONError, empty);
  EXPECT_THROW_MSG(object.SetNamedItem(u"", nullptr), TJSONError, empty);
  EXPECT_EQ(object.Count(), 3);
}

TEST(JSONobject, NamesAreNarrowAndCaseSensitive) {
  TJSONobject object;
  object.Add(u"Name", Int(1));
  object.Add(u"name", Int(2));
  object.Add(u"caf\u00E9", Int(3));
  object.Add(u"\u4E2D", Int(4));  // not in the code page: narrows to "?"
  EXPECT_EQ(object.GetNamedItem(u"Name")->GetValue().AsInt64(), 1);
  EXPECT_EQ(object.GetNamedItem(u"name")->GetValue().AsInt64(), 2);
  EXPECT_EQ(object.GetNamedItem(u"NAME"), nullptr);
  EXPECT_EQ(object.GetNamedItem(u"caf\u00E9")->GetValue().AsInt64(), 3);
  EXPECT_EQ(object.GetNamedItem(u"?")->GetValue().AsInt64(), 4);
  EXPECT_EQ(object.GetNamedItem(u"\u4E8C")->GetValue().AsInt64(), 4);
  EXPECT_EQ(object.GetName(3), u"?");
  // A character with a best fit narrows to it: these names are one member.
  object.SetNamedItem(u"\u0100b", Int(5));
  object.SetNamedItem(u"Ab", Int(6));
  EXPECT_EQ(object.Count(), 5);
  EXPECT_EQ(object.GetNamedItem(u"\u0102b")->GetValue().AsInt64(), 6);
  EXPECT_EQ(object.GetName(4), u"Ab");
}

// Lookups agree before and after the object grows past the size at which
// it starts using its name index, duplicates included.
TEST(JSONobject, LargeObjectsLookUpByIndex) {
  TJSONobject object;
  for (int i = 0; i < 100; ++i) object.Add(u"k" + std::u16string(1, char16_t('0' + i % 50)), Int(i));
  for (int i = 0; i < 50; ++i) {
    ASSERT_EQ(object.GetNamedItem(u"k" + std::u16string(1, char16_t('0' + i)))->GetValue().AsInt64(), i + 50);
  }
  object.Add(u"k0", Int(-1));
  EXPECT_EQ(object.GetNamedItem(u"k0")->GetValue().AsInt64(), -1);
  object.SetNamedItem(u"new", Int(7));
  EXPECT_EQ(object.GetNamedItem(u"new")->GetValue().AsInt64(), 7);
  EXPECT_EQ(object.GetNamedItem(u"absent"), nullptr);
  object.Clear();
  EXPECT_EQ(object.Count(), 0);
  EXPECT_EQ(object.GetNamedItem(u"k0"), nullptr);
  object.Add(u"k0", Int(5));
  EXPECT_EQ(object.GetNamedItem(u"k0")->GetValue().AsInt64(), 5);
  EXPECT_EQ(object.GetName(0), u"k0");
}

TEST(JSONobject, ClearDestroysMembers) {
  int destroyed = 0;
  TJSONobject object;
  object.Add(u"a", std::make_unique<Counted>(&destroyed));
  object.Add(u"b", std::make_unique<Counted>(&destroyed));
  object.Clear();
  EXPECT_EQ(destroyed, 2);
  EXPECT_EQ(object.Count(), 0);
  EXPECT_EQ(object.GetNamedItem(u"a"), nullptr);
  EXPECT_THROW_MSG(object.GetName(0), TJSONError, "Index (0) is outside the array (0)");
  object.Add(u"b", Int(1));
  EXPECT_EQ(object.GetNamedItem(u"b")->GetValue().AsInt64(), 1);
}

struct Visits {
  std::vector<std::u16string> names;
  std::vector<TJSONbase*> children;
  int stop_after = -1;
};

void Record(const std::u16string& name, TJSONbase* child, void* user_data, bool& stop) {
  auto* visits = static_cast<Visits*>(user_data);
  EXPECT_FALSE(stop);
  visits->names.push_back(name);
  visits->children.push_back(child);
  if (static_cast<int>(visits->names.size()) == visits->stop_after) stop = true;
}

TEST(JSONarray, ForEachVisitsInOrderAndStops) {
  TJSONlist list;
  for (int i = 0; i < 3; ++i) list.Add(Int(i));
  Visits visits;
  list.ForEach(Record, &visits);
  EXPECT_EQ(visits.names, (std::vector<std::u16string>{u"0", u"1", u"2"}));
  EXPECT_EQ(visits.children[2], list.GetItem(2));
  Visits once;
  once.stop_after = 1;
  list.ForEach(Record, &once);
  EXPECT_EQ(once.names.size(), 1u);

  TJSONobject object;
  object.Add(u"x", Int(1));
  object.Add(u"caf\u00E9", Int(2));
  Visits members;
  object.ForEachBound([](const std::u16string& name, TJSONbase* child, void* user_data,
                         bool& stop) { Record(name, child, user_data, stop); },
                      &members);
  EXPECT_EQ(members.names, (std::vector<std::u16string>{u"x", u"caf\u00E9"}));
}

TEST(JSONarray, ForEachReadsCountAfresh) {
  TJSONlist list;
  list.Add(Int(0));
  int calls = 0;
  list.ForEachBound(
      [&](const std::u16string&, TJSONbase*, void*, bool&) {
        if (++calls < 3) list.Add(Int(calls));
      },
      nullptr);
  EXPECT_EQ(calls, 3);
}

TEST(JSONarray, DeepTreeIsDestroyedWithoutRecursion) {
  int destroyed = 0;
  {
    auto root = std::make_unique<TJSONlist>();
    TJSONlist* tail = root.get();
    for (int i = 0; i < 1000000; ++i) {
      auto next = std::make_unique<TJSONlist>(tail);
      TJSONlist* raw = next.get();
      tail->Add(std::move(next));
      tail = raw;
    }
    tail->Add(std::make_unique<Counted>(&destroyed));
    root->GetItem(0)->SetItem(0, nullptr);  // replacing a deep child is safe too
    EXPECT_EQ(destroyed, 1);
  }
  auto root = std::make_unique<TJSONobject>();
  TJSONarray* tail = root.get();
  for (int i = 0; i < 1000000; ++i) {
    auto next = std::make_unique<TJSONobject>(tail);
    TJSONarray* raw = next.get();
    static_cast<TJSONobject*>(tail)->Add(u"n", std::move(next));
    tail = raw;
  }
  root->Clear();
  EXPECT_EQ(root->Count(), 0);
}

}  // namespace
}  // namespace tarn
