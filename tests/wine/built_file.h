// Where a file the build made is: beside the test program when it was copied
// there (to a Windows machine, with the tests), else where the build put it,
// which the build gives as the host sees it (Wine's Z: drive is the host's root).
#pragma once

#include <windows.h>

#include <algorithm>
#include <string>

#include "base/win32/wide.h"

namespace tavrel::testing {

inline std::wstring BuiltFile(const char* build_path) {
  std::wstring built = Wide(std::string("Z:") + build_path);
  std::replace(built.begin(), built.end(), L'/', L'\\');
  wchar_t own[MAX_PATH];
  std::wstring beside(own, GetModuleFileNameW(nullptr, own, MAX_PATH));
  beside = beside.substr(0, beside.rfind(L'\\') + 1) + built.substr(built.rfind(L'\\') + 1);
  return GetFileAttributesW(beside.c_str()) != INVALID_FILE_ATTRIBUTES ? beside : built;
}

}  // namespace tavrel::testing
