#include "platform/win32/win32_shell.h"

#include <windows.h>
#include <shellapi.h>

#include <cstddef>

#include "platform/win32/startup_trace.h"

namespace tavrel {

// The portable record is SHELLEXECUTEINFOA field for field. Windows checks
// cbSize against its own record (112 bytes on x86_64, 60 on 32-bit) and
// refuses anything else; Wine does not check it, so only these asserts can
// catch a wrong size.
#ifdef _WIN64
static_assert(sizeof(SHELLEXECUTEINFOA) == 112);
#else
static_assert(sizeof(SHELLEXECUTEINFOA) == 60);
#endif
static_assert(sizeof(ShellExecuteInfoA) == sizeof(SHELLEXECUTEINFOA));
static_assert(offsetof(ShellExecuteInfoA, fMask) == offsetof(SHELLEXECUTEINFOA, fMask));
static_assert(offsetof(ShellExecuteInfoA, hwnd) == offsetof(SHELLEXECUTEINFOA, hwnd));
static_assert(offsetof(ShellExecuteInfoA, lpFile) == offsetof(SHELLEXECUTEINFOA, lpFile));
static_assert(offsetof(ShellExecuteInfoA, lpParameters) ==
              offsetof(SHELLEXECUTEINFOA, lpParameters));
static_assert(offsetof(ShellExecuteInfoA, nShow) == offsetof(SHELLEXECUTEINFOA, nShow));
static_assert(offsetof(ShellExecuteInfoA, hProcess) == offsetof(SHELLEXECUTEINFOA, hProcess));
static_assert(kSeeMaskNoCloseProcess == SEE_MASK_NOCLOSEPROCESS &&
              kSeeMaskFlagNoUi == SEE_MASK_FLAG_NO_UI);

BOOL Win32Shell::ShellExecuteExA(ShellExecuteInfoA* info) {
  SHELLEXECUTEINFOA sei{};
  sei.cbSize = sizeof sei;
  sei.fMask = info->fMask;
  sei.hwnd = info->hwnd;
  sei.lpVerb = info->lpVerb;
  sei.lpFile = info->lpFile;
  sei.lpParameters = info->lpParameters;
  sei.lpDirectory = info->lpDirectory;
  sei.nShow = info->nShow;
  const BOOL started = ::ShellExecuteExA(&sei);
  info->hInstApp = sei.hInstApp;
  info->hProcess = sei.hProcess;
  return started;
}

Hicon Win32Shell::ExtractIconA(Hinstance instance, const char* exeFileName, UINT iconIndex) {
  MarkStartup("start-up logic");
  Hicon icon = ::ExtractIconA(instance, exeFileName, iconIndex);
  MarkStartup("icon extraction");
  return icon;
}

BOOL Win32Shell::DestroyIcon(Hicon icon) { return ::DestroyIcon(icon); }

}  // namespace tavrel
