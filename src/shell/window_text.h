// The text of a window (a caption, a control's text), through the wide call.
#pragma once

#include <windows.h>

#include <string>

namespace tavrel {

inline std::wstring WindowText(HWND hwnd) {
  std::wstring text(static_cast<size_t>(GetWindowTextLengthW(hwnd)) + 1, L'\0');
  text.resize(static_cast<size_t>(GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()))));
  return text;
}

}  // namespace tavrel
