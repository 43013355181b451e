// UTF-8 <-> wchar_t for the wide entry points (wchar_t is UTF-16 on Windows).
#pragma once

#include <string>
#include <string_view>

#include "base/text.h"

namespace tavrel {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows wchar_t is UTF-16");

inline std::wstring Wide(std::string_view utf8) {
  const std::u16string u = Utf8ToUtf16(utf8);
  return std::wstring(u.begin(), u.end());
}

inline std::string Narrow(std::wstring_view wide) {
  return Utf16ToUtf8(std::u16string_view(reinterpret_cast<const char16_t*>(wide.data()), wide.size()));
}

// The same UTF-16 units, as the other character type.
inline std::wstring WideOf(std::u16string_view text) { return std::wstring(text.begin(), text.end()); }
inline std::u16string Utf16Of(std::wstring_view text) { return std::u16string(text.begin(), text.end()); }

inline const wchar_t* AsWide(const char16_t* s) { return reinterpret_cast<const wchar_t*>(s); }
inline wchar_t* AsWide(char16_t* s) { return reinterpret_cast<wchar_t*>(s); }

}  // namespace tavrel
