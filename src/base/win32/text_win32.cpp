// The case mapping of names through the system, as Windows compares file and
// registry names.
#include <windows.h>

#include "base/text.h"
#include "base/win32/wide.h"

namespace tavrel {

std::u16string UpperCase(std::u16string_view text) {
  std::u16string upper(text);
  if (!upper.empty()) CharUpperBuffW(AsWide(upper.data()), static_cast<DWORD>(upper.size()));
  return upper;
}

}  // namespace tavrel
