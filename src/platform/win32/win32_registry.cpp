#include "platform/win32/win32_registry.h"

#include <windows.h>

#include <type_traits>

#include "platform/win32/wide.h"

namespace tavrel {

static_assert(std::is_same_v<Hkey, HKEY>);
static_assert(std::is_same_v<tavrel::DWORD, ::DWORD>);
static_assert(kErrorSuccess == ERROR_SUCCESS && kErrorFileNotFound == ERROR_FILE_NOT_FOUND &&
              kErrorMoreData == ERROR_MORE_DATA && kErrorNoMoreItems == ERROR_NO_MORE_ITEMS &&
              kErrorAccessDenied == ERROR_ACCESS_DENIED &&
              kErrorAlreadyExists == ERROR_ALREADY_EXISTS);
static_assert(kRegSz == REG_SZ && kRegExpandSz == REG_EXPAND_SZ && kRegDword == REG_DWORD &&
              kRegBinary == REG_BINARY && kRegMultiSz == REG_MULTI_SZ);
static_assert(kKeyRights0x3F ==
              (KEY_QUERY_VALUE | KEY_SET_VALUE | KEY_CREATE_SUB_KEY | KEY_ENUMERATE_SUB_KEYS |
               KEY_NOTIFY | KEY_CREATE_LINK));

namespace {

// A security record without descriptor whose handle is not inherited, as the
// key creation asks for.
SECURITY_ATTRIBUTES NotInheritable() {
  SECURITY_ATTRIBUTES sa{};
  sa.nLength = sizeof sa;
  sa.lpSecurityDescriptor = nullptr;
  sa.bInheritHandle = FALSE;
  return sa;
}

}  // namespace

Hkey Win32Registry::CurrentUser() const { return HKEY_CURRENT_USER; }

LSTATUS Win32Registry::RegOpenKeyExA(Hkey root, const char* subKey, DWORD options, REGSAM access,
                                     Hkey* result) {
  return ::RegOpenKeyExA(root, subKey, options, access, result);
}

LSTATUS Win32Registry::RegCreateKeyExA(Hkey root, const char* subKey, REGSAM access, Hkey* result,
                                       DWORD* disposition) {
  SECURITY_ATTRIBUTES sa = NotInheritable();
  char emptyClass[] = "";
  return ::RegCreateKeyExA(root, subKey, 0, emptyClass, REG_OPTION_NON_VOLATILE, access, &sa,
                           result, reinterpret_cast<::DWORD*>(disposition));
}

LSTATUS Win32Registry::RegEnumValueA(Hkey key, DWORD index, char* valueName,
                                     DWORD* valueNameSize, DWORD* type, BYTE* data,
                                     DWORD* dataSize) {
  return ::RegEnumValueA(key, index, valueName, valueNameSize, nullptr, type, data, dataSize);
}

LSTATUS Win32Registry::RegQueryValueExA(Hkey key, const char* valueName, DWORD* type, BYTE* data,
                                        DWORD* dataSize) {
  return ::RegQueryValueExA(key, valueName, nullptr, type, data, dataSize);
}

LSTATUS Win32Registry::RegSetValueExA(Hkey key, const char* valueName, DWORD type,
                                      const BYTE* data, DWORD dataSize) {
  return ::RegSetValueExA(key, valueName, 0, type, data, dataSize);
}

LSTATUS Win32Registry::RegOpenKeyExW(Hkey root, const char16_t* subKey, DWORD options,
                                     REGSAM access, Hkey* result) {
  return ::RegOpenKeyExW(root, AsWide(subKey), options, access, result);
}

LSTATUS Win32Registry::RegCreateKeyExW(Hkey root, const char16_t* subKey, REGSAM access,
                                       Hkey* result, DWORD* disposition) {
  SECURITY_ATTRIBUTES sa = NotInheritable();
  wchar_t emptyClass[] = L"";
  return ::RegCreateKeyExW(root, AsWide(subKey), 0, emptyClass, REG_OPTION_NON_VOLATILE, access,
                           &sa, result, disposition);
}

LSTATUS Win32Registry::RegQueryInfoKeyW(Hkey key, DWORD* values, DWORD* maxValueNameLen,
                                        DWORD* maxValueLen) {
  return ::RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, values,
                            maxValueNameLen, maxValueLen, nullptr, nullptr);
}

LSTATUS Win32Registry::RegEnumValueW(Hkey key, DWORD index, char16_t* valueName,
                                     DWORD* valueNameLen, DWORD* type, BYTE* data,
                                     DWORD* dataSize) {
  return ::RegEnumValueW(key, index, AsWide(valueName), valueNameLen, nullptr, type, data,
                         dataSize);
}

LSTATUS Win32Registry::RegQueryValueExW(Hkey key, const char16_t* valueName, DWORD* type,
                                        BYTE* data, DWORD* dataSize) {
  return ::RegQueryValueExW(key, AsWide(valueName), nullptr, type, data, dataSize);
}

LSTATUS Win32Registry::RegSetValueExW(Hkey key, const char16_t* valueName, DWORD type,
                                      const BYTE* data, DWORD dataSize) {
  return ::RegSetValueExW(key, AsWide(valueName), 0, type, data, dataSize);
}

LSTATUS Win32Registry::RegDeleteValueW(Hkey key, const char16_t* valueName) {
  return ::RegDeleteValueW(key, AsWide(valueName));
}

LSTATUS Win32Registry::RegDeleteTreeW(Hkey root, const char16_t* subKey) {
  return ::RegDeleteTreeW(root, AsWide(subKey));
}

LSTATUS Win32Registry::RegFlushKey(Hkey key) { return ::RegFlushKey(key); }

LSTATUS Win32Registry::RegCloseKey(Hkey key) { return ::RegCloseKey(key); }

}  // namespace tavrel
