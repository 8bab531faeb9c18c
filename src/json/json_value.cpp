#include "json/json_value.h"

#include <string>
#include <utility>
#include <vector>

#include "json/json_tree.h"
#include "platform/code_page.h"
#include "runtime/integer_hash.h"

namespace tarn {

using json_detail::Children;
using json_detail::ChildCount;
using json_detail::ClearChildren;
using json_detail::NeedsDestruction;
using json_detail::PutChild;
using json_detail::TreeAccess;

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

TJSONbase::~TJSONbase() { slot_.cell.FreeOwnedText(); }

TJSONarray* TJSONbase::Parent() const noexcept { return parent_; }

namespace {

// The kind of a stored scalar.
uint8_t KindOf(JSONCell value) noexcept {
  if (value.IsDouble()) return jkFloat;
  switch (value.BoxTag()) {
    case JSONCell::kLiteral: {
      static constexpr uint8_t kKinds[] = {jkBoolean, jkBoolean, jkNull, jkList, jkObject};
      return kKinds[value.LiteralCode()];
    }
    case JSONCell::kInteger: return jkInteger;
    case JSONCell::kBorrowedText:
    case JSONCell::kOwnedText: return jkString;
    case JSONCell::kListHolder: return jkList;
    case JSONCell::kObjectHolder: return jkObject;
    default: return jkNull;
  }
}

}  // namespace

uint8_t TJSONbase::Kind() const noexcept { return KindOf(slot_.cell); }

Variant TJSONbase::GetValue() const {
  JSONCell value = slot_.cell;
  if (value.IsDouble()) return Variant::Double(value.AsDouble());
  switch (value.BoxTag()) {
    case JSONCell::kLiteral: return value.IsNull() ? Variant::Null() : Variant::Boolean(value.AsBoolean());
    case JSONCell::kInteger: return Variant::Integer(value.AsInteger());
    case JSONCell::kBorrowedText:
    case JSONCell::kOwnedText: return Variant::OleStr(value.AsText());
    case JSONCell::kListHolder:
    case JSONCell::kObjectHolder: return Variant::ByRef(static_cast<TObject*>(value.AsPointer()));
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
  slot_.cell.FreeOwnedText();
  slot_.cell = cell;
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
// Children in place

void json_detail::Child::Free() noexcept {
  delete Node();
  cell_.FreeOwnedText();
}

namespace {

// The container is about to hold something from the heap: it and the
// containers above it are destroyed child by child from now on. A parsed
// container so marked has its parents marked too, which ends the walk.
void MarkHeapHeld(const TJSONarray& container) noexcept {
  for (auto* array = const_cast<TJSONarray*>(&container); array != nullptr && !NeedsDestruction(*array);
       array = TreeAccess::Parent(*array)) {
    TreeAccess::Counts(*array).owner_flag = 1;
  }
}

// Room for one more child, so that appending it cannot fail.
void ReserveOneMore(TJSONarray& array) { TreeAccess::Room(array).reserve_more(TreeAccess::Counts(array), 1); }

// Containers nested up to this deep are destroyed by plain recursion, each
// by its own destructor; deeper ones by the loop below, which needs no
// stack of the machine's.
constexpr int kRecursiveDestruction = 64;
thread_local int destruction_depth = 0;

// Whether the value is a container with children to destroy one by one.
bool HasGrandchildren(const TJSONbase* node) noexcept {
  const TJSONarray* array = node == nullptr ? nullptr : node->AsArray();
  return array != nullptr && ChildCount(*array) > 0 && NeedsDestruction(*array);
}

// Destroys every child in position order, nested containers' children
// before the container, without recursion.
void DestroyChildren(TJSONarray& root) noexcept {
  if (!NeedsDestruction(root)) {
    ClearChildren(root);
    return;
  }
  if (destruction_depth < kRecursiveDestruction) {
    ++destruction_depth;
    ClearChildren(root);
    --destruction_depth;
    return;
  }
  bool nested = false;
  for (size_t i = 0; i < ChildCount(root); ++i) nested = nested || HasGrandchildren(Children(root)[i].Node());
  if (!nested) {
    ClearChildren(root);
    return;
  }
  // A container's children are emptied before the container itself is
  // destroyed, so no destructor below recurses.
  struct Level {
    TJSONarray* array;
    size_t next;
  };
  std::vector<Level> levels{{&root, 0}};
  while (!levels.empty()) {
    TJSONarray* array = levels.back().array;
    size_t position = levels.back().next;
    if (position == ChildCount(*array)) {
      ClearChildren(*array);
      levels.pop_back();
      continue;
    }
    json_detail::Child& child = Children(*array)[position];
    if (HasGrandchildren(child.Node())) {
      levels.push_back({child.Node()->AsArray(), 0});
      continue;
    }
    child.Release();
    levels.back().next = position + 1;
  }
}

// The object of the child at the position, made now for a scalar or an
// empty container kept as a cell.
TJSONbase* ChildObject(const TJSONarray& container, size_t position) {
  json_detail::Child& child = Children(container)[position];
  if (TJSONbase* node = child.Node()) return node;
  MarkHeapHeld(container);
  auto* parent = const_cast<TJSONarray*>(&container);
  std::unique_ptr<TJSONbase> node;
  if (child.Scalar().IsEmptyList()) {
    node = std::make_unique<TJSONlist>(parent);
  } else if (child.Scalar().IsEmptyObject()) {
    node = std::make_unique<TJSONobject>(parent);
  } else {
    node = std::make_unique<TJSONbase>(parent);
    TreeAccess::Cell(*node) = child.Scalar();
  }
  child.Take();
  TJSONbase* raw = node.get();
  child = json_detail::Child(std::move(node));
  return raw;
}

// Visits the children in position order, reading Count afresh each time.
template <typename Visit, typename NameOf>
void Walk(TJSONarray& array, const Visit& visit, void* user_data, const NameOf& name_of) {
  bool stop = false;
  for (int32_t position = 0; position < array.Count() && !stop; ++position) {
    visit(name_of(position), ChildObject(array, static_cast<size_t>(position)), user_data, stop);
  }
}

}  // namespace

// ---------------------------------------------------------------------------
// TJSONarray

// The children go first; the cell is then a null, which the base leaves alone.
TJSONarray::~TJSONarray() {
  DestroyChildren(*this);
  children_.release(slot_.counts);
  slot_.cell = JSONCell::Null();
}

Variant TJSONarray::GetValue() const { throw TJSONError(kContainerHasNoValue); }

void TJSONarray::SetValue(const Variant&) { throw TJSONError(kContainerHasNoValue); }

TJSONbase* TJSONarray::GetItem(int32_t position) const {
  if (position < 0 || static_cast<size_t>(position) >= ChildCount(*this)) return nullptr;
  return ChildObject(*this, static_cast<size_t>(position));
}

void TJSONarray::SetItem(int32_t position, std::unique_ptr<TJSONbase> value) {
  if (position < 0 || static_cast<size_t>(position) >= ChildCount(*this)) RaiseOutside(position, ChildCount(*this));
  if (!value) value = std::make_unique<TJSONbase>(this);
  MarkHeapHeld(*this);
  Children(*this)[static_cast<size_t>(position)] = json_detail::Child(std::move(value));
}

int32_t TJSONarray::Count() const { return static_cast<int32_t>(ChildCount(*this)); }

void TJSONarray::ForEach(TJSONVisitProc visitor, void* user_data) {
  Walk(*this, visitor, user_data, [this](int32_t position) { return VisitName(position); });
}

void TJSONarray::ForEachBound(const TJSONVisitMethod& visitor, void* user_data) {
  Walk(*this, visitor, user_data, [this](int32_t position) { return VisitName(position); });
}

// ---------------------------------------------------------------------------
// TJSONlist

uint8_t TJSONlist::Kind() const noexcept { return jkList; }

void TJSONlist::Add(std::unique_ptr<TJSONbase> value) {
  MarkHeapHeld(*this);
  ReserveOneMore(*this);
  if (!value) value = std::make_unique<TJSONbase>(this);
  PutChild(*this, JSONCell::Pointer(JSONCell::kNode, value.release()));
}

TJSONbase* TJSONlist::GetNamedItem(std::u16string_view) const {
  if (ChildCount(*this) == 0) return nullptr;
  throw TJSONError(kListHasNoNames);
}

void TJSONlist::SetNamedItem(std::u16string_view, std::unique_ptr<TJSONbase>) { throw TJSONError(kListHasNoNames); }

std::u16string TJSONlist::GetName(int32_t) const { throw TJSONError(kListHasNoNames); }

void TJSONlist::Clear() { DestroyChildren(*this); }

std::u16string TJSONlist::VisitName(int32_t position) const {
  std::string digits = std::to_string(position);
  return std::u16string(digits.begin(), digits.end());
}

// ---------------------------------------------------------------------------
// TJSONobject

namespace {

// Objects this small are searched through their names; larger ones get the
// name index on their first lookup, and keep it up to date from then on.
constexpr size_t kUnindexedMembers = 8;

// The object's own names, made now when it has none, or when it shares them
// with other objects of a parse (which it then copies): they are about to
// change.
json_detail::Names& OwnNames(const TJSONobject& object) {
  json_detail::ObjectNames& names_of = TreeAccess::NamesOf(const_cast<TJSONobject&>(object));
  if (names_of.Get() != nullptr && !names_of.Borrowed()) return *names_of.Get();
  auto owned = std::make_unique<json_detail::Names>();
  if (const json_detail::Names* shared = names_of.Get()) {
    for (size_t i = 0; i < shared->list.Size(); ++i) owned->list.Add(shared->list[i]);
  }
  MarkHeapHeld(object);
  names_of.Set(owned.release(), false);
  return *names_of.Get();
}

// Appends the member; on failure the object is unchanged and the value
// stays the caller's.
void Append(TJSONobject& object, std::string_view narrow_name, std::unique_ptr<TJSONbase>& value) {
  MarkHeapHeld(object);
  ReserveOneMore(object);
  json_detail::Names& names = OwnNames(object);
  names.list.Add(narrow_name);
  if (names.index) {
    try {
      names.index->Add(narrow_name, static_cast<int32_t>(ChildCount(object)));
    } catch (...) {
      names.list.RemoveLast();
      throw;
    }
  }
  PutChild(object, JSONCell::Pointer(JSONCell::kNode, value.release()));
}

int32_t IndexOf(const TJSONobject& object, std::string_view narrow_name) {
  json_detail::Names* names = TreeAccess::NamesOf(object).Get();
  if (names == nullptr) return -1;
  if (!names->index && names->list.Size() > kUnindexedMembers) {
    names = &OwnNames(object);
    auto made = std::make_unique<TIntegerHash>();
    for (size_t i = 0; i < names->list.Size(); ++i) made->Add(names->list[i], static_cast<int32_t>(i));
    names->index = std::move(made);
  }
  const TJSONnames& list = names->list;
  if (names->index) return names->index->Lookup(narrow_name);
  // The member added last under a name is the one found.
  for (size_t i = list.Size(); i-- > 0;) {
    if (list[i] == narrow_name) return static_cast<int32_t>(i);
  }
  return -1;
}

}  // namespace

uint8_t TJSONobject::Kind() const noexcept { return jkObject; }

// The name index and the names go first, then TJSONarray destroys the members.
// Names a parse shares among objects live and go with the parse's memory.
TJSONobject::~TJSONobject() {
  if (!names_.Borrowed()) delete names_.Get();
}

void TJSONobject::Add(std::u16string_view name, std::unique_ptr<TJSONbase> value) {
  if (name.empty()) throw TJSONError(kEmptyName);
  if (!value) value = std::make_unique<TJSONbase>(this);
  Append(*this, WideToAnsi(name), value);
}

TJSONbase* TJSONobject::GetNamedItem(std::u16string_view name) const {
  if (name.empty()) throw TJSONError(kEmptyName);
  int32_t position = IndexOf(*this, WideToAnsi(name));
  return position < 0 ? nullptr : ChildObject(*this, static_cast<size_t>(position));
}

void TJSONobject::SetNamedItem(std::u16string_view name, std::unique_ptr<TJSONbase> value) {
  if (name.empty()) throw TJSONError(kEmptyName);
  std::string narrow_name = WideToAnsi(name);
  int32_t position = IndexOf(*this, narrow_name);
  if (position < 0) {
    if (!value) value = std::make_unique<TJSONbase>(this);
    Append(*this, narrow_name, value);
  } else {
    SetItem(position, std::move(value));
  }
}

std::u16string TJSONobject::GetName(int32_t position) const {
  if (position < 0 || static_cast<size_t>(position) >= names_.Count()) RaiseOutside(position, names_.Count());
  return AnsiToWide(names_.Get()->list[static_cast<size_t>(position)]);
}

void TJSONobject::Clear() {
  DestroyChildren(*this);
  json_detail::Names* names = names_.Get();
  if (names == nullptr) return;
  if (names_.Borrowed()) {
    names_.Set(nullptr, false);
    return;
  }
  if (names->index) names->index->RemoveAll();
  names->list.Clear();
}

std::u16string TJSONobject::VisitName(int32_t position) const { return GetName(position); }

}  // namespace tarn
