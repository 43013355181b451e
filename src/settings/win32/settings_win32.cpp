#include "settings/win32/settings_win32.h"

#include <windows.h>

#include "base/win32/handles.h"
#include "base/path.h"
#include "base/win32/wide.h"

namespace tavrel {
namespace {

constexpr wchar_t kSection[] = L"Tavrel";
// Longer than any path Tavrel stores (32,767 characters and the NUL).
constexpr DWORD kLongestValue = 32768;

}  // namespace

std::wstring Win32Settings::BesideExecutable() {
  std::wstring path(MAX_PATH, L'\0');
  DWORD length = 0;
  while ((length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()))) >= path.size()) {
    path.resize(path.size() * 2);  // the path was cut to fit
  }
  path.resize(length);
  return std::wstring(WithoutExtension<wchar_t>(path)) + L".ini";
}

std::optional<std::string> Win32Settings::Read(std::string_view name) {
  std::wstring value(kLongestValue, L'\0');
  // A default no stored value can be: a missing file, section or key gives it.
  constexpr wchar_t kNone[] = L"\x01";
  const DWORD length = GetPrivateProfileStringW(kSection, Wide(name).c_str(), kNone, value.data(),
                                                kLongestValue, file_.c_str());
  value.resize(length);
  if (value == kNone) return std::nullopt;
  return Narrow(value);
}

bool Win32Settings::Write(std::string_view name, std::string_view value) {
  if (!CreateAsUtf16()) return false;
  return WritePrivateProfileStringW(kSection, Wide(name).c_str(), Wide(value).c_str(), file_.c_str());
}

// The profile calls write a new file in the ANSI code page, which cannot hold
// every path; a file that begins with the UTF-16 byte-order mark they keep in
// UTF-16.
bool Win32Settings::CreateAsUtf16() {
  const HANDLE created = CreateFileW(file_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                     FILE_ATTRIBUTE_NORMAL, nullptr);
  if (created == INVALID_HANDLE_VALUE) return GetLastError() == ERROR_FILE_EXISTS;
  const UniqueWin32Handle file(created);
  constexpr unsigned char kByteOrderMark[] = {0xFF, 0xFE};
  DWORD written = 0;
  return WriteFile(file.get(), kByteOrderMark, sizeof kByteOrderMark, &written, nullptr) &&
         written == sizeof kByteOrderMark;
}

}  // namespace tavrel
