// Host stand-in for the Windows case mapping of names.
#include <cwctype>

#include "base/text.h"

namespace tavrel {

std::u16string UpperCase(std::u16string_view text) {
  std::u16string upper(text);
  for (char16_t& c : upper) {
    if (c < 0xD800 || c > 0xDFFF) c = static_cast<char16_t>(std::towupper(c));
  }
  return upper;
}

}  // namespace tavrel
