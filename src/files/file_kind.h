// Tavrel tells a program from a font file by the end of its name only.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/path.h"       // the folders of the paths
#include "eudc/font_file.h"  // BeginsLikeAFont

namespace tavrel {

class IFiles;

inline constexpr std::string_view kProgramExtension = ".exe";
inline constexpr std::string_view kFontExtension = ".tte";

// Whether the path ends in `extension` (lower case, with its dot), whatever
// the case of its ASCII letters.
bool HasExtension(std::string_view path, std::string_view extension);

inline bool IsFontPath(std::string_view path) { return HasExtension(path, kFontExtension); }

// Whether a path is full: from a drive's root ("C:\\") or a share ("\\\\server").
bool IsFullPath(std::string_view path);

// Whether the file can be read and begins as a font does.
bool IsFontFile(IFiles& files, std::string_view path);

}  // namespace tavrel
