// What a backend keeps of a failed call: GetLastError(), read right after the
// call and before anything else can change it, for the seam's GetLastError.
#pragma once

#include <windows.h>

namespace tavrel {

class LastErrorKeeper {
 protected:
  template <typename T>
  T Checked(T result, bool failed) {
    if (failed) lastError_ = ::GetLastError();
    return result;
  }

  DWORD lastError_ = 0;
};

}  // namespace tavrel
