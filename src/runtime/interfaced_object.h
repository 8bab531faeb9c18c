// Reference-counted interfaces. Every interface starts with the three base
// operations (query for an interface by its identifier, add a reference,
// release a reference); an object frees itself when its last reference is
// released. InterfacePtr holds one counted reference.
#pragma once

#include <array>
#include <atomic>
#include <concepts>
#include <cstddef>
#include <cstdint>
#include <utility>

namespace tarn {

// An interface identifier.
struct TGUID {
  uint32_t D1;
  uint16_t D2;
  uint16_t D3;
  std::array<uint8_t, 8> D4;
  friend bool operator==(const TGUID&, const TGUID&) = default;
};

using HResult = int32_t;
inline constexpr HResult kSOk = 0;
inline constexpr HResult kENoInterface = static_cast<HResult>(0x80004002u);

// The base interface. Objects are released through Release, never deleted
// through an interface.
class IInterface {
 public:
  static constexpr TGUID kIID{0x00000000, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

  // Stores the object's interface `iid`, with a reference added, in *object;
  // stores null and returns kENoInterface when the object lacks it.
  virtual HResult QueryInterface(const TGUID& iid, void** object) = 0;
  // Both return the count of references that remains.
  virtual int32_t AddRef() = 0;
  virtual int32_t Release() = 0;

 protected:
  ~IInterface() = default;
};

// The reference-counted base object implementing `Interface` (which derives
// from IInterface). A new object has no references; the first InterfacePtr
// to it takes the first, and the object deletes itself when the count drops
// to zero.
template <class Interface>
class TInterfacedObject : public Interface {
 public:
  TInterfacedObject(const TInterfacedObject&) = delete;
  TInterfacedObject& operator=(const TInterfacedObject&) = delete;

  HResult QueryInterface(const TGUID& iid, void** object) override {
    if (iid == Interface::kIID || iid == IInterface::kIID) {
      AddRef();
      *object = static_cast<Interface*>(this);
      return kSOk;
    }
    *object = nullptr;
    return kENoInterface;
  }

  int32_t AddRef() override { return ++references_; }

  int32_t Release() override {
    int32_t left = --references_;
    // The last reference owns the object.
    if (left == 0) delete this;
    return left;
  }

 protected:
  TInterfacedObject() = default;
  virtual ~TInterfacedObject() = default;

 private:
  std::atomic<int32_t> references_{0};
};

// One counted reference to an interface, or null.
template <class T>
class InterfacePtr {
 public:
  InterfacePtr() = default;
  InterfacePtr(std::nullptr_t) {}
  explicit InterfacePtr(T* object) : object_(object) {
    if (object_ != nullptr) object_->AddRef();
  }
  InterfacePtr(const InterfacePtr& other) : InterfacePtr(other.object_) {}
  template <class U>
    requires std::convertible_to<U*, T*>
  InterfacePtr(const InterfacePtr<U>& other) : InterfacePtr(other.get()) {}
  InterfacePtr(InterfacePtr&& other) noexcept : object_(std::exchange(other.object_, nullptr)) {}
  ~InterfacePtr() {
    if (object_ != nullptr) object_->Release();
  }

  // Taking `other` by value adds the new reference before the old one is
  // released, so assigning a pointer to the object it already holds, or to
  // itself, keeps the object alive.
  InterfacePtr& operator=(InterfacePtr other) noexcept {
    std::swap(object_, other.object_);
    return *this;
  }

  T* get() const { return object_; }
  T* operator->() const { return object_; }
  explicit operator bool() const { return object_ != nullptr; }

 private:
  T* object_ = nullptr;
};

// Creates a reference-counted object and takes its first reference.
template <class Object, class... Args>
InterfacePtr<Object> MakeInterfaced(Args&&... args) {
  return InterfacePtr<Object>(new Object(std::forward<Args>(args)...));
}

}  // namespace tarn
