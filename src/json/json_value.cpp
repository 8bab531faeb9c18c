#include "json/json_value.h"

#include <string>
#include <utility>

#include "platform/code_page.h"
#include "runtime/integer_hash.h"

namespace tarn {

namespace {

const char kContainerHasNoValue[] = "TJSONlist does not have a value by itself - it is an indexed array";
const char kScalarHasNoIndex[] = "TJSONbase is not an array and does not support indexes";
const char kScalarHasNoCount[] = "TJSONbase is not an array and does not have Count property";
const char kListHasNoNames[] = "TJSONlist use only Integer indexes - not String";
const char kEmptyName[] = "Associative arrays do not support empty index";

[[noreturn]] void RaiseOutside(int32_t position, size_t count) {
  throw TJSONError("Index (" + std::to_string(position) + ") is outside the array (" + std::to_string(count) +
                   ")");
}

}  // namespace

// ---------------------------------------------------------------------------
// TJSONbase

TJSONbase::~TJSONbase() { value_.FreeOwnedText(); }

TJSONarray* TJSONbase::Parent() const noexcept { return parent_; }

uint8_t TJSONbase::KindOf(JSONCell value) noexcept {
  if (value.IsDouble()) return jkFloat;
  switch (value.BoxTag()) {
    case JSONCell::kLiteral: return value.IsNull() ? jkNull : jkBoolean;
    case JSONCell::kInteger: return jkInteger;
    case JSONCell::kBorrowedText:
    case JSONCell::kOwnedText: return jkString;
    case JSONCell::kListHolder: return jkList;
    case JSONCell::kObjectHolder: return jkObject;
    default: return jkNull;
  }
}

uint8_t TJSONbase::Kind() const noexcept { return KindOf(value_); }

Variant TJSONbase::GetValue() const {
  if (value_.IsDouble()) return Variant::Double(value_.AsDouble());
  switch (value_.BoxTag()) {
    case JSONCell::kLiteral: return value_.IsNull() ? Variant::Null() : Variant::Boolean(value_.AsBoolean());
    case JSONCell::kInteger: return Variant::Integer(value_.AsInteger());
    case JSONCell::kBorrowedText:
    case JSONCell::kOwnedText: return Variant::OleStr(value_.AsText());
    case JSONCell::kListHolder:
    case JSONCell::kObjectHolder: return Variant::ByRef(static_cast<TObject*>(value_.AsPointer()));
    default: return Variant::Null();
  }
}

namespace {

// The cell that stores a normalised copy of the value.
JSONCell CellOf(const Variant& value) {
  switch (value.Type()) {
    case varEmpty:
    case varNull:
      return JSONCell::Null();
    case varSmallint:
    case varInteger:
    case varByte:
      return JSONCell::Integer(static_cast<int32_t>(value.AsInt64()));
    case varSingle:
      return JSONCell::Double(value.AsSingle());
    case varDouble:
      return JSONCell::Double(value.AsDouble());
    case varCurrency:
      return JSONCell::Double(static_cast<double>(value.AsInt64()) / 10000.0);
    case varOleStr:
    case varStrArg:
      return JSONCell::OwnedText(value.AsWide());
    case varString:
      return JSONCell::OwnedText(AnsiToWide(value.AsNarrow()));
    case varBoolean:
      return JSONCell::Boolean(value.AsBoolean());
    case varByRef: {
      TObject* object = value.AsObject();
      if (dynamic_cast<TJSONlist*>(object) != nullptr) return JSONCell::Pointer(JSONCell::kListHolder, object);
      if (dynamic_cast<TJSONobject*>(object) != nullptr) return JSONCell::Pointer(JSONCell::kObjectHolder, object);
      throw TJSONError("Only TJSONlist or TJSONobject object can be assigned to TJSONbase");
    }
    default:
      throw TJSONError("Invalid data type assigned to TJSONbase");
  }
}

}  // namespace

void TJSONbase::SetValue(const Variant& value) {
  JSONCell cell = CellOf(value);
  value_.FreeOwnedText();
  value_ = cell;
}

TJSONbase* TJSONbase::GetItem(int32_t) const { throw TJSONError(kScalarHasNoIndex); }

void TJSONbase::SetItem(int32_t, std::unique_ptr<TJSONbase>) { throw TJSONError(kScalarHasNoIndex); }

TJSONbase* TJSONbase::GetNamedItem(std::u16string_view) const { throw TJSONError(kScalarHasNoIndex); }

void TJSONbase::SetNamedItem(std::u16string_view, std::unique_ptr<TJSONbase>) {
  throw TJSONError(kScalarHasNoIndex);
}

std::u16string TJSONbase::GetName(int32_t) const { throw TJSONError(kScalarHasNoIndex); }

int32_t TJSONbase::Count() const { throw TJSONError(kScalarHasNoCount); }

// ---------------------------------------------------------------------------
// TJSONarray

// The children go first; the cell is then a null, which the base leaves alone.
TJSONarray::~TJSONarray() {
  DestroyChildren();
  FreeRoom();
  value_ = JSONCell::Null();
}

TJSONarray::Child* TJSONarray::NewRoom(size_t count) {
  if (count > kMaxChildren) throw std::bad_alloc();
  return std::allocator<Child>().allocate(count);
}

void TJSONarray::ReserveChildren(size_t count, std::pmr::memory_resource& memory) {
  if (count <= room_.capacity) return;
  if (count > kMaxChildren) throw std::bad_alloc();
  MoveChildren(static_cast<Child*>(memory.allocate(count * sizeof(Child), alignof(Child))), count, true);
}

void TJSONarray::MoveChildren(Child* room, size_t count, bool borrowed) noexcept {
  Child* old = Children();
  for (uint32_t i = 0; i < room_.size; ++i) {
    std::construct_at(room + i, std::move(old[i]));
    std::destroy_at(old + i);
  }
  FreeRoom();
  heap_ = room;
  room_.capacity = static_cast<uint32_t>(count);
  room_.borrowed = borrowed;
}

void TJSONarray::FreeRoom() noexcept {
  if (room_.capacity != kInlineChildren && !room_.borrowed) std::allocator<Child>().deallocate(heap_, room_.capacity);
}

namespace {

// Containers nested up to this deep are destroyed by plain recursion, each
// by its own destructor; deeper ones by the loop below, which needs no
// stack of the machine's.
constexpr int kRecursiveDestruction = 64;
thread_local int destruction_depth = 0;

}  // namespace

bool TJSONarray::HasGrandchildren(const TJSONbase* node) noexcept {
  const TJSONarray* array = node == nullptr ? nullptr : node->AsArray();
  return array != nullptr && array->ChildCount() > 0 && array->room_.needs_destruction;
}

void TJSONarray::DestroyChildren() noexcept {
  if (!room_.needs_destruction) {
    ClearChildren();
    return;
  }
  if (destruction_depth < kRecursiveDestruction) {
    ++destruction_depth;
    ClearChildren();
    --destruction_depth;
    return;
  }
  bool nested = false;
  for (size_t i = 0; i < ChildCount(); ++i) nested = nested || HasGrandchildren(Children()[i].Node());
  if (!nested) {
    ClearChildren();
    return;
  }
  // A container's children are emptied before the container itself is
  // destroyed, so no destructor below recurses.
  struct Level {
    TJSONarray* array;
    size_t next;
  };
  std::vector<Level> levels{{this, 0}};
  while (!levels.empty()) {
    TJSONarray* array = levels.back().array;
    size_t position = levels.back().next;
    if (position == array->ChildCount()) {
      array->ClearChildren();
      levels.pop_back();
      continue;
    }
    Child& child = array->Children()[position];
    if (HasGrandchildren(child.Node())) {
      levels.push_back({child.Node()->AsArray(), 0});
      continue;
    }
    child.Release();
    levels.back().next = position + 1;
  }
}

TJSONbase* TJSONarray::ChildObject(size_t position) const {
  Child& child = Children()[position];
  if (TJSONbase* node = child.Node()) return node;
  const_cast<TJSONarray*>(this)->MarkHeapHeld();
  auto node = std::make_unique<TJSONbase>(const_cast<TJSONarray*>(this));
  node->value_ = child.Take();
  TJSONbase* raw = node.get();
  child = Child(std::move(node));
  return raw;
}

Variant TJSONarray::GetValue() const { throw TJSONError(kContainerHasNoValue); }

void TJSONarray::SetValue(const Variant&) { throw TJSONError(kContainerHasNoValue); }

TJSONbase* TJSONarray::GetItem(int32_t position) const {
  if (position < 0 || static_cast<size_t>(position) >= ChildCount()) return nullptr;
  return ChildObject(static_cast<size_t>(position));
}

void TJSONarray::SetItem(int32_t position, std::unique_ptr<TJSONbase> value) {
  if (position < 0 || static_cast<size_t>(position) >= ChildCount()) RaiseOutside(position, ChildCount());
  if (!value) value = std::make_unique<TJSONbase>(this);
  MarkHeapHeld();
  Children()[static_cast<size_t>(position)] = Child(std::move(value));
}

int32_t TJSONarray::Count() const { return static_cast<int32_t>(ChildCount()); }

void TJSONarray::ClearChildren() noexcept {
  if (!room_.needs_destruction) {
    room_.size = 0;
    return;
  }
  Child* children = Children();
  for (uint32_t i = 0; i < room_.size; ++i) std::destroy_at(children + i);
  room_.size = 0;
}

template <typename Visit>
void TJSONarray::Walk(const Visit& visit, void* user_data) {
  bool stop = false;
  for (int32_t position = 0; position < Count() && !stop; ++position) {
    visit(VisitName(position), ChildObject(static_cast<size_t>(position)), user_data, stop);
  }
}

void TJSONarray::ForEach(TJSONVisitProc visitor, void* user_data) { Walk(visitor, user_data); }

void TJSONarray::ForEachBound(const TJSONVisitMethod& visitor, void* user_data) { Walk(visitor, user_data); }

// ---------------------------------------------------------------------------
// TJSONlist

uint8_t TJSONlist::Kind() const noexcept { return jkList; }

void TJSONlist::Add(std::unique_ptr<TJSONbase> value) {
  MarkHeapHeld();
  ReserveOneMore();
  if (!value) value = std::make_unique<TJSONbase>(this);
  PutChild(Child(std::move(value)));
}

TJSONbase* TJSONlist::GetNamedItem(std::u16string_view) const {
  if (ChildCount() == 0) return nullptr;
  throw TJSONError(kListHasNoNames);
}

void TJSONlist::SetNamedItem(std::u16string_view, std::unique_ptr<TJSONbase>) { throw TJSONError(kListHasNoNames); }

std::u16string TJSONlist::GetName(int32_t) const { throw TJSONError(kListHasNoNames); }

void TJSONlist::Clear() { DestroyChildren(); }

std::u16string TJSONlist::VisitName(int32_t position) const {
  std::string digits = std::to_string(position);
  return std::u16string(digits.begin(), digits.end());
}

// ---------------------------------------------------------------------------
// TJSONobject

uint8_t TJSONobject::Kind() const noexcept { return jkObject; }

// The name index and the names go first, then TJSONarray destroys the members.
TJSONobject::~TJSONobject() {
  if (NamesBorrowed()) {
    std::destroy_at(NameList());
  } else {
    delete NameList();
  }
}

void TJSONobject::Append(std::string_view narrow_name, Child value) {
  MarkHeapHeld();
  ReserveOneMore();
  if (names_ == 0) SetNames(new Names, false);
  Names& names = *NameList();
  names.list.Add(narrow_name);
  if (names.index) {
    try {
      names.index->Add(narrow_name, static_cast<int32_t>(ChildCount()));
    } catch (...) {
      names.list.RemoveLast();
      throw;
    }
  }
  PutChild(std::move(value));
}

int32_t TJSONobject::IndexOf(std::string_view narrow_name) const {
  if (names_ == 0) return -1;
  const TJSONnames& names = NameList()->list;
  std::unique_ptr<TIntegerHash>& index = NameList()->index;
  if (!index && names.Size() > kUnindexedMembers) {
    const_cast<TJSONobject*>(this)->MarkHeapHeld();
    auto made = std::make_unique<TIntegerHash>();
    for (size_t i = 0; i < names.Size(); ++i) made->Add(names[i], static_cast<int32_t>(i));
    index = std::move(made);
  }
  if (index) return index->Lookup(narrow_name);
  // The member added last under a name is the one found.
  for (size_t i = names.Size(); i-- > 0;) {
    if (names[i] == narrow_name) return static_cast<int32_t>(i);
  }
  return -1;
}

void TJSONobject::Add(std::u16string_view name, std::unique_ptr<TJSONbase> value) {
  if (name.empty()) throw TJSONError(kEmptyName);
  if (!value) value = std::make_unique<TJSONbase>(this);
  Append(WideToAnsi(name), Child(std::move(value)));
}

TJSONbase* TJSONobject::GetNamedItem(std::u16string_view name) const {
  if (name.empty()) throw TJSONError(kEmptyName);
  int32_t position = IndexOf(WideToAnsi(name));
  return position < 0 ? nullptr : ChildObject(static_cast<size_t>(position));
}

void TJSONobject::SetNamedItem(std::u16string_view name, std::unique_ptr<TJSONbase> value) {
  if (name.empty()) throw TJSONError(kEmptyName);
  std::string narrow_name = WideToAnsi(name);
  int32_t position = IndexOf(narrow_name);
  if (position < 0) {
    if (!value) value = std::make_unique<TJSONbase>(this);
    Append(narrow_name, Child(std::move(value)));
  } else {
    SetItem(position, std::move(value));
  }
}

std::u16string TJSONobject::GetName(int32_t position) const {
  if (position < 0 || static_cast<size_t>(position) >= NameCount()) RaiseOutside(position, NameCount());
  return AnsiToWide(NameList()->list[static_cast<size_t>(position)]);
}

void TJSONobject::Clear() {
  DestroyChildren();
  if (names_ == 0) return;
  if (NameList()->index) NameList()->index->RemoveAll();
  NameList()->list.Clear();
}

std::u16string TJSONobject::VisitName(int32_t position) const { return GetName(position); }

}  // namespace tarn
