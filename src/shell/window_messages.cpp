// Which handler each message of the main window, the file frame, the launch
// picture, the labels and the file boxes goes to: the run, the painter, or the system.
#include "shell/main_window.h"

namespace tavrel {
namespace {

// Posted to the window itself: hand-overs are waiting in handOvers_.
constexpr UINT kHandOversWaiting = WM_APP + 1;

// Stores the owner from the creation record at WM_NCCREATE, clears it at
// WM_NCDESTROY; the window's owner between the two.
MainWindow* Bind(HWND hwnd, UINT message, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* self = reinterpret_cast<MainWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (message == WM_NCDESTROY) SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
  return self;
}

// Whether notification `code` from a control of this kind is a click. A quick
// second click on a label or a picture button arrives as a double click: it
// is a click of its own.
bool IsClick(ControlKind kind, int code) {
  switch (kind) {
    case ControlKind::CheckBox:
      return code == BN_CLICKED;
    case ControlKind::PictureButton:
      return code == BN_CLICKED || code == BN_DOUBLECLICKED;
    case ControlKind::Label:
      return code == STN_CLICKED || code == STN_DBLCLK;
    case ControlKind::FileBox:
      // One dialog for a double click: its second click is the dialog's.
      return code == BN_CLICKED;
    case ControlKind::Frame:
      return false;
  }
  return false;
}

}  // namespace

WindowControls::Procedures MainWindow::Procedures() {
  return {RoutedProc<&MainWindow::OnMessage>, RoutedProc<&MainWindow::OnFrameMessage>, LabelProc};
}

template <LRESULT (MainWindow::*Handler)(HWND, UINT, WPARAM, LPARAM)>
LRESULT CALLBACK MainWindow::RoutedProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  MainWindow* self = Bind(hwnd, message, lParam);
  // No exception may leave a window procedure; the only ones are failed
  // allocations, and the message then counts as handled.
  try {
    if (self && self->run_) return (self->*Handler)(hwnd, message, wParam, lParam);
  } catch (...) {
    return 0;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

// Whether a key message is a first press of Enter (not its repeat).
static bool IsEnterPressed(const MSG* message) {
  return message && message->message == WM_KEYDOWN && message->wParam == VK_RETURN &&
         !(message->lParam & (1 << 30));
}

LRESULT CALLBACK MainWindow::LabelProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                       UINT_PTR id, DWORD_PTR data) {
  auto* self = reinterpret_cast<MainWindow*>(data);
  const auto c = static_cast<Control>(id);
  const bool box = LayoutOf(c).kind == ControlKind::FileBox;
  if (message == WM_MOUSEMOVE && self->run_) {
    self->OnLabelMouseMove(c, lParam);
  } else if (box && message == WM_GETDLGCODE) {
    // A button leaves Enter to the dialog's default button, which this
    // window has none of: the box takes it and clicks itself. Nor is it a
    // button to the dialog manager, which would take an "&" in a path for
    // an access key.
    const LRESULT code = DefSubclassProc(hwnd, message, wParam, lParam) &
                         ~(DLGC_BUTTON | DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON);
    return IsEnterPressed(reinterpret_cast<const MSG*>(lParam)) ? code | DLGC_WANTMESSAGE : code;
  } else if (box && message == WM_KEYDOWN && wParam == VK_RETURN && !(lParam & (1 << 30))) {
    SendMessageW(GetParent(hwnd), WM_COMMAND, MAKEWPARAM(ControlId(c), BN_CLICKED), reinterpret_cast<LPARAM>(hwnd));
    return 0;
  } else if (box && message == WM_GETOBJECT) {
    // No exception may leave a window procedure: a failed allocation leaves
    // the question to the system's object.
    try {
      if (const LRESULT object = self->AnswerBoxObject(c, hwnd, wParam, lParam)) return object;
    } catch (...) {
    }
  } else if (message == WM_NCDESTROY) {
    // False only for a subclass that is not there: then there is nothing to remove.
    RemoveWindowSubclass(hwnd, LabelProc, id);
  }
  return DefSubclassProc(hwnd, message, wParam, lParam);
}

LRESULT MainWindow::OnMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
    case WM_DRAWITEM:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
      return OnControlMessage(hwnd, message, wParam, lParam);
    case WM_ERASEBKGND:
      painter_.EraseWindow(hwnd, reinterpret_cast<HDC>(wParam));
      return 1;
    case WM_MOUSEMOVE:
      ShowLinkHot(false);
      return 0;
    case WM_ACTIVATE:
      OnActivate(LOWORD(wParam) != WA_INACTIVE);
      return 0;
    case WM_SYSCOLORCHANGE:
      OnSystemColours();
      return 0;
    case WM_SETTINGCHANGE:
      if (wParam == SPI_SETHIGHCONTRAST) OnSystemColours();
      return DefWindowProcW(hwnd, message, wParam, lParam);
    case WM_DPICHANGED:
      OnDpiChanged(LOWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
      return 0;
    case WM_CLOSE:
      run_->CloseRequested(CloseReason::User);
      return 0;
    case WM_SYSCOMMAND:
      if ((wParam & 0xFFF0) != kShortcutMenuId) return DefWindowProcW(hwnd, message, wParam, lParam);
      run_->ShortcutRequested();
      return 0;
    case WM_QUERYENDSESSION:
      return TRUE;  // never hold the session up; the settings go back at WM_ENDSESSION
    case WM_ENDSESSION:
      // Windows may end the process as soon as this returns: the settings
      // are back by then.
      if (wParam) run_->CloseRequested(CloseReason::SessionEnds);
      return 0;
    case WM_COPYDATA:
      return OnCopyData(*reinterpret_cast<const COPYDATASTRUCT*>(lParam));
    case kHandOversWaiting:
      OnHandOvers();
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcW(hwnd, message, wParam, lParam);
  }
}

// A second start of Tavrel waits in SendMessage until this returns: the data
// is copied, the work done once a message posted to itself comes round.
LRESULT MainWindow::OnCopyData(const COPYDATASTRUCT& data) {
  // A run that is closing says so: the sender waits for the lock instead.
  if (data.dwData != kHandOverTag || !data.lpData || !run_->TakesHandOvers()) return FALSE;
  std::optional<HandOver> handOver =
      ParseHandOver({static_cast<const std::uint8_t*>(data.lpData), data.cbData});
  if (!handOver) return FALSE;
  handOvers_.push_back(std::move(*handOver));
  if (!PostMessageW(window_.get(), kHandOversWaiting, 0, 0)) {
    handOvers_.pop_back();
    return FALSE;  // the sender says "already running" instead
  }
  return TRUE;
}

void MainWindow::OnHandOvers() {
  for (const HandOver& handOver : std::exchange(handOvers_, {})) {
    if (run_) run_->HandOverReceived(handOver);
  }
}

LRESULT MainWindow::OnFrameMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
    case WM_DRAWITEM:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
      // The frame's controls report to it; their handlers belong to the window.
      return OnControlMessage(hwnd, message, wParam, lParam);
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT:
      painter_.PaintFrame(hwnd, controls_.TitleFont());
      return 0;
    case WM_MOUSEMOVE:
      ShowLinkHot(false);
      return 0;
    default:
      return DefWindowProcW(hwnd, message, wParam, lParam);
  }
}

// WM_COMMAND, WM_DRAWITEM and WM_CTLCOLOR* from a control, to the window or the frame.
LRESULT MainWindow::OnControlMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_COMMAND) {
    if (const auto c = ControlWithId(LOWORD(wParam))) OnCommand(*c, HIWORD(wParam));
    return 0;
  }
  if (message == WM_DRAWITEM) {
    const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
    const auto c = ControlWithId(static_cast<int>(item.CtlID));
    if (c && LayoutOf(*c).kind == ControlKind::FileBox) {
      painter_.DrawFileBox(item, *c, controls_.TitleFont());
    } else if (c) {
      painter_.DrawPictureButton(item, *c, controls_.ButtonFont());
    }
    return TRUE;
  }
  if (const auto c = ControlWithId(GetDlgCtrlID(reinterpret_cast<HWND>(lParam)))) {
    return reinterpret_cast<LRESULT>(painter_.ControlColours(reinterpret_cast<HDC>(wParam), *c));
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

void MainWindow::OnCommand(Control c, int code) {
  if (!IsClick(LayoutOf(c).kind, code)) return;
  switch (c) {
    case Control::LaunchButton: run_->LaunchClicked(); break;
    case Control::EndButton: run_->CloseRequested(CloseReason::User); break;
    case Control::ExitCheck: run_->ExitWhenDoneToggled(); break;
    case Control::LinkLabel: run_->LinkClicked(); break;
    case Control::ProgramBox:
    case Control::FontBox: ChooseFileFor(c); break;
    default: break;  // the other controls take no clicks
  }
}

void MainWindow::OnLabelMouseMove(Control c, LPARAM position) {
  if (c != Control::LinkLabel) {
    if (c == Control::ProgramBox || c == Control::FontBox) {
      ShowLinkHot(false);
    }
    return;  // the captions above the boxes have no mouse handler
  }
  const float x = PixelsToTwips(static_cast<short>(LOWORD(position)), controls_.Dpi());
  const float y = PixelsToTwips(static_cast<short>(HIWORD(position)), controls_.Dpi());
  ShowLinkHot(IsOverLinkText(x, y));
}

void MainWindow::ShowLinkHot(bool hot) {
  if (painter_.SetLinkHot(hot)) {
    InvalidateRect(Window(Control::LinkLabel), nullptr, TRUE);
  }
}

// The window moved to a monitor of another DPI (Windows 10, per-monitor
// aware). The rectangle Windows suggests keeps it where the user dragged it
// at the new size; the fonts, icons and controls follow.
void MainWindow::OnDpiChanged(int dpi, const RECT& suggested) {
  // A window that cannot be laid out at the new DPI (for want of memory
  // only) keeps its size and fonts: whole, in plain sight, only larger or
  // smaller than its neighbours.
  if (!Rescale(dpi)) return;
  // Fails only for a window that is not there; this one handles the message.
  SetWindowPos(window_.get(), nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
               suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

void MainWindow::OnActivate(bool active) {
  if (!active) {
    savedFocus_ = GetFocus();
    return;
  }
  HWND target = savedFocus_;
  HWND main = window_.get();
  if (!target || !IsChild(main, target) || !IsWindowEnabled(target) || !IsWindowVisible(target)) {
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

}  // namespace tavrel
