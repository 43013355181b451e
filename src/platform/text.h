// Text inside Tavrel is UTF-8. These conversions are used where text crosses
// an ANSI entry point (code page 932 on the systems Tavrel is made for) or a
// wide one (UTF-16).
#pragma once

#include <string>
#include <string_view>

namespace tavrel {

// Portable, exact conversions; invalid sequences become U+FFFD.
std::u16string Utf8ToUtf16(std::string_view utf8);
std::string Utf16ToUtf8(std::u16string_view utf16);

// The ANSI code page of the process (932 on the target, and on the host build).
// A character the code page cannot hold becomes "?", as WideCharToMultiByte
// makes it.
std::string Utf8ToAnsi(std::string_view utf8);
std::string AnsiToUtf8(std::string_view ansi);

// Upper case under the platform's case mapping for the current locale;
// characters without letter case stay as they are.
std::string UpperCase(std::string_view utf8);

}  // namespace tavrel
