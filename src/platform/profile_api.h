// The kernel32 profile (INI file) calls Tavrel makes, with the SDK's arguments
// and results. Every string is text in the ANSI code page and every size a
// count of its bytes.
#pragma once

#include "platform/win_types.h"

namespace tavrel {

class IProfile {
 public:
  virtual ~IProfile() = default;

  // Copies the value of lpKeyName in section lpAppName, or lpDefault (null
  // means "") when the file, section or key is missing, cut to nSize - 1 bytes
  // and NUL-terminated; returns the bytes copied without the NUL. A null
  // lpAppName lists the file's section names, a null lpKeyName the section's
  // key names: each name NUL-terminated, one more NUL after the last.
  virtual DWORD GetPrivateProfileStringA(const char* lpAppName, const char* lpKeyName,
                                         const char* lpDefault, char* lpReturnedString, DWORD nSize,
                                         const char* lpFileName) = 0;

  // Sets the key, creating file and section as needed. A null lpString removes
  // the key, a null lpKeyName the whole section; null lpAppName, lpKeyName and
  // lpString flush the system's cached copy of the file and return FALSE.
  virtual BOOL WritePrivateProfileStringA(const char* lpAppName, const char* lpKeyName,
                                          const char* lpString, const char* lpFileName) = 0;
};

}  // namespace tavrel
