#include "json/json_value.h"

#include <string>
#include <utility>

#include "platform/code_page.h"
#include "runtime/integer_hash.h"

namespace tarn {

namespace {

// A holder keeps the kind of the container it refers to in the type of its
// stored value, since the container may be gone when the kind is asked for:
// a list by reference, an object as this type. GetValue gives both back by
// reference.
constexpr VarType kObjectHolder = varUnknown;

const char kContainerHasNoValue[] = "TJSONlist does not have a value by itself - it is an indexed array";
const char kScalarHasNoIndex[] = "TJSONbase is not an array and does not support indexes";
const char kScalarHasNoCount[] = "TJSONbase is not an array and does not have Count property";
const char kListHasNoNames[] = "TJSONlist use only Integer indexes - not String";
const char kEmptyName[] = "Associative arrays do not support empty index";

[[noreturn]] void RaiseOutside(int32_t position, size_t count) {
  throw TJSONError("Index (" + std::to_string(position) + ") is outside the array (" + std::to_string(count) +
                   ")");
}

// Makes room for one more element first, so that the append after it cannot
// fail and leave parallel lists out of step.
template <typename List>
void ReserveOneMore(List& v) {
  if (v.size() == v.capacity()) v.reserve(v.empty() ? 4 : v.size() * 2);
}

}  // namespace

// ---------------------------------------------------------------------------
// TJSONbase

TJSONbase::~TJSONbase() = default;

TJSONarray* TJSONbase::Parent() const noexcept { return parent_; }

uint8_t TJSONbase::KindOf(const Variant& value) noexcept {
  switch (value.Type()) {
    case varBoolean: return jkBoolean;
    case varInteger: return jkInteger;
    case varDouble: return jkFloat;
    case varOleStr: return jkString;
    case varByRef: return jkList;
    case kObjectHolder: return jkObject;
    default: return jkNull;
  }
}

uint8_t TJSONbase::Kind() const noexcept { return KindOf(value_); }

Variant TJSONbase::GetValue() const {
  if (value_.Type() == kObjectHolder) return Variant::ByRef(value_.AsObject());
  return value_;
}

void TJSONbase::SetValue(const Variant& value) {
  switch (value.Type()) {
    case varEmpty:
    case varNull:
      value_ = Variant::Null();
      return;
    case varSmallint:
    case varInteger:
    case varByte:
      value_ = Variant::Integer(static_cast<int32_t>(value.AsInt64()));
      return;
    case varSingle:
      value_ = Variant::Double(value.AsSingle());
      return;
    case varDouble:
      value_ = Variant::Double(value.AsDouble());
      return;
    case varCurrency:
      value_ = Variant::Double(static_cast<double>(value.AsInt64()) / 10000.0);
      return;
    case varOleStr:
    case varStrArg:
      value_ = Variant::OleStr(value.AsWide());
      return;
    case varString:
      value_ = Variant::OleStr(AnsiToWide(value.AsNarrow()));
      return;
    case varBoolean:
      value_ = Variant::Boolean(value.AsBoolean());
      return;
    case varByRef: {
      TObject* object = value.AsObject();
      if (dynamic_cast<TJSONlist*>(object) != nullptr) {
        value_ = Variant::ByRef(object);
      } else if (dynamic_cast<TJSONobject*>(object) != nullptr) {
        value_ = Variant::Interface(kObjectHolder, object);
      } else {
        throw TJSONError("Only TJSONlist or TJSONobject object can be assigned to TJSONbase");
      }
      return;
    }
    default:
      throw TJSONError("Invalid data type assigned to TJSONbase");
  }
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

TJSONarray::~TJSONarray() { DestroyChildren(); }

namespace {

bool HasGrandchildren(const TJSONbase* node) {
  const TJSONarray* array = node == nullptr ? nullptr : node->AsArray();
  return array != nullptr && array->Count() > 0;
}

// Containers nested up to this deep are destroyed by plain recursion, each
// by its own destructor; deeper ones by the loop below, which needs no
// stack of the machine's.
constexpr int kRecursiveDestruction = 64;
thread_local int destruction_depth = 0;

}  // namespace

void TJSONarray::DestroyChildren() noexcept {
  if (destruction_depth < kRecursiveDestruction) {
    ++destruction_depth;
    children_.clear();
    --destruction_depth;
    return;
  }
  bool nested = false;
  for (const Child& child : children_) nested = nested || HasGrandchildren(child.Node());
  if (!nested) {
    children_.clear();
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
    if (position == array->children_.size()) {
      array->children_.clear();
      levels.pop_back();
      continue;
    }
    Child& child = array->children_[position];
    if (HasGrandchildren(child.Node())) {
      levels.push_back({child.Node()->AsArray(), 0});
      continue;
    }
    child.Release();
    levels.back().next = position + 1;
  }
}

TJSONbase* TJSONarray::ChildObject(size_t position) const {
  Child& child = children_[position];
  if (TJSONbase* node = child.Node()) return node;
  auto node = std::make_unique<TJSONbase>(const_cast<TJSONarray*>(this));
  node->value_ = child.Scalar();
  TJSONbase* raw = node.get();
  child = Child(std::move(node));
  return raw;
}

Variant TJSONarray::GetValue() const { throw TJSONError(kContainerHasNoValue); }

void TJSONarray::SetValue(const Variant&) { throw TJSONError(kContainerHasNoValue); }

TJSONbase* TJSONarray::GetItem(int32_t position) const {
  if (position < 0 || static_cast<size_t>(position) >= children_.size()) return nullptr;
  return ChildObject(static_cast<size_t>(position));
}

void TJSONarray::SetItem(int32_t position, std::unique_ptr<TJSONbase> value) {
  if (position < 0 || static_cast<size_t>(position) >= children_.size()) RaiseOutside(position, children_.size());
  if (!value) value = std::make_unique<TJSONbase>(this);
  children_[static_cast<size_t>(position)] = Child(std::move(value));
}

int32_t TJSONarray::Count() const { return static_cast<int32_t>(children_.size()); }

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
  ReserveOneMore(children_);
  if (!value) value = std::make_unique<TJSONbase>(this);
  children_.emplace_back(std::move(value));
}

TJSONbase* TJSONlist::GetNamedItem(std::u16string_view) const {
  if (children_.empty()) return nullptr;
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

TJSONobject::TJSONobject(TJSONarray* parent) noexcept : TJSONarray(parent) {}

uint8_t TJSONobject::Kind() const noexcept { return jkObject; }

// The name index and the names go first, then TJSONarray destroys the members.
TJSONobject::~TJSONobject() = default;

void TJSONobject::Append(std::string_view narrow_name, Child value) {
  ReserveOneMore(children_);
  names_.Add(narrow_name);
  if (index_) {
    try {
      index_->Add(narrow_name, static_cast<int32_t>(children_.size()));
    } catch (...) {
      names_.RemoveLast();
      throw;
    }
  }
  children_.push_back(std::move(value));
}

int32_t TJSONobject::IndexOf(std::string_view narrow_name) const {
  if (!index_ && names_.Size() > kUnindexedMembers) {
    auto index = std::make_unique<TIntegerHash>();
    for (size_t i = 0; i < names_.Size(); ++i) index->Add(names_[i], static_cast<int32_t>(i));
    index_ = std::move(index);
  }
  if (index_) return index_->Lookup(narrow_name);
  // The member added last under a name is the one found.
  for (size_t i = names_.Size(); i-- > 0;) {
    if (names_[i] == narrow_name) return static_cast<int32_t>(i);
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
  if (position < 0 || static_cast<size_t>(position) >= names_.Size()) RaiseOutside(position, names_.Size());
  return AnsiToWide(names_[static_cast<size_t>(position)]);
}

void TJSONobject::Clear() {
  DestroyChildren();
  if (index_) index_->RemoveAll();
  names_.Clear();
}

std::u16string TJSONobject::VisitName(int32_t position) const { return GetName(position); }

}  // namespace tarn
