// Owners for COM: the library on a thread, one reference to an object, and a
// block COM allocated for its caller.
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

// COM on the calling thread for the scope's life. A thread where COM is
// already on keeps it as it is: S_FALSE (the same apartment) takes its
// balancing CoUninitialize too; RPC_E_CHANGED_MODE (a multithreaded
// apartment) takes none, and the shell link works there as well.
class ComScope {
 public:
  ComScope() : result_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE)) {}
  ~ComScope() {
    if (SUCCEEDED(result_)) CoUninitialize();
  }
  ComScope(const ComScope&) = delete;
  ComScope& operator=(const ComScope&) = delete;
  [[nodiscard]] HRESULT Result() const { return result_ == RPC_E_CHANGED_MODE ? S_OK : result_; }

 private:
  HRESULT result_;
};

struct CoTaskMemoryFreer {
  void operator()(void* memory) const { CoTaskMemFree(memory); }
};
// A block a call allocated with CoTaskMemAlloc for its caller to free.
template <typename T>
using UniqueCoTaskMemory = std::unique_ptr<T, CoTaskMemoryFreer>;

}  // namespace tavrel
