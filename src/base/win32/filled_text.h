// Text from a Win32 call that fills a caller's buffer.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace tavrel {

// `fill(buffer, size)` answers the length of the text without its NUL when
// it fits, the size it needs (NUL included) when it does not, and 0 on
// failure, as GetFullPathNameW, SearchPathW and GetWindowsDirectoryW do. The
// text may grow between two calls: a second too-small answer counts as failure.
template <typename Fill>
std::optional<std::wstring> FilledText(Fill fill) {
  std::wstring buffer(MAX_PATH + 1, L'\0');
  for (int attempt = 0; attempt < 2; ++attempt) {
    const DWORD length = fill(buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) return std::nullopt;
    if (length < buffer.size()) {
      buffer.resize(length);
      return buffer;
    }
    buffer.assign(length, L'\0');
  }
  return std::nullopt;
}

}  // namespace tavrel
