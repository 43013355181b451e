#include "shell/window_controls.h"

#include <algorithm>
#include <new>
#include <string>
#include <utility>
#include <vector>

#include "desktop/desktop.h"
#include "shell/dpi.h"
#include "shell/resource.h"
#include "shell/startup_trace.h"
#include "base/win32/wide.h"
#include "shell/scopes.h"

namespace tavrel {
namespace {

constexpr DWORD kWindowStyle =
    WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
constexpr DWORD kWindowExStyle = WS_EX_CONTROLPARENT;

UniqueFont MakeFont(const FontLayout& layout, int dpi) {
  LOGFONTW font{};
  font.lfHeight = -MulDiv(layout.hundredthsOfPoint, dpi, 7200);
  font.lfWeight = layout.weight;
  font.lfItalic = layout.italic;
  font.lfUnderline = layout.underline;
  font.lfCharSet = static_cast<BYTE>(layout.charset);
  font.lfQuality = DEFAULT_QUALITY;
  const std::wstring face = Wide(layout.face);
  wcsncpy(font.lfFaceName, face.c_str(), LF_FACESIZE - 1);
  return UniqueFont(CreateFontIndirectW(&font));
}

struct ClassAndStyle {
  const wchar_t* windowClass;
  DWORD style;
  DWORD exStyle;
};

ClassAndStyle ClassAndStyleOf(const ControlLayout& layout) {
  DWORD style = WS_CHILD | WS_VISIBLE;
  if (layout.takesFocus) style |= WS_TABSTOP;
  if (!layout.enabledAtStart) style |= WS_DISABLED;
  switch (layout.kind) {
    case ControlKind::Frame:
      return {kFrameClass, style | WS_CLIPSIBLINGS, WS_EX_CONTROLPARENT};
    case ControlKind::PictureButton:
      return {L"BUTTON", style | BS_OWNERDRAW, 0};
    case ControlKind::CheckBox:
      return {L"BUTTON", style | BS_AUTOCHECKBOX, 0};
    case ControlKind::FileBox:
      // A button to the keyboard and to screen readers; the painter draws
      // the path in it as the sunken label it looks like.
      return {L"BUTTON", style | BS_OWNERDRAW, WS_EX_STATICEDGE};
    case ControlKind::Label:
      break;
  }
  // Paths show "&" as it is; SS_NOTIFY makes labels take the mouse.
  style |= SS_NOTIFY | SS_NOPREFIX;
  return {L"STATIC", style | (layout.control == Control::LinkLabel ? SS_CENTER : SS_LEFT), 0};
}

}  // namespace

bool WindowControls::Fail(DWORD error) {
  error_ = error;
  return false;
}

bool WindowControls::MakeFonts(int dpi, Fonts& fonts) {
  LOGFONTW message{};
  if (!MessageFontAt(dpi, message)) return Fail(GetLastError());
  fonts.ui.reset(CreateFontIndirectW(&message));
  fonts.button = MakeFont(*LayoutOf(Control::LaunchButton).font, dpi);
  fonts.link = MakeFont(*LayoutOf(Control::LinkLabel).font, dpi);
  if (!fonts.ui || !fonts.button || !fonts.link) return Fail(ERROR_NOT_ENOUGH_MEMORY);
  return true;
}

bool WindowControls::CreateFonts(int dpi) {
  if (!MakeFonts(dpi, fonts_)) return false;
  dpi_ = dpi;
  return true;
}

bool WindowControls::Rescale(int dpi) {
  Fonts fonts;
  if (!MakeFonts(dpi, fonts)) return false;
  dpi_ = dpi;
  // The earlier fonts go at the end of this call, once no control uses them.
  std::swap(fonts_, fonts);
  // Either call fails only for a window that is not there; these are ours.
  for (const ControlLayout& layout : Controls()) {
    HWND control = Window(layout.control);
    const RECT r = PixelRect(layout);
    MoveWindow(control, r.left, r.top, r.right - r.left, r.bottom - r.top, FALSE);
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(FontOf(layout)), FALSE);
  }
  return true;
}

HFONT WindowControls::FontOf(const ControlLayout& layout) const {
  if (!layout.font) return fonts_.ui.get();
  return layout.control == Control::LinkLabel ? fonts_.link.get() : fonts_.button.get();
}

// Each edge is converted on its own, so that neighbours meet at any DPI.
RECT WindowControls::PixelRect(const ControlLayout& layout) const {
  const TwipsRect& r = layout.rect;
  return RECT{Px(r.left), Px(r.top), Px(r.left + r.width), Px(r.top + r.height)};
}

bool WindowControls::RegisterClasses(HINSTANCE instance, const Procedures& procedures) {
  WNDCLASSEXW main{};
  main.cbSize = sizeof main;
  main.lpfnWndProc = procedures.main;
  main.hInstance = instance;
  main.lpszClassName = AsWide(kMainWindowClass);
  // Shared cursor and icons: the system owns them. The window's background
  // is erased by the painter, which owns the brush.
  main.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  main.hIcon = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_TAVREL), IMAGE_ICON,
                                             GetSystemMetrics(SM_CXICON),
                                             GetSystemMetrics(SM_CYICON), LR_SHARED));
  main.hIconSm = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_TAVREL), IMAGE_ICON,
                                               GetSystemMetrics(SM_CXSMICON),
                                               GetSystemMetrics(SM_CYSMICON), LR_SHARED));
  if (!main.hCursor || !main.hIcon || !main.hIconSm) return Fail(ERROR_RESOURCE_NOT_FOUND);
  WNDCLASSEXW frame{};
  frame.cbSize = sizeof frame;
  frame.lpfnWndProc = procedures.frame;
  frame.hInstance = instance;
  frame.hCursor = main.hCursor;
  frame.lpszClassName = kFrameClass;
  for (const WNDCLASSEXW* windowClass : {&main, &frame}) {
    if (RegisterClassExW(windowClass)) continue;
    const DWORD error = GetLastError();
    if (error != ERROR_CLASS_ALREADY_EXISTS) return Fail(error);  // by an earlier window
  }
  return true;
}

HWND WindowControls::CreateMainWindow(HINSTANCE instance, const std::wstring& caption, void* owner,
                                      const Procedures& procedures) {
  if (!RegisterClasses(instance, procedures)) return nullptr;
  const RECT r = CentredWindowRect();
  HWND main = CreateWindowExW(kWindowExStyle, AsWide(kMainWindowClass), caption.c_str(), kWindowStyle, r.left,
                              r.top, r.right - r.left, r.bottom - r.top, nullptr, nullptr, instance, owner);
  if (!main) Fail(GetLastError());
  return main;
}

RECT WindowControls::CentredWindowRect() const {
  const WindowLayout& layout = MainWindowLayout();
  RECT frame{0, 0, Px(layout.clientWidth), Px(layout.clientHeight)};
  // Fails only for a style it does not know; the client area's size stands.
  (void)WindowRectForClient(frame, kWindowStyle, kWindowExStyle, dpi_);
  const LONG width = frame.right - frame.left;
  const LONG height = frame.bottom - frame.top;
  RECT work{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  const LONG x = work.left + std::max(0L, (work.right - work.left - width) / 2);
  const LONG y = work.top + std::max(0L, (work.bottom - work.top - height) / 2);
  return RECT{x, y, x + width, y + height};
}

bool WindowControls::CreateControls(HINSTANCE instance, HWND main, void* owner,
                                    const Procedures& procedures, const Texts& texts) {
  // Dialog navigation follows the z-order, which is the order of creation.
  for (const ControlLayout* layout : CreationOrder()) {
    HWND control = CreateControl(instance, main, owner, *layout, texts);
    if (!control) return false;
    controls_[static_cast<int>(layout->control)] = control;
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(FontOf(*layout)), FALSE);
    const bool subclassed = layout->kind == ControlKind::Label || layout->kind == ControlKind::FileBox;
    if (subclassed && !SetWindowSubclass(control, procedures.label, static_cast<UINT_PTR>(layout->control),
                                         reinterpret_cast<DWORD_PTR>(owner))) {
      return Fail(ERROR_NOT_ENOUGH_MEMORY);
    }
  }
  return true;
}

HWND WindowControls::CreateControl(HINSTANCE instance, HWND main, void* owner,
                                   const ControlLayout& layout, const Texts& texts) {
  const ClassAndStyle kind = ClassAndStyleOf(layout);
  const RECT r = PixelRect(layout);
  HWND parent = layout.insideFrame ? Window(Control::FileFrame) : main;
  const std::wstring caption = layout.caption ? Wide(texts.Get(*layout.caption)) : std::wstring();
  // The frame and the picture bind to `owner` at WM_NCCREATE.
  HWND control = CreateWindowExW(
      kind.exStyle, kind.windowClass, caption.c_str(), kind.style, r.left, r.top, r.right - r.left,
      r.bottom - r.top, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(ControlId(layout.control))),
      instance, owner);
  if (!control) Fail(GetLastError());
  return control;
}

bool WindowControls::CreateTooltip(HINSTANCE instance, HWND main, const Texts& texts) {
  INITCOMMONCONTROLSEX classes{sizeof classes, ICC_WIN95_CLASSES};
  if (!InitCommonControlsEx(&classes)) return Fail(ERROR_CLASS_DOES_NOT_EXIST);
  MarkStartup("common controls");
  tooltip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                             WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT, CW_USEDEFAULT,
                             CW_USEDEFAULT, CW_USEDEFAULT, main, nullptr, instance, nullptr);
  if (!tooltip_) return Fail(GetLastError());
  // The boxes' tooltips are sentences: they wrap at a box's width, not at the screen's.
  SendMessageW(tooltip_, TTM_SETMAXTIPWIDTH, 0, Px(LayoutOf(Control::ProgramBox).rect.width));
  for (const ControlLayout& layout : Controls()) {
    if (!layout.tooltip) continue;
    std::wstring text = Wide(texts.Get(*layout.tooltip));  // the tooltip keeps a copy
    HWND control = Window(layout.control);
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = GetParent(control);
    tool.uId = reinterpret_cast<UINT_PTR>(control);
    tool.lpszText = text.data();
    if (!SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool))) {
      return Fail(ERROR_NOT_ENOUGH_MEMORY);
    }
  }
  MarkStartup("tooltip");
  return true;
}

bool WindowControls::RegisterDropTargets(IDropSink& sink) {
  const HRESULT ole = ole_.Initialize();
  if (FAILED(ole)) return Fail(static_cast<DWORD>(ole));
  MarkStartup("OLE initialisation");
  constexpr std::pair<DropBox, Control> kBoxes[] = {{DropBox::Program, Control::ProgramBox},
                                                     {DropBox::Font, Control::FontBox}};
  for (size_t i = 0; i < std::size(kBoxes); ++i) {
    UniqueCom<DropTarget> target(new (std::nothrow) DropTarget(sink, kBoxes[i].first));
    if (!target) return Fail(ERROR_NOT_ENOUGH_MEMORY);
    const HRESULT registered = dropTargets_[i].Register(Window(kBoxes[i].second), std::move(target));
    if (FAILED(registered)) return Fail(static_cast<DWORD>(registered));
  }
  MarkStartup("drop targets");
  return true;
}

void WindowControls::ReleaseDropTargets() {
  for (DropRegistration& target : dropTargets_) target.Revoke();
  ole_.Uninitialize();
}

}  // namespace tavrel
