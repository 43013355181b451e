// IProfile over kernel32.
#pragma once

#include "platform/profile_api.h"

namespace tavrel {

class Win32Profile final : public IProfile {
 public:
  DWORD GetPrivateProfileStringA(const char* lpAppName, const char* lpKeyName,
                                 const char* lpDefault, char* lpReturnedString, DWORD nSize,
                                 const char* lpFileName) override;
  BOOL WritePrivateProfileStringA(const char* lpAppName, const char* lpKeyName,
                                  const char* lpString, const char* lpFileName) override;
};

}  // namespace tavrel
