// Text inside Tavrel is UTF-8. These conversions are used where text crosses
// an ANSI entry point (code page 932 on the systems Tavrel is made for) or a
// wide one (UTF-16), and by the test and benchmark tools as well.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tavrel {

// Portable, exact conversions; invalid sequences become U+FFFD.
std::u16string Utf8ToUtf16(std::string_view utf8);
std::string Utf16ToUtf8(std::u16string_view utf16);
// The code points of UTF-8 text, so that one character is one element.
std::u32string CodePoints(std::string_view utf8);

// UTF-16 text as little-endian bytes, as the registry stores text values,
// with its terminating NUL unless told otherwise; and such bytes back into
// UTF-16 units (an odd last byte is dropped).
std::vector<std::uint8_t> Utf16Bytes(std::u16string_view text, bool withNul = true);
std::u16string Utf16FromBytes(std::span<const std::uint8_t> bytes);

// The ANSI code page of the process (932 on the target, and on the host build).
// A character the code page cannot hold becomes "?", as WideCharToMultiByte
// makes it.
std::string Utf8ToAnsi(std::string_view utf8);
std::string AnsiToUtf8(std::string_view ansi);

// Upper case under the platform's case mapping for the current locale;
// characters without letter case stay as they are.
std::u16string UpperCase(std::u16string_view text);
std::string UpperCase(std::string_view utf8);
// Names compared the way Windows compares file and registry names: without
// regard to case.
bool EqualIgnoringCase(std::u16string_view a, std::u16string_view b);
bool EqualIgnoringCase(std::string_view a, std::string_view b);

}  // namespace tavrel
