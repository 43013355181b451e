// Tavrel tells a program from a font file by the end of its name only.
#pragma once

#include <string>
#include <string_view>

namespace tavrel {

inline constexpr std::string_view kProgramExtension = ".exe";
inline constexpr std::string_view kFontExtension = ".tte";

// The last four characters of a path (the whole path when shorter), with
// ASCII letters lowered.
std::string LastFourLowered(std::string_view path);

inline bool IsFontPath(std::string_view path) { return LastFourLowered(path) == kFontExtension; }

}  // namespace tavrel
