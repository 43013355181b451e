// Text inside Tavrel is UTF-8. These conversions are used where text crosses
// a wide entry point (UTF-16) or the registry, and by the test and benchmark
// tools as well.
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

// UTF-16 text as little-endian bytes, as the registry stores text values,
// with its terminating NUL unless told otherwise; and such bytes back into
// UTF-16 units (an odd last byte is dropped).
std::vector<std::uint8_t> Utf16Bytes(std::u16string_view text, bool withNul = true);
std::u16string Utf16FromBytes(std::span<const std::uint8_t> bytes);

// Upper case under the platform's case mapping for the current locale;
// characters without letter case stay as they are.
std::u16string UpperCase(std::u16string_view text);
std::string UpperCase(std::string_view utf8);
// Names compared the way Windows compares file and registry names: without
// regard to case.
bool EqualIgnoringCase(std::u16string_view a, std::u16string_view b);
bool EqualIgnoringCase(std::string_view a, std::string_view b);

}  // namespace tavrel
