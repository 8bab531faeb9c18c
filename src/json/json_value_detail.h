// How the value classes keep what they hold; json_value.h shows only the API.
//
// A scalar keeps its value in one cell of eight bytes (json/json_cell.h). A
// container has no value, and keeps the counts of its children in the same
// eight bytes; the children themselves sit in an InlineRoom, the first two
// inside the container. A scalar child is kept in its container as a bare
// cell until its object is asked for, which saves an allocation per scalar.
// An object's names and their index are made with its first member.
//
// A tree made by ParseJSON keeps its containers, rooms, names and strings in
// memory that its root owns (json/arena_values.h): such a container leaves
// its children to that memory when it goes, until it is given something from
// the heap, which the owner's bit of its counts records.
#pragma once

#include <cstdint>
#include <memory>

#include "json/inline_list.h"
#include "json/json_cell.h"
#include "json/json_names.h"

namespace tarn {

class TIntegerHash;
class TJSONbase;

namespace json_detail {

// What the library's own code reads of a tree (json/json_tree.h).
struct TreeAccess;

// A scalar's value (an owned text is freed with it), or a container's counts.
union ValueSlot {
  JSONCell cell;
  RoomCounts counts;
};

// A child in place: an owned value object, or a scalar kept as its cell
// until its object is first asked for.
class Child {
 public:
  explicit Child(JSONCell scalar) noexcept : cell_(scalar) {}
  explicit Child(std::unique_ptr<TJSONbase> node) noexcept
      : cell_(JSONCell::Pointer(JSONCell::kNode, node.release())) {}
  Child(Child&& other) noexcept : cell_(other.cell_) { other.cell_ = JSONCell::Null(); }
  Child& operator=(Child&& other) noexcept {
    if (this != &other) {
      Child old(cell_);
      cell_ = other.cell_;
      other.cell_ = JSONCell::Null();
    }
    return *this;
  }
  ~Child() {
    if (OwnsSomething()) Free();
  }

  // Destroys the value now, leaving a null.
  void Release() noexcept {
    if (OwnsSomething()) Free();
    cell_ = JSONCell::Null();
  }

  // The owned object, or none for a scalar kept in place.
  TJSONbase* Node() const noexcept {
    return cell_.Is(JSONCell::kNode) ? static_cast<TJSONbase*>(cell_.AsPointer()) : nullptr;
  }
  JSONCell Scalar() const noexcept { return cell_; }
  // Hands the cell (and a node's ownership) over, leaving a null.
  JSONCell Take() noexcept {
    JSONCell cell = cell_;
    cell_ = JSONCell::Null();
    return cell;
  }

 private:
  bool OwnsSomething() const noexcept { return cell_.Is(JSONCell::kNode) || cell_.Is(JSONCell::kOwnedText); }
  void Free() noexcept;

  JSONCell cell_;
};

// Two children live inside the container: a pair costs no allocation.
using ChildRoom = InlineRoom<Child, 2>;

// Marks the constructor of a container made in a parse's memory.
struct InArena {};

// An object's names and their index. Names a parse shares never have one.
struct Names {
  std::unique_ptr<TIntegerHash> index;  // made on the first lookup of a larger object
  TJSONnames list;
};

// The names of an object, or none before its first member. Names a parse
// made live in its memory and are shared by every object of the parse with
// the same names in the same order: they are read only, and marked in the
// pointer's lowest bit. An object about to change its names copies them.
class ObjectNames {
 public:
  Names* Get() const noexcept { return reinterpret_cast<Names*>(bits_ & ~uintptr_t{1}); }
  bool Borrowed() const noexcept { return (bits_ & 1) != 0; }
  void Set(Names* names, bool borrowed) noexcept { bits_ = reinterpret_cast<uintptr_t>(names) | (borrowed ? 1 : 0); }
  size_t Count() const noexcept { return bits_ == 0 ? 0 : Get()->list.Size(); }

 private:
  uintptr_t bits_ = 0;
};

}  // namespace json_detail
}  // namespace tarn
