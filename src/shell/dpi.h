// The DPI a window is drawn at. Windows 10 gives each monitor its own DPI
// and tells a per-monitor aware window when it moves to another
// (WM_DPICHANGED); Windows 7 and 8 have one system DPI for every window. The
// calls that Windows 10 added are looked up at run time, never imported, so
// that Tavrel still starts on Windows 7.
#pragma once

#include <windows.h>

namespace tavrel {

// The DPI of the screen at start-up: every window's DPI where Windows has no other.
int SystemDpi();
// The DPI of `window`: its monitor's on Windows 10, the system DPI before.
int WindowDpi(HWND window);
// The window rectangle around `client` at `dpi` (the frame and caption
// scaled to it where Windows can); false when the call failed.
bool WindowRectForClient(RECT& client, DWORD style, DWORD exStyle, int dpi);
// The font Windows uses for messages, at `dpi`; false when it cannot be read.
bool MessageFontAt(int dpi, LOGFONTW& font);

}  // namespace tavrel
