// A program for Tavrel to start that has no icon resource at all.  It keeps
// a hidden top-level window titled "No Icon Helper" until that window gets
// WM_CLOSE, then ends with the exit code named by NOICON_EXIT_CODE (0 when
// unset), so a test decides both when it ends and how.
#include <windows.h>

#include <cwchar>

namespace {

LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_DESTROY) PostQuitMessage(0);
  return DefWindowProcW(hwnd, message, wparam, lparam);
}

UINT ExitCode() {
  wchar_t text[32] = {};
  const DWORD length = GetEnvironmentVariableW(L"NOICON_EXIT_CODE", text, 32);
  return length > 0 && length < 32 ? static_cast<UINT>(std::wcstoul(text, nullptr, 10)) : 0;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = WindowProc;
  wc.hInstance = instance;
  wc.lpszClassName = L"NoIconHelper";
  if (!RegisterClassExW(&wc)) return 90;
  if (!CreateWindowExW(0, wc.lpszClassName, L"No Icon Helper", WS_OVERLAPPED, 0, 0, 100, 100, nullptr, nullptr,
                       instance, nullptr)) {
    return 91;
  }
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
  return static_cast<int>(ExitCode());
}
