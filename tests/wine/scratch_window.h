// A window the test creates and destroys: of a system class, or of a class
// registered for it with the given procedure and unregistered with it, so
// that no later test finds the class taken.
#pragma once

#include <windows.h>

#include <string>

namespace tavrel::testing {

class ScratchWindow {
 public:
  // A top-level STATIC window, or a BUTTON inside `parent`.
  explicit ScratchWindow(const std::wstring& title, HWND parent = nullptr)
      : ScratchWindow(parent ? L"BUTTON" : L"STATIC", title, parent) {}
  // A window of `className`, registered first with `procedure` when given;
  // HWND_MESSAGE as `parent` makes a message-only window.
  ScratchWindow(const wchar_t* className, const std::wstring& title, HWND parent,
                WNDPROC procedure = nullptr) {
    if (procedure) {
      WNDCLASSW wc{};
      wc.lpfnWndProc = procedure;
      wc.hInstance = GetModuleHandleW(nullptr);
      wc.lpszClassName = className;
      if (RegisterClassW(&wc)) registeredClass_ = className;
    }
    const DWORD style = parent && parent != HWND_MESSAGE ? WS_CHILD : WS_OVERLAPPED;
    hwnd_ = CreateWindowExW(0, className, title.c_str(), style, 0, 0, 50, 20, parent, nullptr,
                            GetModuleHandleW(nullptr), nullptr);
  }
  ~ScratchWindow() {
    DestroyWindow(hwnd_);
    if (registeredClass_) UnregisterClassW(registeredClass_, GetModuleHandleW(nullptr));
  }
  ScratchWindow(const ScratchWindow&) = delete;
  ScratchWindow& operator=(const ScratchWindow&) = delete;
  HWND get() const { return hwnd_; }

 private:
  HWND hwnd_ = nullptr;
  const wchar_t* registeredClass_ = nullptr;
};

}  // namespace tavrel::testing
