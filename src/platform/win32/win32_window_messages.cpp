// Which handler each message of the main window, Frame1, Picture1 and the
// labels goes to: frmMain's event handlers, the painter, or the system.
#include "platform/win32/win32_main_window.h"

#include "app/command_routing.h"

namespace tavrel {
namespace {

static_assert(kBnClicked == BN_CLICKED && kBnDoubleClicked == BN_DOUBLECLICKED &&
              kStnClicked == STN_CLICKED && kStnDblClk == STN_DBLCLK);

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

}  // namespace

WindowControls::Procedures MainWindow::Procedures() {
  return {RoutedProc<&MainWindow::OnMessage>, RoutedProc<&MainWindow::OnFrameMessage>,
          RoutedProc<&MainWindow::OnPictureMessage>, LabelProc};
}

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
    case WM_DRAWITEM:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
      return OnControlMessage(hwnd, message, wParam, lParam);
    case WM_ERASEBKGND:
      painter_.EraseWindow(hwnd, reinterpret_cast<HDC>(wParam));
      return 1;
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
      return OnControlMessage(hwnd, message, wParam, lParam);
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT:
      painter_.PaintFrame(hwnd, controls_.TitleFont());
      return 0;
    case WM_MOUSEMOVE:
      form_->Frame1_MouseMove();
      return 0;
    default:
      return DefWindowProcW(hwnd, message, wParam, lParam);
  }
}

LRESULT MainWindow::OnPictureMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT:
      painter_.PaintPicture(hwnd);
      return 0;
    default:
      return DefWindowProcW(hwnd, message, wParam, lParam);
  }
}

// WM_COMMAND, WM_DRAWITEM and WM_CTLCOLOR* from a control, to the window or the frame.
LRESULT MainWindow::OnControlMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_COMMAND) {
    if (const auto c = ControlWithId(LOWORD(wParam))) RouteCommand(*form_, *c, HIWORD(wParam));
    return 0;
  }
  if (message == WM_DRAWITEM) {
    const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
    if (const auto c = ControlWithId(static_cast<int>(item.CtlID))) {
      painter_.DrawPictureButton(item, *c, controls_.ButtonFont());
    }
    return TRUE;
  }
  if (const auto c = ControlWithId(GetDlgCtrlID(reinterpret_cast<HWND>(lParam)))) {
    return reinterpret_cast<LRESULT>(painter_.ControlColours(reinterpret_cast<HDC>(wParam), *c));
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

void MainWindow::OnLabelMouseMove(Control c, LPARAM position) {
  const int index = Label1Index(c);
  if (index < 0) return;  // the Label3 captions have no mouse handler
  const float x = PixelsToTwips(static_cast<short>(LOWORD(position)), controls_.Dpi());
  const float y = PixelsToTwips(static_cast<short>(HIWORD(position)), controls_.Dpi());
  form_->Label1_MouseMove(static_cast<std::int16_t>(index), x, y);
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
