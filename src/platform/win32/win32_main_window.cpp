#include "platform/win32/win32_main_window.h"

#include <commctrl.h>

#include <algorithm>
#include <vector>

#include "app/command_routing.h"
#include "app/maker.h"
#include "platform/win32/resource.h"
#include "platform/win32/startup_trace.h"
#include "platform/win32/wide.h"
#include "platform/win32/win32_drop_target.h"

namespace tavrel {
namespace {

constexpr wchar_t kFrameClass[] = L"TavrelFrame";
constexpr wchar_t kPictureClass[] = L"TavrelPicture";
constexpr DWORD kWindowStyle =
    WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
constexpr DWORD kWindowExStyle = WS_EX_CONTROLPARENT;
// The picture of a picture button sits this far (pixels at 96 DPI) above its caption.
constexpr int kPictureGap = 2;
// Frame1's title starts this far (pixels at 96 DPI) from its left edge.
constexpr int kFrameTitleIndent = 8;

static_assert(kIdYes == IDYES && kIdNo == IDNO && kMbYesNo == MB_YESNO &&
              kMbIconInformation == MB_ICONINFORMATION);
static_assert(kBnClicked == BN_CLICKED && kBnDoubleClicked == BN_DOUBLECLICKED &&
              kStnClicked == STN_CLICKED && kStnDblClk == STN_DBLCLK);

template <typename T>
T* Self(HWND hwnd) {
  return reinterpret_cast<T*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

// Stores `this` from the creation record at WM_NCCREATE, clears it at
// WM_NCDESTROY; the window's owner between the two.
MainWindow* Bind(HWND hwnd, UINT message, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* self = Self<MainWindow>(hwnd);
  if (message == WM_NCDESTROY) SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
  return self;
}

std::wstring WindowText(HWND hwnd) {
  std::wstring text(static_cast<size_t>(GetWindowTextLengthW(hwnd)) + 1, L'\0');
  text.resize(static_cast<size_t>(GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()))));
  return text;
}

UniqueWin32Icon LoadIconResource(HINSTANCE instance, int id, int size) {
  return UniqueWin32Icon(static_cast<HICON>(
      LoadImageW(instance, MAKEINTRESOURCEW(id), IMAGE_ICON, size, size, LR_DEFAULTCOLOR)));
}

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

}  // namespace

MainWindow::MainWindow(HINSTANCE instance) : instance_(instance) {
  for (const ControlLayout& layout : Controls()) {
    textColours_[static_cast<int>(layout.control)] = layout.fore.value_or(Colour::System(COLOR_BTNTEXT));
  }
}

MainWindow::~MainWindow() {
  if (hwnd_) DestroyWindow(hwnd_);
}

bool MainWindow::RegisterClasses(HINSTANCE instance) {
  WNDCLASSEXW main{};
  main.cbSize = sizeof main;
  main.lpfnWndProc = RoutedProc<&MainWindow::OnMessage>;
  main.hInstance = instance;
  main.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  const Colour back = MainWindowLayout().back;
  // The class owns its background brush; Windows deletes it with the class.
  main.hbrBackground = CreateSolidBrush(RGB(back.Red(), back.Green(), back.Blue()));
  main.lpszClassName = kClassName;
  main.hIcon = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_TAVREL), IMAGE_ICON,
                                             GetSystemMetrics(SM_CXICON),
                                             GetSystemMetrics(SM_CYICON), LR_SHARED));
  main.hIconSm = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_TAVREL), IMAGE_ICON,
                                               GetSystemMetrics(SM_CXSMICON),
                                               GetSystemMetrics(SM_CYSMICON), LR_SHARED));
  WNDCLASSEXW frame{};
  frame.cbSize = sizeof frame;
  frame.lpfnWndProc = RoutedProc<&MainWindow::OnFrameMessage>;
  frame.hInstance = instance;
  frame.hCursor = main.hCursor;
  frame.lpszClassName = kFrameClass;
  WNDCLASSEXW picture = frame;
  picture.lpfnWndProc = PictureProc;
  picture.lpszClassName = kPictureClass;
  return RegisterClassExW(&main) && RegisterClassExW(&frame) && RegisterClassExW(&picture);
}

// --- geometry and resources ---

int MainWindow::Px(int twips) const { return TwipsToPixels(twips, dpi_); }

RECT MainWindow::ClientRectOf(const ControlLayout& layout) const {
  return RECT{Px(layout.rect.left), Px(layout.rect.top), Px(layout.rect.left + layout.rect.width),
              Px(layout.rect.top + layout.rect.height)};
}

COLORREF MainWindow::Resolve(Colour colour) const {
  if (colour.IsSystem()) return GetSysColor(colour.SystemIndex());
  return RGB(colour.Red(), colour.Green(), colour.Blue());
}

HBRUSH MainWindow::Brush(COLORREF colour) {
  auto& brush = brushes_[colour];
  if (!brush) brush.reset(CreateSolidBrush(colour));
  return brush.get();
}

void MainWindow::CreateFonts() {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
  uiFont_.reset(CreateFontIndirectW(&metrics.lfMessageFont));
  buttonFont_ = MakeFont(*LayoutOf(Control::cmdExecSoft).font, dpi_);
  linkFont_ = MakeFont(*LayoutOf(Control::Label1_3).font, dpi_);
}

std::optional<Control> MainWindow::ControlOf(int id) { return ControlWithId(id); }

// --- creation ---

bool MainWindow::Create() {
  if (!RegisterClasses(instance_)) return false;
  {
    HDC screen = GetDC(nullptr);
    dpi_ = GetDeviceCaps(screen, LOGPIXELSY);  // the system DPI: the process is system-aware
    ReleaseDC(nullptr, screen);
  }
  CreateFonts();
  endIcon_ = LoadIconResource(instance_, IDI_END, Px(480));
  placeholderIcon_ = LoadIconResource(instance_, IDI_EXEC_PLACEHOLDER, Px(480));

  const WindowLayout& layout = MainWindowLayout();
  RECT frame{0, 0, Px(layout.clientWidth), Px(layout.clientHeight)};
  AdjustWindowRectEx(&frame, kWindowStyle, FALSE, kWindowExStyle);
  const int width = frame.right - frame.left;
  const int height = frame.bottom - frame.top;
  RECT work{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  const int x = work.left + std::max(0L, (work.right - work.left - width) / 2);
  const int y = work.top + std::max(0L, (work.bottom - work.top - height) / 2);
  if (caption_.empty()) caption_ = Wide(layout.caption);
  hwnd_ = CreateWindowExW(kWindowExStyle, kClassName, caption_.c_str(), kWindowStyle, x, y, width,
                          height, nullptr, nullptr, instance_, this);
  if (!hwnd_) return false;

  // Within each parent the controls are created in tab order: dialog
  // navigation follows the z-order, which is the order of creation.
  std::vector<const ControlLayout*> order;
  for (const ControlLayout& c : Controls()) order.push_back(&c);
  std::stable_sort(order.begin(), order.end(), [](const ControlLayout* a, const ControlLayout* b) {
    return std::pair(a->insideFrame, a->tabIndex) < std::pair(b->insideFrame, b->tabIndex);
  });
  for (const ControlLayout* c : order) {
    controls_[static_cast<int>(c->control)] = CreateControl(*c);
  }
  SetUpTooltip();
  RegisterDropTargets();
  return true;
}

HWND MainWindow::CreateControl(const ControlLayout& layout) {
  const wchar_t* windowClass = L"STATIC";
  DWORD style = WS_CHILD | WS_VISIBLE;
  DWORD exStyle = 0;
  switch (layout.kind) {
    case ControlKind::Frame:
      windowClass = kFrameClass;
      style |= WS_CLIPSIBLINGS;
      exStyle |= WS_EX_CONTROLPARENT;
      break;
    case ControlKind::Picture:
      windowClass = kPictureClass;
      break;
    case ControlKind::PushButton:
      windowClass = L"BUTTON";
      style |= BS_PUSHBUTTON;
      break;
    case ControlKind::PictureButton:
      windowClass = L"BUTTON";
      style |= BS_OWNERDRAW;
      break;
    case ControlKind::CheckBox:
      windowClass = L"BUTTON";
      style |= BS_AUTOCHECKBOX;
      break;
    case ControlKind::Label:
      // Paths show "&" as it is; SS_NOTIFY makes labels take the mouse.
      style |= SS_NOTIFY | SS_NOPREFIX;
      if (layout.acceptsDrops) {
        style |= SS_LEFT | SS_EDITCONTROL;  // long paths wrap anywhere
        exStyle |= WS_EX_STATICEDGE;
      } else {
        style |= layout.control == Control::Label1_3 ? SS_CENTER : SS_LEFT;
      }
      break;
  }
  if (layout.takesFocus) style |= WS_TABSTOP;
  if (!layout.enabledAtStart) style |= WS_DISABLED;
  const RECT r = ClientRectOf(layout);
  HWND parent = layout.insideFrame ? Window(Control::Frame1) : hwnd_;
  HWND control = CreateWindowExW(
      exStyle, windowClass, Wide(layout.caption).c_str(), style, r.left, r.top, r.right - r.left,
      r.bottom - r.top, parent,
      reinterpret_cast<HMENU>(static_cast<INT_PTR>(ControlId(layout.control))), instance_, this);
  HFONT font = uiFont_.get();
  if (layout.font) font = layout.control == Control::Label1_3 ? linkFont_.get() : buttonFont_.get();
  SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  if (layout.kind == ControlKind::Label) {
    SetWindowSubclass(control, LabelProc, static_cast<UINT_PTR>(layout.control),
                      reinterpret_cast<DWORD_PTR>(this));
  }
  return control;
}

void MainWindow::SetUpTooltip() {
  tooltip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                             WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT, CW_USEDEFAULT,
                             CW_USEDEFAULT, CW_USEDEFAULT, hwnd_, nullptr, instance_, nullptr);
  std::wstring text = Wide(kHomePageTooltip);
  HWND link = Window(Control::Label1_3);
  TTTOOLINFOW tool{};
  tool.cbSize = sizeof tool;
  tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  tool.hwnd = GetParent(link);
  tool.uId = reinterpret_cast<UINT_PTR>(link);
  tool.lpszText = text.data();
  SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

void MainWindow::RegisterDropTargets() {
  for (int index = 0; index < 2; ++index) {
    auto* target = new DropTarget(
        [this, index](const DropData& data) {
          DWORD effect = DROPEFFECT_NONE;
          form_->Label1_OLEDragOver(static_cast<std::int16_t>(index), data, effect);
          return effect;
        },
        [this, index](const DropData& data) {
          form_->Label1_OLEDragDrop(static_cast<std::int16_t>(index), data);
        });
    if (SUCCEEDED(RegisterDragDrop(Window(Label1(index)), target))) {
      dropTargets_[index] = target;
    } else {
      target->Release();
    }
  }
}

void MainWindow::RevokeDropTargets() {
  for (int index = 0; index < 2; ++index) {
    if (!dropTargets_[index]) continue;
    RevokeDragDrop(Window(Label1(index)));
    std::exchange(dropTargets_[index], nullptr)->Release();
  }
}

// --- IFormWindow ---

void MainWindow::SetFormCaption(std::string_view caption) {
  caption_ = Wide(caption);
  if (hwnd_) SetWindowTextW(hwnd_, caption_.c_str());
}

void MainWindow::SetCaption(Control c, std::string_view caption) {
  SetWindowTextW(Window(c), Wide(caption).c_str());
}

std::string MainWindow::Caption(Control c) const { return Narrow(WindowText(Window(c))); }

void MainWindow::SetEnabled(Control c, bool enabled) { EnableWindow(Window(c), enabled); }

bool MainWindow::IsEnabled(Control c) const { return IsWindowEnabled(Window(c)); }

bool MainWindow::IsChecked(Control c) const {
  return SendMessageW(Window(c), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void MainWindow::SetTextColour(Control c, Colour colour) {
  Colour& current = textColours_[static_cast<int>(c)];
  if (current == colour) return;
  current = colour;
  InvalidateRect(Window(c), nullptr, TRUE);
}

void MainWindow::SetFocus(Control c) { ::SetFocus(Window(c)); }

void MainWindow::ShowIconOnLaunchButton(Hicon icon) {
  const int size = Px(LayoutOf(Control::Picture1).rect.width);
  HDC screen = GetDC(nullptr);
  pictureImage_.reset(CreateCompatibleBitmap(screen, size, size));
  ReleaseDC(nullptr, screen);
  {
    BitmapCanvas canvas(pictureImage_.get());
    RECT all{0, 0, size, size};
    FillRect(canvas.dc(), &all, Brush(Resolve(*LayoutOf(Control::Picture1).back)));
    DrawIcon(canvas.dc(), 0, 0, icon);
  }
  InvalidateRect(Window(Control::Picture1), nullptr, TRUE);
  launchPicture_.reset(
      static_cast<HBITMAP>(CopyImage(pictureImage_.get(), IMAGE_BITMAP, 0, 0, 0)));
  InvalidateRect(Window(Control::cmdExecSoft), nullptr, TRUE);
}

void MainWindow::Show() {
  MarkStartup("start-up logic");
  ShowWindow(hwnd_, SW_SHOWNORMAL);
  MarkStartup("showing the window");
  UpdateWindow(hwnd_);
}

void MainWindow::SetWindowState(WindowState state) {
  ShowWindow(hwnd_, state == WindowState::Minimized ? SW_MINIMIZE : SW_RESTORE);
}

int MainWindow::MsgBox(std::string_view text, UINT style, std::string_view title) {
  return MessageBoxW(hwnd_, Wide(text).c_str(), Wide(title).c_str(), style);
}

// --- the event loop ---

bool MainWindow::DispatchOne(MSG& message) {
  if (message.message == WM_QUIT) return false;
  // Dialog navigation: Tab, Shift+Tab, Space and the Alt+E access key.
  if (!hwnd_ || !IsDialogMessageW(hwnd_, &message)) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return true;
}

void MainWindow::DoEvents() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (!DispatchOne(message)) {
      PostQuitMessage(static_cast<int>(message.wParam));  // leave it for the main loop
      return;
    }
  }
}

int MainWindow::Run() {
  MSG message;
  // The queue runs empty once every control has painted.
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (!DispatchOne(message)) return static_cast<int>(message.wParam);
  }
  MarkStartup("first paint");
  EndStartupTrace();
  while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchOne(message);
  return static_cast<int>(message.wParam);
}

// --- window procedures ---

template <LRESULT (MainWindow::*Handler)(HWND, UINT, WPARAM, LPARAM)>
LRESULT CALLBACK MainWindow::RoutedProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  MainWindow* self = Bind(hwnd, message, lParam);
  // No exception may leave a window procedure.
  try {
    if (self && self->form_) return (self->*Handler)(hwnd, message, wParam, lParam);
  } catch (...) {
    return 0;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

LRESULT CALLBACK MainWindow::PictureProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  MainWindow* self = Bind(hwnd, message, lParam);
  if (self && message == WM_PAINT) {
    self->PaintPicture(hwnd);
    return 0;
  }
  if (message == WM_ERASEBKGND) return 1;
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

LRESULT CALLBACK MainWindow::LabelProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                       UINT_PTR id, DWORD_PTR data) {
  auto* self = reinterpret_cast<MainWindow*>(data);
  try {
    if (message == WM_MOUSEMOVE && self->form_) {
      self->OnLabelMouseMove(static_cast<Control>(id), lParam);
    } else if (message == WM_NCDESTROY) {
      RemoveWindowSubclass(hwnd, LabelProc, id);
    }
  } catch (...) {
  }
  return DefSubclassProc(hwnd, message, wParam, lParam);
}

LRESULT MainWindow::OnMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      OnCommand(LOWORD(wParam), HIWORD(wParam));
      return 0;
    case WM_DRAWITEM:
      OnDrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
      return TRUE;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
      if (const auto c = ControlOf(GetDlgCtrlID(reinterpret_cast<HWND>(lParam)))) {
        return reinterpret_cast<LRESULT>(OnCtlColor(reinterpret_cast<HDC>(wParam), *c));
      }
      return DefWindowProcW(hwnd, message, wParam, lParam);
    case WM_MOUSEMOVE:
      form_->Form_MouseMove();
      return 0;
    case WM_ACTIVATE:
      OnActivate(LOWORD(wParam) != WA_INACTIVE);
      return 0;
    case WM_CLOSE:
      form_->RequestClose(UnloadMode::FormControlMenu);
      return 0;
    case WM_QUERYENDSESSION:
      return TRUE;  // never hold the session up; the settings go back at WM_ENDSESSION
    case WM_ENDSESSION:
      if (wParam) form_->RequestClose(UnloadMode::AppWindows);
      return 0;
    case WM_DESTROY:
      RevokeDropTargets();
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcW(hwnd, message, wParam, lParam);
  }
}

LRESULT MainWindow::OnFrameMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
    case WM_DRAWITEM:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
      // The frame's controls report to it; their handlers belong to the window.
      return OnMessage(hwnd_, message, wParam, lParam);
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT:
      PaintFrame(hwnd);
      return 0;
    case WM_MOUSEMOVE:
      form_->Frame1_MouseMove();
      return 0;
    default:
      return DefWindowProcW(hwnd, message, wParam, lParam);
  }
}

void MainWindow::OnCommand(int id, int code) {
  if (const std::optional<Control> c = ControlOf(id)) RouteCommand(*form_, *c, code);
}

void MainWindow::OnLabelMouseMove(Control c, LPARAM position) {
  const int index = Label1Index(c);
  if (index < 0) return;  // the Label3 captions have no mouse handler
  const float x = PixelsToTwips(static_cast<short>(LOWORD(position)), dpi_);
  const float y = PixelsToTwips(static_cast<short>(HIWORD(position)), dpi_);
  form_->Label1_MouseMove(static_cast<std::int16_t>(index), x, y);
}

void MainWindow::OnActivate(bool active) {
  if (!active) {
    savedFocus_ = GetFocus();
    return;
  }
  HWND target = savedFocus_;
  if (!target || !IsChild(hwnd_, target) || !IsWindowEnabled(target) || !IsWindowVisible(target)) {
    target = nullptr;
    for (Control c : FocusOrder()) {
      if (IsWindowEnabled(Window(c))) {
        target = Window(c);
        break;
      }
    }
  }
  if (target) ::SetFocus(target);
}

// --- painting ---

HBRUSH MainWindow::OnCtlColor(HDC dc, Control c) {
  const ControlLayout& layout = LayoutOf(c);
  // Controls without a back colour of their own are drawn over their parent.
  Colour back = MainWindowLayout().back;
  if (layout.back) {
    back = *layout.back;
  } else if (layout.insideFrame) {
    back = *LayoutOf(Control::Frame1).back;
  }
  const COLORREF backColour = Resolve(back);
  SetTextColor(dc, Resolve(textColours_[static_cast<int>(c)]));
  SetBkColor(dc, backColour);
  return Brush(backColour);
}

void MainWindow::PaintFrame(HWND frame) {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(frame, &paint);
  RECT client;
  GetClientRect(frame, &client);
  const ControlLayout& layout = LayoutOf(Control::Frame1);
  FillRect(dc, &client, Brush(Resolve(*layout.back)));
  HGDIOBJ oldFont = SelectObject(dc, uiFont_.get());
  TEXTMETRICW metrics;
  GetTextMetricsW(dc, &metrics);
  RECT edge = client;
  edge.top += metrics.tmHeight / 2;
  DrawEdge(dc, &edge, EDGE_ETCHED, BF_RECT);
  const std::wstring title = WindowText(frame);
  SetTextColor(dc, Resolve(*layout.fore));
  SetBkColor(dc, Resolve(*layout.back));
  SetBkMode(dc, OPAQUE);
  const int indent = MulDiv(kFrameTitleIndent, dpi_, 96);
  TextOutW(dc, indent, 0, title.c_str(), static_cast<int>(title.size()));
  SelectObject(dc, oldFont);
  EndPaint(frame, &paint);
}

void MainWindow::PaintPicture(HWND picture) {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(picture, &paint);
  RECT client;
  GetClientRect(picture, &client);
  FillRect(dc, &client, Brush(Resolve(*LayoutOf(Control::Picture1).back)));
  if (pictureImage_) {
    BitmapCanvas image(pictureImage_.get());
    BitBlt(dc, 0, 0, client.right, client.bottom, image.dc(), 0, 0, SRCCOPY);
  }
  EndPaint(picture, &paint);
}

void MainWindow::OnDrawItem(const DRAWITEMSTRUCT& item) {
  const std::optional<Control> control = ControlOf(static_cast<int>(item.CtlID));
  if (!control) return;
  const Control c = *control;
  HDC dc = item.hDC;
  RECT r = item.rcItem;
  const bool pushed = item.itemState & ODS_SELECTED;
  const bool disabled = item.itemState & ODS_DISABLED;
  DrawFrameControl(dc, &r, DFC_BUTTON, DFCS_BUTTONPUSH | (pushed ? DFCS_PUSHED : 0));

  // The picture centred above the caption, both centred in the button.
  HGDIOBJ oldFont = SelectObject(dc, buttonFont_.get());
  const std::wstring caption = WindowText(item.hwndItem);
  RECT textSize{0, 0, r.right - r.left, 0};
  DrawTextW(dc, caption.c_str(), -1, &textSize, DT_CALCRECT | DT_SINGLELINE);
  const int picture = Px(LayoutOf(Control::Picture1).rect.width);
  const int gap = MulDiv(kPictureGap, dpi_, 96);
  const int shift = pushed ? 1 : 0;
  const int top = r.top + (r.bottom - r.top - (picture + gap + textSize.bottom)) / 2 + shift;
  const int left = r.left + (r.right - r.left - picture) / 2 + shift;
  const UINT state = disabled ? DSS_DISABLED : DSS_NORMAL;
  if (c == Control::cmdExecSoft && launchPicture_) {
    DrawStateW(dc, nullptr, nullptr, reinterpret_cast<LPARAM>(launchPicture_.get()), 0, left, top,
               picture, picture, DST_BITMAP | state);
  } else {
    HICON icon = c == Control::cmdEnd ? endIcon_.get() : placeholderIcon_.get();
    DrawStateW(dc, nullptr, nullptr, reinterpret_cast<LPARAM>(icon), 0, left, top, picture,
               picture, DST_ICON | state);
  }
  RECT text{r.left + shift, top + picture + gap, r.right + shift, r.bottom};
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(disabled ? COLOR_GRAYTEXT : COLOR_BTNTEXT));
  DrawTextW(dc, caption.c_str(), -1, &text, DT_CENTER | DT_TOP | DT_SINGLELINE);
  SelectObject(dc, oldFont);
  if ((item.itemState & ODS_FOCUS) && !(item.itemState & ODS_NOFOCUSRECT)) {
    RECT focus = r;
    InflateRect(&focus, -MulDiv(4, dpi_, 96), -MulDiv(4, dpi_, 96));
    DrawFocusRect(dc, &focus);
  }
}

}  // namespace tavrel
