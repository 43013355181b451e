#include "platform/win32/win32_main_window.h"

#include <string>

#include "app/maker.h"
#include "platform/win32/startup_trace.h"
#include "platform/win32/wide.h"
#include "platform/win32/win32_window_text.h"

namespace tavrel {
namespace {

constexpr const char* kWindowFailed = "ウィンドウを作成できませんでした。Tavrel を終了します。";

static_assert(kIdYes == IDYES && kIdNo == IDNO && kMbYesNo == MB_YESNO &&
              kMbIconInformation == MB_ICONINFORMATION);

// A system error code in decimal, an HRESULT in hexadecimal, as Windows
// shows them. (No printf: it would bring its whole formatter into the exe.)
std::string ErrorCode(DWORD error) {
  if (!(error & 0x80000000u)) return std::to_string(error);
  std::string text = "0x";
  for (int shift = 28; shift >= 0; shift -= 4) text += "0123456789ABCDEF"[(error >> shift) & 0xF];
  return text;
}

}  // namespace

// --- creation and teardown ---

bool MainWindow::Fail(DWORD error) {
  error_ = error;
  Destroy();
  return false;
}

bool MainWindow::Create() {
  const WindowControls::Procedures procedures = Procedures();
  if (!controls_.CreateFonts()) return Fail(controls_.Error());
  if (!painter_.Create(instance_, controls_.Dpi())) return Fail(GetLastError());
  if (caption_.empty()) caption_ = Wide(MainWindowLayout().caption);
  window_.reset(controls_.CreateMainWindow(instance_, caption_, this, procedures));
  if (!window_) return Fail(controls_.Error());
  if (!controls_.CreateControls(instance_, window_.get(), this, procedures)) return Fail(controls_.Error());
  return true;
}

void MainWindow::Destroy() {
  controls_.ReleaseDropTargets();
  // No handler of frmMain's runs while the window goes.
  form_ = nullptr;
  window_.reset();
}

void MainWindow::ReportFailure() {
  std::string text = kWindowFailed;
  if (error_ != ERROR_SUCCESS) text += "\r\n(エラー " + ErrorCode(error_) + ")";
  MessageBoxW(window_.get(), Wide(text).c_str(), Wide(kApplicationTitle).c_str(), MB_OK | MB_ICONERROR);
}

void MainWindow::FinishStartUp() {
  if (startUpFinished_ || !window_ || !form_) return;
  startUpFinished_ = true;
  MarkStartup("first paint");
  const bool finished =
      controls_.CreateTooltip(instance_, window_.get()) &&
      controls_.RegisterDropTargets(*this);
  EndStartupTrace();
  if (finished) return;
  error_ = controls_.Error();
  ReportFailure();
  form_->RequestClose(UnloadMode::FormCode);
}

// --- IDropSink: the drags over the file boxes, to frmMain ---

DWORD MainWindow::DragOver(int box, const DropData& data) {
  DWORD effect = DROPEFFECT_NONE;
  if (form_) form_->Label1_OLEDragOver(static_cast<std::int16_t>(box), data, effect);
  return effect;
}

void MainWindow::Drop(int box, const DropData& data) {
  if (form_) form_->Label1_OLEDragDrop(static_cast<std::int16_t>(box), data);
}

// --- IFormWindow ---

void MainWindow::SetFormCaption(std::string_view caption) {
  caption_ = Wide(caption);
  if (window_) SetWindowTextW(window_.get(), caption_.c_str());
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

void MainWindow::SetChecked(Control c, bool checked) {
  SendMessageW(Window(c), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

void MainWindow::SetTextColour(Control c, Colour colour) {
  if (painter_.SetTextColour(c, colour)) InvalidateRect(Window(c), nullptr, TRUE);
}

void MainWindow::SetFocus(Control c) { ::SetFocus(Window(c)); }

void MainWindow::ShowIconOnLaunchButton(Hicon icon) {
  // Without the bitmaps the button keeps the picture it has.
  if (!painter_.DrawLaunchPicture(icon)) return;
  InvalidateRect(Window(Control::Picture1), nullptr, TRUE);
  InvalidateRect(Window(Control::cmdExecSoft), nullptr, TRUE);
}

void MainWindow::Show() {
  MarkStartup("start-up logic");
  ShowWindow(window_.get(), SW_SHOWNORMAL);
  MarkStartup("showing the window");
  UpdateWindow(window_.get());
}

// The very message a click on the button sends, so it goes the way of a click.
void MainWindow::PostClick(Control c) {
  PostMessageW(window_.get(), WM_COMMAND, MAKEWPARAM(ControlId(c), BN_CLICKED),
               reinterpret_cast<LPARAM>(Window(c)));
}

void MainWindow::SetWindowState(WindowState state) {
  ShowWindow(window_.get(), state == WindowState::Minimized ? SW_MINIMIZE : SW_RESTORE);
}

int MainWindow::MsgBox(std::string_view text, UINT style, std::string_view title) {
  return MessageBoxW(window_.get(), Wide(text).c_str(), Wide(title).c_str(), style);
}

// --- the event loop ---

bool MainWindow::DispatchOne(MSG& message) {
  if (message.message == WM_QUIT) return false;
  // Dialog navigation: Tab, Shift+Tab, Space and the Alt+E access key.
  if (!window_ || !IsDialogMessageW(window_.get(), &message)) {
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
  FinishStartUp();  // a launch started before the main loop first ran dry
}

int MainWindow::Run() {
  MSG message;
  // The queue runs empty once every control has painted.
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (!DispatchOne(message)) return static_cast<int>(message.wParam);
  }
  FinishStartUp();
  while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchOne(message);
  return static_cast<int>(message.wParam);
}

}  // namespace tavrel
