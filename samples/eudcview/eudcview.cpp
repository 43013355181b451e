// EUDC Viewer: the program Tavrel starts in the demo and in the end-to-end
// tests.  It reads the system EUDC font of the ANSI code page in use (the
// key GDI draws from: EUDC\932 on a Japanese system) as it is when the
// program starts, tells the tests what it saw, and shows the user-defined
// characters U+E000..U+E009 with that setting.
//
//   eudcview [--exit-code N] [--exit-after-ms N] [--no-window]
//   eudcview --launch [OPTIONS]
//
// With --launch it is a launcher, as a menu or splash screen is: after a
// moment it starts another eudcview with the options that follow, then ends
// without a report of its own.
//
// Started without arguments (as Tavrel starts a program), it takes them from
// EUDCVIEW_OPTIONS in the environment, if set.
//
// With EUDCVIEW_REPORT=<file> in the environment it first writes that file as
// UTF-8 lines "font=<value>" and "pid=<process id>", each ending in "\n".
#include <windows.h>
#include <shellapi.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "base/win32/wide.h"
#include "base/win32/handles.h"

namespace {

constexpr int kIconId = 1;        // ICON resource in eudcview.rc
constexpr int kBadUsage = 90;     // exit codes of our own, clear of 259 & 0xFF (3)
constexpr int kNoReport = 91;
constexpr int kNoWindow = 92;
constexpr int kNoChild = 93;
constexpr DWORD kSplashMs = 100;  // the launcher's moment before it starts the program
constexpr wchar_t kTitle[] = L"EUDC Viewer";
constexpr std::wstring_view kCharacters = L"\uE000\uE001\uE002\uE003\uE004\uE005\uE006\uE007\uE008\uE009";

using UniqueHandle = tavrel::UniqueWin32Handle;
using tavrel::UniqueFont;

struct Options {
  UINT exit_code = 0;
  std::optional<UINT> exit_after_ms;  // none: run until the window is closed
  bool no_window = false;
};

std::optional<UINT> ParseNumber(const wchar_t* text) {
  if (*text < L'0' || *text > L'9') return std::nullopt;
  wchar_t* end = nullptr;
  errno = 0;
  const unsigned long value = std::wcstoul(text, &end, 10);
  if (*end != L'\0' || errno == ERANGE || value > UINT_MAX) return std::nullopt;
  return static_cast<UINT>(value);
}

std::optional<Options> ParseOptions(int argc, wchar_t** argv) {
  Options options;
  for (int i = 1; i < argc; ++i) {
    const std::wstring_view name = argv[i];
    if (name == L"--no-window") {
      options.no_window = true;
      continue;
    }
    const auto value = i + 1 < argc ? ParseNumber(argv[++i]) : std::nullopt;
    if (!value) return std::nullopt;
    if (name == L"--exit-code") {
      options.exit_code = *value;
    } else if (name == L"--exit-after-ms") {
      options.exit_after_ms = *value;
    } else {
      return std::nullopt;
    }
  }
  return options;
}

// HKCU\EUDC\<code page> SystemDefaultEUDCFont as stored (REG_EXPAND_SZ is
// not expanded); empty when the key or the value is missing.
std::wstring ReadEudcFont() {
  constexpr DWORD kFlags = RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND;
  const std::wstring key = L"EUDC\\" + std::to_wstring(GetACP());
  std::wstring value(MAX_PATH, L'\0');
  for (;;) {
    DWORD bytes = static_cast<DWORD>(value.size() * sizeof(wchar_t));
    const LSTATUS status = RegGetValueW(HKEY_CURRENT_USER, key.c_str(), L"SystemDefaultEUDCFont",
                                        kFlags, nullptr, value.data(), &bytes);
    if (status == ERROR_MORE_DATA) {
      value.resize(bytes / sizeof(wchar_t) + 1);
      continue;
    }
    if (status != ERROR_SUCCESS) return {};
    value.resize(bytes / sizeof(wchar_t));
    if (const auto nul = value.find(L'\0'); nul != std::wstring::npos) value.resize(nul);
    return value;
  }
}

std::wstring GetEnv(const wchar_t* name) {
  std::wstring value(GetEnvironmentVariableW(name, nullptr, 0), L'\0');
  if (value.empty()) return {};
  value.resize(GetEnvironmentVariableW(name, value.data(), static_cast<DWORD>(value.size())));
  return value;
}

// Writes the report beside its final name and then renames it, so that a test
// waiting for the file never reads half of it.
bool WriteReport(const std::wstring& font) {
  const std::wstring path = GetEnv(L"EUDCVIEW_REPORT");
  if (path.empty()) return true;
  std::wstring folder(MAX_PATH + 1, L'\0');
  folder.resize(GetCurrentDirectoryW(static_cast<DWORD>(folder.size()), folder.data()));
  STARTUPINFOW startup{};
  GetStartupInfoW(&startup);
  const int show = startup.dwFlags & STARTF_USESHOWWINDOW ? startup.wShowWindow : -1;
  const std::string text = "font=" + tavrel::Narrow(font) + "\npid=" + std::to_string(GetCurrentProcessId()) +
                           "\nfolder=" + tavrel::Narrow(folder) + "\nline=" + tavrel::Narrow(GetCommandLineW()) +
                           "\nshow=" + std::to_string(show) + "\n";
  const std::wstring partial = path + L".partial";
  {
    const HANDLE raw = CreateFileW(partial.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                   FILE_ATTRIBUTE_NORMAL, nullptr);
    if (raw == INVALID_HANDLE_VALUE) return false;
    const UniqueHandle file(raw);
    DWORD written = 0;
    if (!WriteFile(file.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr) ||
        written != text.size()) {
      return false;
    }
  }
  return MoveFileExW(partial.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING) != FALSE;
}

struct Viewer {
  std::wstring font_value;
  UniqueFont large;
};

class Painting {  // BeginPaint .. EndPaint for the scope
 public:
  explicit Painting(HWND window) : window_(window) { BeginPaint(window_, &ps_); }
  ~Painting() { EndPaint(window_, &ps_); }
  Painting(const Painting&) = delete;
  Painting& operator=(const Painting&) = delete;
  HDC dc() const { return ps_.hdc; }

 private:
  HWND window_;
  PAINTSTRUCT ps_{};
};

class Selection {  // selects a GDI object into a DC for the scope
 public:
  Selection(HDC dc, HGDIOBJ object) : dc_(dc), old_(SelectObject(dc, object)) {}
  ~Selection() { SelectObject(dc_, old_); }
  Selection(const Selection&) = delete;
  Selection& operator=(const Selection&) = delete;

 private:
  HDC dc_;
  HGDIOBJ old_;
};

void Paint(HWND window, const Viewer& viewer) {
  const Painting painting(window);
  const HDC dc = painting.dc();
  SetBkMode(dc, TRANSPARENT);
  RECT client;
  GetClientRect(window, &client);
  {
    const Selection font(dc, viewer.large.get());
    TextOutW(dc, 16, 20, kCharacters.data(), static_cast<int>(kCharacters.size()));
  }
  const Selection font(dc, GetStockObject(DEFAULT_GUI_FONT));
  const std::wstring line = L"SystemDefaultEUDCFont: " + viewer.font_value;
  RECT box{16, 96, client.right - 16, client.bottom - 8};
  DrawTextW(dc, line.c_str(), static_cast<int>(line.size()), &box,
            DT_SINGLELINE | DT_NOPREFIX | DT_PATH_ELLIPSIS);
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_NCCREATE: {
      const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lparam);
      SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
      break;
    }
    case WM_PAINT:
      if (const auto* viewer = reinterpret_cast<const Viewer*>(GetWindowLongPtrW(window, GWLP_USERDATA))) {
        Paint(window, *viewer);
        return 0;
      }
      break;
    case WM_TIMER:
      DestroyWindow(window);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcW(window, message, wparam, lparam);
}

// Starts this program again with the arguments after --launch (none holds
// a quote or ends in a backslash: quotes around each are enough).
int Launch(int argc, wchar_t** argv) {
  Sleep(kSplashMs);
  // The child takes only the options it is given, never --launch again.
  SetEnvironmentVariableW(L"EUDCVIEW_OPTIONS", nullptr);
  std::wstring self(MAX_PATH, L'\0');
  self.resize(GetModuleFileNameW(nullptr, self.data(), static_cast<DWORD>(self.size())));
  std::wstring line = L"\"" + self + L"\"";
  for (int i = 2; i < argc; ++i) line += L" \"" + std::wstring(argv[i]) + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION started{};
  if (!CreateProcessW(self.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &started)) {
    return kNoChild;
  }
  CloseHandle(started.hThread);
  CloseHandle(started.hProcess);
  return 0;
}

HICON LoadAppIcon(HINSTANCE instance, int size_metric) {
  const int size = GetSystemMetrics(size_metric);
  return static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(kIconId), IMAGE_ICON, size, size,
                                       LR_SHARED));
}

bool RunWindow(HINSTANCE instance, int show, Viewer& viewer, std::optional<UINT> exit_after_ms) {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = WindowProc;
  wc.hInstance = instance;
  wc.hIcon = LoadAppIcon(instance, SM_CXICON);
  wc.hIconSm = LoadAppIcon(instance, SM_CXSMICON);
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  wc.lpszClassName = L"TavrelEudcViewer";
  if (!RegisterClassExW(&wc)) return false;

  const HWND window = CreateWindowExW(0, wc.lpszClassName, kTitle, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                      CW_USEDEFAULT, 480, 200, nullptr, nullptr, instance, &viewer);
  if (!window) return false;
  if (exit_after_ms) SetTimer(window, 1, *exit_after_ms, nullptr);
  ShowWindow(window, show);
  UpdateWindow(window);

  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return true;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
  const std::wstring font = ReadEudcFont();  // before anything else: the setting at start
  int argc = __argc;
  wchar_t** argv = __wargv;
  std::unique_ptr<wchar_t*, decltype(&LocalFree)> fromEnvironment(nullptr, &LocalFree);
  if (argc <= 1) {
    const std::wstring extra = GetEnv(L"EUDCVIEW_OPTIONS");
    if (!extra.empty()) {
      int count = 0;
      fromEnvironment.reset(CommandLineToArgvW((L"eudcview " + extra).c_str(), &count));
      if (fromEnvironment) argc = count, argv = fromEnvironment.get();
    }
  }
  if (argc > 1 && std::wstring_view(argv[1]) == L"--launch") return Launch(argc, argv);
  const auto options = ParseOptions(argc, argv);
  if (!options) return kBadUsage;
  if (!WriteReport(font)) return kNoReport;

  if (options->no_window) {
    if (options->exit_after_ms) Sleep(*options->exit_after_ms);
    return static_cast<int>(options->exit_code);
  }

  Viewer viewer{font, UniqueFont(CreateFontW(-36, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                                             SHIFTJIS_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                             DEFAULT_QUALITY, FIXED_PITCH | FF_ROMAN,
                                             L"\uFF2D\uFF33 \u660E\u671D"))};  // MS Mincho
  if (!RunWindow(instance, show, viewer, options->exit_after_ms)) return kNoWindow;
  return static_cast<int>(options->exit_code);
}
