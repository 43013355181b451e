// Small text helpers shared by the fakes.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/win_types.h"

namespace tavrel::fakes {

// Upper-cases for the case-insensitive comparisons Windows makes of names.
std::u16string Fold(std::u16string_view s);
bool EqualNoCase(std::string_view a, std::string_view b);

// UTF-16 text as registry bytes, with or without its terminating NUL.
std::vector<BYTE> TextBytes(std::u16string_view text, bool withNul = true);
std::u16string BytesToUtf16(const std::vector<BYTE>& bytes);

}  // namespace tavrel::fakes
