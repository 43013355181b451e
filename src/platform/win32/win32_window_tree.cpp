#include "platform/win32/win32_window_tree.h"

#include <windows.h>

namespace tavrel {

static_assert(kGwChild == GW_CHILD && kGwHwndNext == GW_HWNDNEXT);

Hwnd Win32WindowTree::GetDesktopWindow() { return ::GetDesktopWindow(); }

Hwnd Win32WindowTree::GetWindow(Hwnd window, UINT command) { return ::GetWindow(window, command); }

int Win32WindowTree::GetWindowTextA(Hwnd window, char* buffer, int maxCount) {
  return ::GetWindowTextA(window, buffer, maxCount);
}

}  // namespace tavrel
