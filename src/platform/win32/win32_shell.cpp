#include "platform/win32/win32_shell.h"

#include <shellapi.h>

#include <cstddef>
#include <string>

#include "platform/text.h"
#include "platform/win32/startup_trace.h"
#include "platform/win32/wide.h"

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

// shell32's ExtractIcon is user32's PrivateExtractIcons at the standard icon
// size (SM_CXICON): for index -1 the number of icons, null for none or for
// a file that cannot be read; else the icon, or null. (For a file that holds
// no icons Windows documents 1 rather than null at an index; Wine 8 answers
// null, and start-up asks for an index only after a count of one or more.)
// Calling user32 keeps shell32 and its dependencies out of start-up.
Hicon Win32Shell::ExtractIconW(Hinstance, const char16_t* exeFileName, UINT iconIndex) {
  MarkStartup("start-up logic");
  const int width = GetSystemMetrics(SM_CXICON);
  const int height = GetSystemMetrics(SM_CYICON);
  constexpr UINT kNoFile = 0xFFFFFFFF;
  Hicon icon = nullptr;
  if (iconIndex == static_cast<UINT>(-1)) {
    const UINT count = PrivateExtractIconsW(AsWide(exeFileName), 0, width, height, nullptr, nullptr, 0, 0);
    if (count != kNoFile) icon = reinterpret_cast<Hicon>(static_cast<UINT_PTR>(count));
  } else {
    HICON extracted = nullptr;
    const UINT count = PrivateExtractIconsW(AsWide(exeFileName), static_cast<int>(iconIndex), width,
                                            height, &extracted, nullptr, 1, 0);
    if (count != kNoFile && count > 0) icon = extracted;
  }
  MarkStartup("icon extraction");
  return icon;
}

BOOL Win32Shell::DestroyIcon(Hicon icon) { return ::DestroyIcon(icon); }

}  // namespace tavrel
