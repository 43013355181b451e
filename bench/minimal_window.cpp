// The smallest Win32 programs with a window, the baselines of the start-up
// figures:
//  - minimal_window.exe: one empty top-level window and its message loop,
//    nothing else;
//  - themed_window.exe (BENCH_THEMED): the same with what any window of
//    Tavrel's kind carries that the user sees or uses at once: the manifest
//    of version-6 common controls (Windows loads comctl32 at the first
//    button), one check box, and an OLE drop target, registered once the
//    first paint is done.
#include <windows.h>
#ifdef BENCH_THEMED
#include <ole2.h>
#endif

namespace {

#ifdef BENCH_THEMED
constexpr UINT kFirstPaintDone = WM_APP;

// Refuses every drag: only its registration is measured.
class RefusingDropTarget final : public IDropTarget {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
    if (IsEqualIID(riid, __uuidof(IUnknown)) || IsEqualIID(riid, __uuidof(IDropTarget))) {
      *object = this;
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }  // lives as long as the program
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE DragEnter(IDataObject*, DWORD, POINTL, DWORD* effect) override {
    *effect = DROPEFFECT_NONE;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE DragOver(DWORD, POINTL, DWORD* effect) override {
    *effect = DROPEFFECT_NONE;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE DragLeave() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE Drop(IDataObject*, DWORD, POINTL, DWORD* effect) override {
    *effect = DROPEFFECT_NONE;
    return S_OK;
  }
};

RefusingDropTarget dropTarget;
#endif

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
#ifdef BENCH_THEMED
  if (message == kFirstPaintDone) {
    OleInitialize(nullptr);
    RegisterDragDrop(window, &dropTarget);
    return 0;
  }
  if (message == WM_DESTROY) RevokeDragDrop(window);
#endif
  if (message == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcW(window, message, wparam, lparam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = WindowProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  wc.lpszClassName = L"BenchMinimalWindow";
  if (!RegisterClassW(&wc)) return 1;
  const HWND window = CreateWindowW(wc.lpszClassName, L"Minimal Window", WS_OVERLAPPEDWINDOW,
                                    CW_USEDEFAULT, CW_USEDEFAULT, 400, 300, nullptr, nullptr,
                                    instance, nullptr);
  if (!window) return 1;
#ifdef BENCH_THEMED
  CreateWindowW(L"BUTTON", L"Check box", WS_CHILD | WS_VISIBLE | BS_AUTOCHECKBOX, 10, 10, 200, 20,
                window, nullptr, instance, nullptr);
#endif
  ShowWindow(window, show);
  UpdateWindow(window);
#ifdef BENCH_THEMED
  PostMessageW(window, kFirstPaintDone, 0, 0);
#endif
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return static_cast<int>(msg.wParam);
}
