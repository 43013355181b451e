#include "eudc/win32/eudc_key_win32.h"

#include "base/win32/filled_text.h"
#include "base/win32/wide.h"
#include "eudc/win32/registry_win32.h"

// gdi32 exports EnableEUDC, but the SDK headers do not declare it.
extern "C" __declspec(dllimport) BOOL WINAPI EnableEUDC(BOOL fEnableEUDC);

namespace tavrel {
namespace {

std::wstring KeyOf(CodePage codePage) { return WideOf(EudcKeyPath(codePage)); }

// Wine's EnableEUDC is a stub that does nothing and answers FALSE; Windows
// answers TRUE once the fonts are released or reloaded.
bool RunsOnWine() {
  const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
  return ntdll && GetProcAddress(ntdll, "wine_get_version");
}

}  // namespace

// Windows documents that GDI reads the key of the system's ANSI code page
// (the language for non-Unicode programs), which GetACP answers; a locale
// emulator that started this process may answer another one here.
CodePage Win32EudcKey::ActiveCodePage() { return GetACP(); }

KeyReading Win32EudcKey::ReadAll(CodePage codePage) { return ReadAllValues(KeyOf(codePage)); }

std::vector<WriteFailure> Win32EudcKey::Write(CodePage codePage, std::span<const RawValue> values) {
  std::vector<WriteFailure> failed;
  const OpenedKey key = CreateKey(KeyOf(codePage), KEY_SET_VALUE);
  for (const RawValue& value : values) {
    const LSTATUS status = key.error == ERROR_SUCCESS ? WriteValue(key.key.get(), value) : key.error;
    if (status != ERROR_SUCCESS) failed.push_back(WriteFailure{value.name, static_cast<ErrorCode>(status)});
  }
  return failed;
}

ErrorCode Win32EudcKey::Flush(CodePage codePage) {
  const OpenedKey key = OpenKey(KeyOf(codePage), KEY_QUERY_VALUE);
  if (key.error != ERROR_SUCCESS) return static_cast<ErrorCode>(key.error);
  return static_cast<ErrorCode>(RegFlushKey(key.key.get()));
}

ErrorCode Win32EudcKey::EnableEudc(bool enable) {
  if (::EnableEUDC(enable ? TRUE : FALSE) || RunsOnWine()) return kSuccess;
  const DWORD error = GetLastError();
  // A failure that sets no error code still is one.
  return error != ERROR_SUCCESS ? error : ERROR_CAN_NOT_COMPLETE;
}

std::optional<std::u16string> Win32EudcKey::WindowsDirectory() {
  std::optional<std::wstring> folder =
      FilledText([](wchar_t* buffer, DWORD size) { return GetWindowsDirectoryW(buffer, size); });
  if (!folder) return std::nullopt;
  // Only a drive's root ends in a backslash ("C:\").
  if (folder->ends_with(L'\\')) folder->pop_back();
  return Utf16Of(*folder);
}

}  // namespace tavrel
