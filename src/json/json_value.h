// The JSON value tree. TJSONbase holds one scalar (null, boolean, 32-bit
// integer, double or UTF-16 string); TJSONlist (an array) and TJSONobject
// (named members) derive from the container base TJSONarray. Every value
// answers the same virtual operations; one that makes no sense for its class
// raises TJSONError with a fixed message, leaving the value unchanged.
//
// Ownership: a container owns its children and destroys them when it is
// destroyed, cleared, or when a child is replaced. The parent reference is set
// once, at construction, and is never an owner. Member names travel as UTF-16
// but are kept narrow (Windows-1252): two names that narrow to the same text
// are the same member, and lookups compare narrow text case-sensitively.
//
// Trees of any depth are destroyed and written without deep recursion. A tree
// made by ParseJSON and values added to it later by hand mix freely. Not
// thread-safe, not even for reading: one thread at a time per tree. How the
// values are kept is json/json_value_detail.h's.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "json/json_value_detail.h"
#include "platform/portable/exceptions.h"
#include "platform/portable/object.h"
#include "platform/portable/variant.h"

namespace tarn {

class TJSONarray;
class TJSONOutput;

// Every failure the library detects itself.
TARN_EXCEPTION_CLASS(TJSONError, Exception);

enum TJSONkind : uint8_t {
  jkNull = 0,
  jkBoolean = 1,
  jkInteger = 2,
  jkFloat = 3,
  jkString = 4,
  jkList = 5,
  jkObject = 6,
};

class TJSONbase;

// Visitors receive the member name (a list passes the position in decimal),
// the child, the caller's data and a stop flag that is false before the
// first call; setting it ends the walk after the current call.
using TJSONVisitProc = void (*)(const std::u16string& name, TJSONbase* child, void* user_data, bool& stop);
using TJSONVisitMethod = std::function<void(const std::u16string& name, TJSONbase* child, void* user_data, bool& stop)>;

class TJSONbase : public TObject {
 public:
  explicit TJSONbase(TJSONarray* parent = nullptr) noexcept : parent_(parent) { slot_.cell = JSONCell::Null(); }
  ~TJSONbase() override;
  TJSONbase(const TJSONbase&) = delete;
  TJSONbase& operator=(const TJSONbase&) = delete;

  virtual TJSONarray* Parent() const noexcept;
  virtual uint8_t Kind() const noexcept;
  // A copy of the stored value: null, boolean, 32-bit integer, double, wide
  // string, or a by-reference variant for a holder of kind 5 or 6.
  virtual Variant GetValue() const;
  // Stores a normalised copy of the value and sets the kind from its type.
  // A by-reference value must point at a TJSONlist or TJSONobject, which the
  // holder refers to but never owns.
  virtual void SetValue(const Variant& value);
  // The compact JSON text of the value and everything under it.
  virtual std::string Text() const;
  virtual void WriteText(TJSONOutput& output) const;
  // The child at the position, or none outside 0 to Count()-1; the
  // container keeps ownership.
  virtual TJSONbase* GetItem(int32_t position) const;
  // Replaces (destroys) the child at the position; no value stores a null.
  virtual void SetItem(int32_t position, std::unique_ptr<TJSONbase> value);
  virtual TJSONbase* GetNamedItem(std::u16string_view name) const;
  virtual void SetNamedItem(std::u16string_view name, std::unique_ptr<TJSONbase> value);
  virtual std::u16string GetName(int32_t position) const;
  virtual int32_t Count() const;

  // This value as a container, or none for a scalar (holders included).
  virtual TJSONarray* AsArray() noexcept { return nullptr; }
  virtual const TJSONarray* AsArray() const noexcept { return nullptr; }

 protected:
  json_detail::ValueSlot slot_;

 private:
  friend struct json_detail::TreeAccess;

  TJSONarray* parent_;
};

// The common base of the two containers; never instantiated by itself.
class TJSONarray : public TJSONbase {
 public:
  ~TJSONarray() override;

  Variant GetValue() const override;
  void SetValue(const Variant& value) override;
  void WriteText(TJSONOutput& output) const override;
  TJSONbase* GetItem(int32_t position) const override;
  void SetItem(int32_t position, std::unique_ptr<TJSONbase> value) override;
  int32_t Count() const override;

  virtual void Clear() = 0;
  // Visit the children in position order, reading Count afresh each time.
  virtual void ForEach(TJSONVisitProc visitor, void* user_data);
  virtual void ForEachBound(const TJSONVisitMethod& visitor, void* user_data);

  TJSONarray* AsArray() noexcept override { return this; }
  const TJSONarray* AsArray() const noexcept override { return this; }

 protected:
  explicit TJSONarray(TJSONarray* parent) noexcept : TJSONbase(parent) {
    slot_.counts = json_detail::ChildRoom::Empty(true);
  }
  TJSONarray(TJSONarray* parent, json_detail::InArena) noexcept : TJSONbase(parent) {
    slot_.counts = json_detail::ChildRoom::Empty(false);
  }
  // The name handed to a visitor for the child at the position.
  virtual std::u16string VisitName(int32_t position) const = 0;

 private:
  friend struct json_detail::TreeAccess;

  mutable json_detail::ChildRoom children_;
};

class TJSONlist : public TJSONarray {
 public:
  explicit TJSONlist(TJSONarray* parent = nullptr) noexcept : TJSONarray(parent) {}

  // Appends the value; no value appends a new null whose parent is this list.
  void Add(std::unique_ptr<TJSONbase> value);

  TJSONbase* GetNamedItem(std::u16string_view name) const override;
  void SetNamedItem(std::u16string_view name, std::unique_ptr<TJSONbase> value) override;
  std::u16string GetName(int32_t position) const override;
  uint8_t Kind() const noexcept override;
  void Clear() override;

 protected:
  TJSONlist(TJSONarray* parent, json_detail::InArena in_arena) noexcept : TJSONarray(parent, in_arena) {}
  std::u16string VisitName(int32_t position) const override;
};

class TJSONobject : public TJSONarray {
 public:
  explicit TJSONobject(TJSONarray* parent = nullptr) noexcept : TJSONarray(parent) {}
  ~TJSONobject() override;

  // Appends a member without looking the name up, so a name can occur more
  // than once; lookups find the member added last under a name. No value
  // appends a new null whose parent is this object.
  void Add(std::u16string_view name, std::unique_ptr<TJSONbase> value);

  TJSONbase* GetNamedItem(std::u16string_view name) const override;
  void SetNamedItem(std::u16string_view name, std::unique_ptr<TJSONbase> value) override;
  std::u16string GetName(int32_t position) const override;
  uint8_t Kind() const noexcept override;
  void Clear() override;

 protected:
  TJSONobject(TJSONarray* parent, json_detail::InArena in_arena) noexcept : TJSONarray(parent, in_arena) {}
  std::u16string VisitName(int32_t position) const override;

 private:
  friend struct json_detail::TreeAccess;

  json_detail::ObjectNames names_;
};

}  // namespace tarn
