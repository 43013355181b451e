// IWindowTree over user32.
#pragma once

#include "platform/window_tree_api.h"

namespace tavrel {

class Win32WindowTree final : public IWindowTree {
 public:
  Hwnd GetDesktopWindow() override;
  Hwnd GetWindow(Hwnd window, UINT command) override;
  int GetWindowTextA(Hwnd window, char* buffer, int maxCount) override;
  Hwnd GetAncestor(Hwnd window, UINT flags) override;
  int GetClassNameW(Hwnd window, char16_t* buffer, int maxCount) override;
};

}  // namespace tavrel
