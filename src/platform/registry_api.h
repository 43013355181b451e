// The advapi32 registry calls Tavrel makes, with the SDK's arguments, error
// codes and buffer rules. ANSI calls count names and data in code-page bytes,
// wide calls count names in UTF-16 units and data in bytes.
#pragma once

#include "platform/unique_handle.h"
#include "platform/win_types.h"

namespace tavrel {

// Access mask the registry helpers ask for: the six specific key rights
// (query, set, create sub key, enumerate sub keys, notify, create link).
inline constexpr REGSAM kKeyRights0x3F = 0x3F;
inline constexpr REGSAM kKeyQueryValue = 0x0001;
inline constexpr REGSAM kKeySetValue = 0x0002;

class IRegistry {
 public:
  virtual ~IRegistry() = default;

  // HKEY_CURRENT_USER of this registry.
  virtual Hkey CurrentUser() const = 0;

  virtual LSTATUS RegOpenKeyExA(Hkey root, const char* subKey, DWORD options, REGSAM access,
                                Hkey* result) = 0;
  // The key is created non-volatile with an empty class and a security record
  // without descriptor whose handle is not inheritable.
  virtual LSTATUS RegCreateKeyExA(Hkey root, const char* subKey, REGSAM access, Hkey* result,
                                  DWORD* disposition) = 0;
  virtual LSTATUS RegEnumValueA(Hkey key, DWORD index, char* valueName, DWORD* valueNameSize,
                                DWORD* type, BYTE* data, DWORD* dataSize) = 0;
  virtual LSTATUS RegQueryValueExA(Hkey key, const char* valueName, DWORD* type, BYTE* data,
                                   DWORD* dataSize) = 0;
  virtual LSTATUS RegSetValueExA(Hkey key, const char* valueName, DWORD type, const BYTE* data,
                                 DWORD dataSize) = 0;

  virtual LSTATUS RegOpenKeyExW(Hkey root, const char16_t* subKey, DWORD options, REGSAM access,
                                Hkey* result) = 0;
  virtual LSTATUS RegCreateKeyExW(Hkey root, const char16_t* subKey, REGSAM access, Hkey* result,
                                  DWORD* disposition) = 0;
  // Counts of the key's values: number, longest name in UTF-16 units (without
  // its NUL), largest data in bytes. Any pointer may be null.
  virtual LSTATUS RegQueryInfoKeyW(Hkey key, DWORD* values, DWORD* maxValueNameLen,
                                   DWORD* maxValueLen) = 0;
  virtual LSTATUS RegEnumValueW(Hkey key, DWORD index, char16_t* valueName,
                                DWORD* valueNameLen, DWORD* type, BYTE* data,
                                DWORD* dataSize) = 0;
  virtual LSTATUS RegQueryValueExW(Hkey key, const char16_t* valueName, DWORD* type, BYTE* data,
                                   DWORD* dataSize) = 0;
  virtual LSTATUS RegSetValueExW(Hkey key, const char16_t* valueName, DWORD type,
                                 const BYTE* data, DWORD dataSize) = 0;
  virtual LSTATUS RegDeleteValueW(Hkey key, const char16_t* valueName) = 0;
  virtual LSTATUS RegDeleteTreeW(Hkey root, const char16_t* subKey) = 0;
  // Returns once every change to the key's hive is on disk.
  virtual LSTATUS RegFlushKey(Hkey key) = 0;

  virtual LSTATUS RegCloseKey(Hkey key) = 0;
};

using RegKeyTraits = ApiHandleTraits<IRegistry, Hkey, &IRegistry::RegCloseKey>;
// An open key, closed through the registry that opened it.
using UniqueRegKey = UniqueHandle<RegKeyTraits>;

inline UniqueRegKey MakeRegKey(IRegistry& registry) { return UniqueRegKey(RegKeyTraits{&registry}); }

}  // namespace tavrel
