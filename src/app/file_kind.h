// Tavrel tells a program from a font file by the end of its name only; and
// the folders of the paths it is given.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "eudc/font_file.h"  // BeginsLikeAFont

namespace tavrel {

class IFiles;

inline constexpr std::string_view kProgramExtension = ".exe";
inline constexpr std::string_view kFontExtension = ".tte";

// The last four characters of a path (the whole path when shorter), with
// ASCII letters lowered.
std::string LastFourLowered(std::string_view path);

inline bool IsFontPath(std::string_view path) { return LastFourLowered(path) == kFontExtension; }

// Whether a path is full: from a drive's root ("C:\\") or a share ("\\\\server").
bool IsFullPath(std::string_view path);

// Whether the file can be read and begins as a font does.
bool IsFontFile(IFiles& files, std::string_view path);

// The folder of a full path with its closing backslash ("C:\Apps\"); empty
// for a bare name.
std::string DirectoryOf(std::string_view path);
// The folder of a full path as a working folder is written: without its
// closing backslash, but for a drive's root ("C:\").
std::string FolderOf(std::string_view path);

}  // namespace tavrel
