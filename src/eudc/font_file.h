// What a file must be to become the system's EUDC font: GDI finds it by a
// full path only, and links only a TrueType or OpenType font.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "base/errors.h"

namespace tavrel {

class IFiles;

// Whether these first bytes of a file are those of a TrueType or OpenType
// font (or collection).
bool BeginsLikeAFont(const std::vector<std::uint8_t>& head);

struct [[nodiscard]] FontFileCheck {
  bool usable = false;
  ErrorCode error = kSuccess;  // why the file could not be read, when that is why
};

// Whether `path` is a full path (from a drive's root or a share) of a file
// that can be read and begins as a font does.
FontFileCheck CheckFontFile(IFiles& files, std::u16string_view path);

}  // namespace tavrel
