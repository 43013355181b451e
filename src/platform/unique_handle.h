// A move-only owner for a handle whose close function may need state (the
// interface object that hands the handle out). Traits supply:
//   using Type = ...;                 the handle type
//   static Type Invalid();            the "no handle" value
//   void Close(Type) const;           release the handle
#pragma once

#include <utility>

namespace tavrel {

// Traits for a handle that the interface which handed it out closes, through
// its member function `CloseFn`; null is "no handle".
template <typename Api, typename T, auto CloseFn>
struct ApiHandleTraits {
  using Type = T;
  static Type Invalid() { return nullptr; }
  void Close(Type handle) const { (api->*CloseFn)(handle); }
  Api* api = nullptr;
};

template <typename Traits>
class UniqueHandle {
 public:
  using Type = typename Traits::Type;

  UniqueHandle() = default;
  explicit UniqueHandle(Traits traits) : traits_(traits) {}
  UniqueHandle(Type handle, Traits traits) : handle_(handle), traits_(traits) {}
  ~UniqueHandle() { reset(); }

  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;
  UniqueHandle(UniqueHandle&& other) noexcept
      : handle_(other.release()), traits_(other.traits_) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    if (this != &other) {
      reset(other.release());
      traits_ = other.traits_;
    }
    return *this;
  }

  Type get() const { return handle_; }
  explicit operator bool() const { return handle_ != Traits::Invalid(); }

  // Releases the current handle and returns the slot for an out-parameter.
  Type* put() {
    reset();
    return &handle_;
  }

  Type release() { return std::exchange(handle_, Traits::Invalid()); }

  void reset(Type handle = Traits::Invalid()) {
    const Type old = std::exchange(handle_, handle);
    if (old != Traits::Invalid()) traits_.Close(old);
  }

 private:
  Type handle_ = Traits::Invalid();
  Traits traits_{};
};

}  // namespace tavrel
