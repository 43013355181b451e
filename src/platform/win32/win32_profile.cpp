#include "platform/win32/win32_profile.h"

#include <windows.h>

#include <type_traits>

namespace tavrel {

static_assert(std::is_same_v<tavrel::BOOL, ::BOOL>);

DWORD Win32Profile::GetPrivateProfileStringA(const char* lpAppName, const char* lpKeyName,
                                             const char* lpDefault, char* lpReturnedString,
                                             DWORD nSize, const char* lpFileName) {
  return ::GetPrivateProfileStringA(lpAppName, lpKeyName, lpDefault, lpReturnedString, nSize,
                                    lpFileName);
}

BOOL Win32Profile::WritePrivateProfileStringA(const char* lpAppName, const char* lpKeyName,
                                              const char* lpString, const char* lpFileName) {
  return ::WritePrivateProfileStringA(lpAppName, lpKeyName, lpString, lpFileName);
}

}  // namespace tavrel
