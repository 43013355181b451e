// user32's view of the window tree, for the search by title.
#pragma once

#include "platform/win_types.h"

namespace tavrel {

class IWindowTree {
 public:
  virtual ~IWindowTree() = default;
  virtual Hwnd GetDesktopWindow() = 0;
  virtual Hwnd GetWindow(Hwnd window, UINT command) = 0;
  // Copies at most maxCount - 1 bytes of the title (code page 932) and a NUL.
  virtual int GetWindowTextA(Hwnd window, char* buffer, int maxCount) = 0;
  // With kGaRoot: the top-level window that `window` belongs to.
  virtual Hwnd GetAncestor(Hwnd window, UINT flags) = 0;
  // Copies at most maxCount - 1 UTF-16 units of the window's class name and a NUL.
  virtual int GetClassNameW(Hwnd window, char16_t* buffer, int maxCount) = 0;
};

}  // namespace tavrel
