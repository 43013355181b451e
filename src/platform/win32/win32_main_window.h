// frmMain's window on Win32: it routes the messages of the window and its
// controls to frmMain's handlers and lets frmMain change the controls
// through IFormWindow. It is also the event loop the launcher pumps. The
// controls are made by WindowControls and drawn by WindowPainter.
#pragma once

#include <windows.h>

#include <string>

#include "app/form_window.h"
#include "app/frm_main.h"
#include "platform/process_api.h"
#include "platform/win32/win32_scopes.h"
#include "platform/win32/win32_window_controls.h"
#include "platform/win32/win32_window_painter.h"

namespace tavrel {

class MainWindow final : public IFormWindow, public IEventLoop, private IDropSink {
 public:
  explicit MainWindow(HINSTANCE instance) : instance_(instance) {}
  ~MainWindow() override { Destroy(); }
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  void Attach(frmMain& form) { form_ = &form; }
  // Creates the window, hidden, with all its controls; false when something
  // could not be made (nothing is left half-built: Destroy runs).
  bool Create();
  // Revokes the drop targets, destroys the window and uninitialises OLE.
  // Safe to call more than once, and from inside the window's own handlers.
  void Destroy();
  // The message that a failed Create or start-up ends with.
  void ReportFailure();
  // Runs the message loop until WM_QUIT; its exit code.
  int Run();
  // The tooltip and the drop targets: once, when the queue first runs empty
  // (every control has painted by then). On failure start-up ends with a
  // message, the way every close does.
  void FinishStartUp();

  // IFormWindow
  Hwnd Handle() const override { return window_.get(); }
  void SetFormCaption(std::string_view caption) override;
  void SetCaption(Control c, std::string_view caption) override;
  std::string Caption(Control c) const override;
  void SetEnabled(Control c, bool enabled) override;
  bool IsEnabled(Control c) const override;
  bool IsChecked(Control c) const override;
  void SetChecked(Control c, bool checked) override;
  void SetTextColour(Control c, Colour colour) override;
  void SetFocus(Control c) override;
  void ShowIconOnLaunchButton(Hicon icon) override;
  void Show() override;
  void PostClick(Control c) override;
  void SetWindowState(WindowState state) override;
  int MsgBox(std::string_view text, UINT style, std::string_view title) override;

  // IEventLoop
  void DoEvents() override;

 private:
  // IDropSink: the drags over the file boxes go to frmMain.
  DWORD DragOver(int box, const DropData& data) override;
  void Drop(int box, const DropData& data) override;

  // The window procedures of the window's classes and the labels' subclass.
  static WindowControls::Procedures Procedures();
  // The procedure of a window whose messages go to `Handler` of its owner.
  template <LRESULT (MainWindow::*Handler)(HWND, UINT, WPARAM, LPARAM)>
  static LRESULT CALLBACK RoutedProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK LabelProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                    UINT_PTR id, DWORD_PTR self);
  bool Fail(DWORD error);

  LRESULT OnMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT OnFrameMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT OnPictureMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT OnControlMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  void OnActivate(bool active);
  void OnLabelMouseMove(Control c, LPARAM position);
  bool DispatchOne(MSG& message);
  HWND Window(Control c) const { return controls_.Window(c); }

  HINSTANCE instance_;
  frmMain* form_ = nullptr;
  WindowPainter painter_;
  WindowControls controls_;
  UniqueWindow window_;  // after controls_: goes first, before the fonts it uses
  HWND savedFocus_ = nullptr;
  std::wstring caption_;
  bool startUpFinished_ = false;
  DWORD error_ = ERROR_SUCCESS;
};

}  // namespace tavrel
