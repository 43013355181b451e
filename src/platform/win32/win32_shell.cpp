#include "platform/win32/win32_shell.h"

#include <shellapi.h>

#include <cstddef>

#include "platform/win32/wide.h"

namespace tavrel {

// The portable record is SHELLEXECUTEINFOW field for field. Windows checks
// cbSize against its own record (112 bytes on x86_64, 60 on 32-bit) and
// refuses anything else; Wine does not check it, so only these asserts can
// catch a wrong size.
#ifdef _WIN64
static_assert(sizeof(SHELLEXECUTEINFOW) == 112);
#else
static_assert(sizeof(SHELLEXECUTEINFOW) == 60);
#endif
static_assert(sizeof(ShellExecuteInfoW) == sizeof(SHELLEXECUTEINFOW));
static_assert(offsetof(ShellExecuteInfoW, fMask) == offsetof(SHELLEXECUTEINFOW, fMask));
static_assert(offsetof(ShellExecuteInfoW, hwnd) == offsetof(SHELLEXECUTEINFOW, hwnd));
static_assert(offsetof(ShellExecuteInfoW, lpFile) == offsetof(SHELLEXECUTEINFOW, lpFile));
static_assert(offsetof(ShellExecuteInfoW, lpParameters) ==
              offsetof(SHELLEXECUTEINFOW, lpParameters));
static_assert(offsetof(ShellExecuteInfoW, nShow) == offsetof(SHELLEXECUTEINFOW, nShow));
static_assert(offsetof(ShellExecuteInfoW, hProcess) == offsetof(SHELLEXECUTEINFOW, hProcess));
static_assert(kSeeMaskNoCloseProcess == SEE_MASK_NOCLOSEPROCESS &&
              kSeeMaskFlagNoUi == SEE_MASK_FLAG_NO_UI);

BOOL Win32Shell::ShellExecuteExW(ShellExecuteInfoW* info) {
  SHELLEXECUTEINFOW sei{};
  sei.cbSize = sizeof sei;
  sei.fMask = info->fMask;
  sei.hwnd = info->hwnd;
  sei.lpVerb = AsWide(info->lpVerb);
  sei.lpFile = AsWide(info->lpFile);
  sei.lpParameters = AsWide(info->lpParameters);
  sei.lpDirectory = AsWide(info->lpDirectory);
  sei.nShow = info->nShow;
  const BOOL started = ::ShellExecuteExW(&sei);
  Checked(started, !started);
  info->hInstApp = sei.hInstApp;
  info->hProcess = sei.hProcess;
  return started;
}

Hicon Win32Shell::ExtractIconW(Hinstance instance, const char16_t* exeFileName, UINT iconIndex) {
  return ::ExtractIconW(instance, AsWide(exeFileName), iconIndex);
}

BOOL Win32Shell::DestroyIcon(Hicon icon) { return ::DestroyIcon(icon); }

}  // namespace tavrel
