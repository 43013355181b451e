// The launch as Tavrel's older design did it, the baseline of the launch
// figures: switch the EUDC font, start the program with ShellExecuteExA, then
// poll its exit code with Sleep(100) between passes of the message loop, and
// put the earlier value back once the code is no longer STILL_ACTIVE (259).
//
//   poll_launcher FONT PROGRAM
//
// Exit code 0 when the value is back, 1 on bad usage, 2 when the program did
// not start, 3 when the value could not be switched or put back.
#include <windows.h>
#include <shellapi.h>

#include <optional>
#include <string>
#include <vector>

#include "base/text.h"
#include "base/win32/wide.h"

namespace {

constexpr wchar_t kEudcKey[] = L"EUDC\\932";
constexpr wchar_t kFontValue[] = L"SystemDefaultEUDCFont";

struct RawValue {
  DWORD type = REG_NONE;
  std::vector<BYTE> data;
};

std::optional<RawValue> ReadValue(HKEY key) {
  RawValue value;
  DWORD size = 0;
  if (RegQueryValueExW(key, kFontValue, nullptr, &value.type, nullptr, &size) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  value.data.resize(size);
  if (RegQueryValueExW(key, kFontValue, nullptr, &value.type, value.data.data(), &size) !=
      ERROR_SUCCESS) {
    return std::nullopt;
  }
  value.data.resize(size);
  return value;
}

bool WriteValue(HKEY key, const std::optional<RawValue>& value) {
  if (!value) {
    const LSTATUS status = RegDeleteValueW(key, kFontValue);
    return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND;
  }
  return RegSetValueExW(key, kFontValue, 0, value->type, value->data.data(),
                        static_cast<DWORD>(value->data.size())) == ERROR_SUCCESS;
}

RawValue Text(const wchar_t* text) {
  const auto* bytes = reinterpret_cast<const BYTE*>(text);
  return RawValue{REG_SZ, std::vector<BYTE>(bytes, bytes + (lstrlenW(text) + 1) * sizeof(wchar_t))};
}

// One pass of the message loop, as DoEvents does it.
void DoEvents() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  if (__argc != 3) return 1;
  HKEY key = nullptr;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, kEudcKey, 0, nullptr, 0, KEY_QUERY_VALUE | KEY_SET_VALUE,
                      nullptr, &key, nullptr) != ERROR_SUCCESS) {
    return 3;
  }
  const std::optional<RawValue> saved = ReadValue(key);
  if (!WriteValue(key, Text(__wargv[1]))) {
    RegCloseKey(key);
    return 3;
  }

  // The older design's ANSI call takes the path in the ANSI code page.
  const int size = WideCharToMultiByte(CP_ACP, 0, __wargv[2], -1, nullptr, 0, nullptr, nullptr);
  std::string program(static_cast<size_t>(size > 0 ? size : 1), '\0');
  WideCharToMultiByte(CP_ACP, 0, __wargv[2], -1, program.data(), size, nullptr, nullptr);
  SHELLEXECUTEINFOA info{};
  info.cbSize = sizeof info;
  info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
  info.lpVerb = "open";
  info.lpFile = program.c_str();
  info.nShow = SW_SHOWNORMAL;
  int result = 2;
  if (ShellExecuteExA(&info) && info.hProcess) {
    DWORD code = STILL_ACTIVE;
    while (GetExitCodeProcess(info.hProcess, &code) && code == STILL_ACTIVE) {
      DoEvents();
      Sleep(100);
    }
    CloseHandle(info.hProcess);
    result = 0;
  }
  if (!WriteValue(key, saved)) result = 3;
  RegCloseKey(key);
  return result;
}
