// The containers a parse makes. They, their rooms for children and names,
// and their strings live in the arena of the tree's root, which owns it:
// destroying one of them runs its destructor but leaves its bytes to the
// arena, which gives everything back when the root goes. Values added later
// by hand come from the heap as usual, so a tree may mix both.
#pragma once

#include <cstddef>
#include <memory>
#include <utility>

#include "json/json_value_detail.h"
#include "json/value_arena.h"

namespace tarn {

class TJSONarray;

// A container inside an arena; made only with `new (arena)`.
template <typename Container>
class ArenaValue final : public Container {
 public:
  explicit ArenaValue(TJSONarray* parent) noexcept : Container(parent, json_detail::InArena{}) {}

  static void* operator new(size_t size, ValueArena& arena) { return arena.Allocate(size, alignof(ArenaValue)); }
  // Called only when a constructor throws; the arena keeps the bytes.
  static void operator delete(void*, ValueArena&) noexcept {}
  // The bytes stay with the arena; they are marked as gone for the sanitizer.
  static void operator delete(void* value, size_t size) noexcept { ASAN_POISON_MEMORY_REGION(value, size); }
};

class ArenaOwner {
 protected:
  std::unique_ptr<ValueArena> arena_;
};

// The root of a parsed tree, from the heap. The arena is its first base, so
// it is given back only after the container and everything under it are
// destroyed.
template <typename Container>
class ArenaRoot final : private ArenaOwner, public Container {
 public:
  ArenaRoot() noexcept : Container(nullptr, json_detail::InArena{}) {}

  // Takes the arena that holds the tree's values.
  void Adopt(std::unique_ptr<ValueArena> arena) noexcept { arena_ = std::move(arena); }
};

}  // namespace tarn
