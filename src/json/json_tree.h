// What the library's own code (the value classes, the parser, the writer)
// reads and changes of a tree beyond the public operations: the cells of
// scalars, the children of containers in place and the names of objects.
// Not for the library's users.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <memory_resource>
#include <string_view>
#include <utility>

#include "json/json_value.h"

namespace tarn::json_detail {

struct TreeAccess {
  static JSONCell& Cell(TJSONbase& value) noexcept { return value.slot_.cell; }
  static TJSONarray* Parent(const TJSONbase& value) noexcept { return value.parent_; }
  static RoomCounts& Counts(const TJSONarray& array) noexcept { return const_cast<TJSONarray&>(array).slot_.counts; }
  static ChildRoom& Room(const TJSONarray& array) noexcept { return array.children_; }
  static ObjectNames& NamesOf(TJSONobject& object) noexcept { return object.names_; }
  static const ObjectNames& NamesOf(const TJSONobject& object) noexcept { return object.names_; }
};

inline size_t ChildCount(const TJSONarray& array) noexcept { return TreeAccess::Counts(array).size; }
inline size_t ChildCapacity(const TJSONarray& array) noexcept { return TreeAccess::Counts(array).capacity; }
inline Child* Children(const TJSONarray& array) noexcept {
  return TreeAccess::Room(array).data(TreeAccess::Counts(array));
}

// Whether anything at or below the container needs its destructor: a
// container a parse made, with all it holds, lives in memory its root frees
// at once, until it is given something from the heap.
inline bool NeedsDestruction(const TJSONarray& array) noexcept { return TreeAccess::Counts(array).owner_flag; }

// Appends into room made beforehand, taking a node's ownership.
inline void PutChild(TJSONarray& array, JSONCell cell) noexcept {
  TreeAccess::Room(array).put_back(TreeAccess::Counts(array), cell);
}

// Appends the cells, taking the nodes among them, in room for exactly them
// taken from `memory`, which must outlive the container. On failure nothing
// changes.
inline void AppendCells(TJSONarray& array, const JSONCell* cells, size_t count, std::pmr::memory_resource& memory) {
  RoomCounts& counts = TreeAccess::Counts(array);
  ChildRoom& room = TreeAccess::Room(array);
  room.reserve(counts, counts.size + count, memory);
  Child* children = room.data(counts) + counts.size;
  for (size_t i = 0; i < count; ++i) std::construct_at(children + i, cells[i]);
  counts.size += static_cast<uint32_t>(count);
}

// Destroys the children in position order, or only forgets them when they
// live in a parse's memory; the room stays.
inline void ClearChildren(TJSONarray& array) noexcept {
  RoomCounts& counts = TreeAccess::Counts(array);
  if (!counts.owner_flag) {
    counts.size = 0;
    return;
  }
  TreeAccess::Room(array).clear(counts);
}

// The stored narrow name of the member at the position.
inline std::string_view NarrowName(const TJSONobject& object, size_t position) noexcept {
  return TreeAccess::NamesOf(object).Get()->list[position];
}

}  // namespace tarn::json_detail
