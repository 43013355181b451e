// Owners for COM: one reference to an object, and a block COM allocated for
// its caller.
#pragma once

#include <objbase.h>

#include <memory>

namespace tavrel {

struct ComReleaser {
  void operator()(IUnknown* object) const { object->Release(); }
};
// One reference to a COM object.
template <typename T>
using UniqueCom = std::unique_ptr<T, ComReleaser>;

// The reference a call handed back through a void** out-parameter, owned.
template <typename T>
UniqueCom<T> Adopt(void* object) {
  return UniqueCom<T>(static_cast<T*>(object));
}

struct CoTaskMemoryFreer {
  void operator()(void* memory) const { CoTaskMemFree(memory); }
};
// A block a call allocated with CoTaskMemAlloc for its caller to free.
template <typename T>
using UniqueCoTaskMemory = std::unique_ptr<T, CoTaskMemoryFreer>;

}  // namespace tavrel
