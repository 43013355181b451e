#include "platform/win32/win32_window_tree.h"

#include <windows.h>

#include "platform/win32/wide.h"

namespace tavrel {

static_assert(kGwChild == GW_CHILD && kGwHwndNext == GW_HWNDNEXT && kGaRoot == GA_ROOT);

Hwnd Win32WindowTree::GetDesktopWindow() { return ::GetDesktopWindow(); }

Hwnd Win32WindowTree::GetWindow(Hwnd window, UINT command) { return ::GetWindow(window, command); }

int Win32WindowTree::GetWindowTextA(Hwnd window, char* buffer, int maxCount) {
  return ::GetWindowTextA(window, buffer, maxCount);
}

Hwnd Win32WindowTree::GetAncestor(Hwnd window, UINT flags) { return ::GetAncestor(window, flags); }

int Win32WindowTree::GetClassNameW(Hwnd window, char16_t* buffer, int maxCount) {
  return ::GetClassNameW(window, AsWide(buffer), maxCount);
}

}  // namespace tavrel
