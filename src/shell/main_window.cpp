#include "shell/main_window.h"

#include <string>

#include "product/maker.h"
#include "base/win32/wide.h"
#include "shell/box_accessible.h"
#include "shell/dpi.h"
#include "shell/open_dialog.h"
#include "shell/startup_trace.h"
#include "shell/window_text.h"

namespace tavrel {
namespace {

// The first icon of a program at `size` pixels, through user32's
// PrivateExtractIconsW (what shell32's ExtractIcon calls), so that shell32
// stays out of start-up; null for none. (For a file that holds no icons
// Windows documents 1 rather than 0 icons extracted; Wine 8 answers 0. The
// icon is checked either way.)
UniqueWin32Icon FirstIconOf(const std::string& program, int size) {
  MarkStartup("start-up logic");
  HICON icon = nullptr;
  const UINT extracted = PrivateExtractIconsW(Wide(program).c_str(), 0, size, size, &icon, nullptr, 1, 0);
  MarkStartup("icon extraction");
  return UniqueWin32Icon(extracted != 0xFFFFFFFF && extracted > 0 ? icon : nullptr);
}

// Whether the user has a high-contrast theme on; a failed query counts as off.
bool HighContrastOn() {
  HIGHCONTRASTW theme{};
  theme.cbSize = sizeof theme;
  return SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof theme, &theme, 0) &&
         (theme.dwFlags & HCF_HIGHCONTRASTON);
}

DropBox DropBoxOf(Control box) { return box == Control::FontBox ? DropBox::Font : DropBox::Program; }

}  // namespace

// --- creation and teardown

bool MainWindow::Fail(DWORD error) {
  error_ = error;
  Destroy();
  return false;
}

bool MainWindow::Create(std::string_view title) {
  const WindowControls::Procedures procedures = Procedures();
  if (!controls_.CreateFonts(SystemDpi())) return Fail(controls_.Error());
  if (!painter_.Create(instance_, controls_.Dpi())) return Fail(GetLastError());
  painter_.SetHighContrast(HighContrastOn());
  shown_.title = title.empty() ? MainWindowLayout().caption : std::string(title);
  window_.reset(controls_.CreateMainWindow(instance_, Wide(shown_.title), this, procedures));
  if (!window_) return Fail(controls_.Error());
  if (!controls_.CreateControls(instance_, window_.get(), this, procedures, *texts_)) {
    return Fail(controls_.Error());
  }
  if (!AddShortcutItem()) return Fail(GetLastError());
  // Its monitor may have another DPI than the system's (Windows 10).
  if (const int dpi = WindowDpi(window_.get()); dpi != controls_.Dpi()) {
    if (!Rescale(dpi)) return Fail(controls_.Error());
    const RECT r = controls_.CentredWindowRect();
    if (!SetWindowPos(window_.get(), nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                      SWP_NOZORDER | SWP_NOACTIVATE)) {
      return Fail(GetLastError());
    }
  }
  return true;
}

// At the end of the window's system menu, greyed until the run knows both
// files. (GetSystemMenu gives the window a copy of its own to change.)
bool MainWindow::AddShortcutItem() {
  HMENU menu = GetSystemMenu(window_.get(), FALSE);
  const std::wstring item = Wide(texts_->Get(Text::ShortcutMenuItem));
  return menu && AppendMenuW(menu, MF_SEPARATOR, 0, nullptr) &&
         AppendMenuW(menu, MF_STRING | MF_GRAYED, kShortcutMenuId, item.c_str());
}

bool MainWindow::Rescale(int dpi) {
  if (!controls_.Rescale(dpi)) return false;
  // Icons that cannot be loaded at the new size (for want of memory only)
  // leave the buttons their earlier ones, smaller or larger, in plain sight.
  if (painter_.Rescale(instance_, dpi) && !shown_.program.empty()) ShowProgramIcon(shown_.program);
  // Whether a repaint was queued tells nothing worth acting on.
  RedrawWindow(window_.get(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
  return true;
}

void MainWindow::Destroy() {
  controls_.ReleaseDropTargets();
  // No input reaches the run while the window goes.
  run_ = nullptr;
  window_.reset();
}

std::string MainWindow::FailureText() const {
  std::string text(texts_->Get(Text::WindowFailed));
  if (error_ != ERROR_SUCCESS) {
    text += "\r\n(" + texts_->Fill(Text::ErrorNumber, {ErrorCodeText(error_)}) + ")";
  }
  return text;
}

void MainWindow::FinishStartUp() {
  if (startUpFinished_ || !window_ || !run_) return;
  startUpFinished_ = true;
  MarkStartup("first paint");
  const bool finished =
      controls_.CreateTooltip(instance_, window_.get(), *texts_) && controls_.RegisterDropTargets(*this);
  EndStartupTrace();
  if (finished) return;
  error_ = controls_.Error();
  run_->WindowFailed(FailureText());
}

bool MainWindow::HandleDialogKey(MSG& message) {
  return window_ && IsDialogMessageW(window_.get(), &message);
}

// --- IDropSink: the drags over the file boxes, to the run

bool MainWindow::Accepts(DropBox box, const DropData& data) {
  return run_ && run_->Accepts(box, data);
}

void MainWindow::Drop(DropBox box, const DropData& data) {
  if (run_) run_->Dropped(box, data.first);
}

// --- IRunView

// A caption, a state or a repaint that cannot be set (for want of memory
// only) leaves the window showing the earlier one: nothing of the run
// depends on what a control shows, so those results are not checked.
void MainWindow::Show(const Screen& screen) {
  if (!window_) return;
  if (screen.closed) {
    Destroy();
    return;
  }
  if (screen.title != shown_.title) SetWindowTextW(window_.get(), Wide(screen.title).c_str());
  ShowCaption(Control::ProgramBox, screen.programCaption, shown_.programCaption);
  ShowCaption(Control::FontBox, screen.fontCaption, shown_.fontCaption);
  if (screen.program != shown_.program && !screen.program.empty()) ShowProgramIcon(screen.program);
  // Before the window shows, so that no input can reach a launch with a
  // file missing. (EnableWindow answers the earlier state, not a result.)
  EnableWindow(Window(Control::LaunchButton), screen.launchEnabled);
  SendMessageW(Window(Control::ExitCheck), BM_SETCHECK,
               screen.exitWhenDone ? BST_CHECKED : BST_UNCHECKED, 0);
  if (screen.shortcutOffered != shown_.shortcutOffered) ShowShortcutItem(screen.shortcutOffered);
  const Screen before = std::exchange(shown_, screen);
  if (screen.visible != before.visible || screen.minimized != before.minimized) {
    ShowWindowState(screen, before.visible);
    if (!before.visible) FocusFirstReachableControl();
  }
}

void MainWindow::ShowCaption(Control c, const std::string& now, const std::string& before) {
  if (now == before) return;
  SetWindowTextW(Window(c), Wide(now).c_str());
  // A file box's text is its value to a screen reader, which hears of it so.
  if (LayoutOf(c).kind == ControlKind::FileBox) {
    NotifyWinEvent(EVENT_OBJECT_VALUECHANGE, Window(c), OBJID_CLIENT, CHILDID_SELF);
  }
}

void MainWindow::ShowProgramIcon(const std::string& program) {
  // A program without icons leaves the button with the picture it has.
  const UniqueWin32Icon icon = FirstIconOf(program, painter_.PictureSize());
  if (!icon || !painter_.DrawLaunchPicture(icon.get())) return;
  InvalidateRect(Window(Control::LaunchButton), nullptr, TRUE);
}

void MainWindow::ShowShortcutItem(bool offered) {
  // EnableMenuItem answers the earlier state; the item is there from Create.
  EnableMenuItem(GetSystemMenu(window_.get(), FALSE), kShortcutMenuId,
                 MF_BYCOMMAND | (offered ? MF_ENABLED : MF_GRAYED));
}

void MainWindow::ShowWindowState(const Screen& screen, bool wasVisible) {
  if (!screen.visible) {
    ShowWindow(window_.get(), SW_HIDE);
    return;
  }
  MarkStartup("start-up logic");
  // ShowWindow answers whether the window was visible before: no result.
  ShowWindow(window_.get(), screen.minimized ? SW_MINIMIZE : (wasVisible ? SW_RESTORE : SW_SHOWNORMAL));
  MarkStartup("showing the window");
  UpdateWindow(window_.get());
}

void MainWindow::FocusFirstReachableControl() {
  for (Control c : FocusOrder()) {
    if (IsWindowEnabled(Window(c))) {
      ::SetFocus(Window(c));
      return;
    }
  }
}

bool ShowMessageBox(HWND owner, const Box& box) {
  UINT style = box.buttons == BoxButtons::YesNo ? MB_YESNO : MB_OK;
  switch (box.icon) {
    case BoxIcon::Information: style |= MB_ICONINFORMATION; break;
    case BoxIcon::Warning: style |= MB_ICONWARNING; break;
    case BoxIcon::Question: style |= MB_ICONQUESTION; break;
  }
  const int answer = MessageBoxW(owner, Wide(box.text).c_str(), Wide(kApplicationTitle).c_str(), style);
  // 0 when the box could not be shown: taken as the safe answer, No.
  return answer == IDYES || answer == IDOK;
}

bool MainWindow::ShowBox(const Box& box) {
  // Before the window shows and once it has gone, the box stands alone.
  return boxes_(window_ && shown_.visible ? window_.get() : nullptr, box);
}

// --- the file boxes' Open dialogs, screen readers and colours

void MainWindow::ChooseFileFor(Control box) {
  if (choosing_) return;
  choosing_ = true;
  const std::string& shown = box == Control::FontBox ? shown_.fontCaption : shown_.programCaption;
  const OpenDialogResult chosen = ChooseFileToOpen(window_.get(), ChoiceFor(box, shown, OwnPath()), *texts_);
  choosing_ = false;
  if (chosen.error != ERROR_SUCCESS) {
    ReportChooserFailure(chosen.error);
    return;
  }
  // The dialog's loop may have closed the run meanwhile. What the run does
  // with a dropped file it does with a chosen one, in whatever state it is now.
  if (chosen.path.empty() || !run_) return;
  const DropBox drop = DropBoxOf(box);
  if (run_->Accepts(drop, DropData{1, chosen.path})) run_->Dropped(drop, chosen.path);
}

// Told through the run's boxes, in turn with any other.
void MainWindow::ReportChooserFailure(DWORD error) {
  if (!run_) return;
  run_->Tell(std::string(texts_->Get(Text::ChooserFailed)) + "\r\n(" +
             texts_->Fill(Text::ErrorNumber, {ErrorCodeText(error)}) + ")");
}

LRESULT MainWindow::AnswerBoxObject(Control box, HWND hwnd, WPARAM wParam, LPARAM lParam) {
  // The object id comes as a DWORD in a sign-extended LPARAM.
  if (static_cast<DWORD>(lParam) != static_cast<DWORD>(OBJID_CLIENT)) return 0;
  const ControlLayout& layout = LayoutOf(box);
  return tavrel::AnswerBoxObject(hwnd, wParam,
                                 {Wide(texts_->Get(*layout.accessibleName)), WindowText(hwnd),
                                  Wide(texts_->Get(*layout.tooltip))});
}

void MainWindow::OnSystemColours() {
  painter_.SetHighContrast(HighContrastOn());
  // The buttons and labels are common controls with colours of their own.
  for (const ControlLayout& layout : Controls()) SendMessageW(Window(layout.control), WM_SYSCOLORCHANGE, 0, 0);
  // The launch button's picture lies on a system colour: drawn again.
  if (!shown_.program.empty()) ShowProgramIcon(shown_.program);
  RedrawWindow(window_.get(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

void MainWindow::BringToFront() {
  // Allowed: the start that handed its files over let this process come
  // forward (AllowSetForegroundWindow). Otherwise Windows flashes the button.
  SetForegroundWindow(window_.get());
}

}  // namespace tavrel
