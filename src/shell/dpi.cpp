#include "shell/dpi.h"

#include "shell/scopes.h"

namespace tavrel {
namespace {

// A function of user32 that this Windows may lack; null when it does.
template <typename Function>
Function* User32Function(const char* name) {
  const HMODULE user32 = GetModuleHandleW(L"user32.dll");
  const FARPROC found = user32 ? GetProcAddress(user32, name) : nullptr;
  return reinterpret_cast<Function*>(reinterpret_cast<void*>(found));
}

}  // namespace

int SystemDpi() {
  const WindowDc screen(nullptr);
  // Without a screen DC nothing can be drawn anyway; 96 is Windows' own default.
  return screen ? GetDeviceCaps(screen.get(), LOGPIXELSY) : USER_DEFAULT_SCREEN_DPI;
}

// Windows 10, 1607 and later.
int WindowDpi(HWND window) {
  const auto getDpiForWindow = User32Function<UINT WINAPI(HWND)>("GetDpiForWindow");
  const UINT dpi = getDpiForWindow ? getDpiForWindow(window) : 0;
  return dpi != 0 ? static_cast<int>(dpi) : SystemDpi();
}

bool WindowRectForClient(RECT& client, DWORD style, DWORD exStyle, int dpi) {
  // Windows 10, 1607 and later; before, the frame has the system DPI's size.
  const auto adjustForDpi =
      User32Function<BOOL WINAPI(RECT*, DWORD, BOOL, DWORD, UINT)>("AdjustWindowRectExForDpi");
  if (adjustForDpi) return adjustForDpi(&client, style, FALSE, exStyle, static_cast<UINT>(dpi));
  return AdjustWindowRectEx(&client, style, FALSE, exStyle);
}

bool MessageFontAt(int dpi, LOGFONTW& font) {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  // Windows 10, 1607 and later: the metrics at that DPI.
  const auto forDpi =
      User32Function<BOOL WINAPI(UINT, UINT, void*, UINT, UINT)>("SystemParametersInfoForDpi");
  if (forDpi) {
    if (!forDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, static_cast<UINT>(dpi))) return false;
    font = metrics.lfMessageFont;
    return true;
  }
  // Before, they come at the system DPI: scaled to the window's.
  if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) return false;
  font = metrics.lfMessageFont;
  font.lfHeight = MulDiv(font.lfHeight, dpi, SystemDpi());
  return true;
}

}  // namespace tavrel
