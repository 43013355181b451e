// IRegistry over advapi32.
#pragma once

#include "platform/registry_api.h"

namespace tavrel {

class Win32Registry final : public IRegistry {
 public:
  Hkey CurrentUser() const override;
  LSTATUS RegOpenKeyExA(Hkey root, const char* subKey, DWORD options, REGSAM access,
                        Hkey* result) override;
  LSTATUS RegCreateKeyExA(Hkey root, const char* subKey, REGSAM access, Hkey* result,
                          DWORD* disposition) override;
  LSTATUS RegEnumValueA(Hkey key, DWORD index, char* valueName, DWORD* valueNameSize, DWORD* type,
                        BYTE* data, DWORD* dataSize) override;
  LSTATUS RegQueryValueExA(Hkey key, const char* valueName, DWORD* type, BYTE* data,
                           DWORD* dataSize) override;
  LSTATUS RegSetValueExA(Hkey key, const char* valueName, DWORD type, const BYTE* data,
                         DWORD dataSize) override;
  LSTATUS RegOpenKeyExW(Hkey root, const char16_t* subKey, DWORD options, REGSAM access,
                        Hkey* result) override;
  LSTATUS RegCreateKeyExW(Hkey root, const char16_t* subKey, REGSAM access, Hkey* result,
                          DWORD* disposition) override;
  LSTATUS RegQueryInfoKeyW(Hkey key, DWORD* values, DWORD* maxValueNameLen,
                           DWORD* maxValueLen) override;
  LSTATUS RegEnumValueW(Hkey key, DWORD index, char16_t* valueName, DWORD* valueNameLen,
                        DWORD* type, BYTE* data, DWORD* dataSize) override;
  LSTATUS RegQueryValueExW(Hkey key, const char16_t* valueName, DWORD* type, BYTE* data,
                           DWORD* dataSize) override;
  LSTATUS RegSetValueExW(Hkey key, const char16_t* valueName, DWORD type, const BYTE* data,
                         DWORD dataSize) override;
  LSTATUS RegDeleteValueW(Hkey key, const char16_t* valueName) override;
  LSTATUS RegDeleteTreeW(Hkey root, const char16_t* subKey) override;
  LSTATUS RegFlushKey(Hkey key) override;
  LSTATUS RegCloseKey(Hkey key) override;
};

}  // namespace tavrel
