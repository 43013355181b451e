// The run's window on Win32: it shows the run's Screen, and routes the input
// of the window and its controls to the run. The controls are made by
// WindowControls and drawn by WindowPainter.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "run/run.h"
#include "shell/scopes.h"
#include "shell/window_controls.h"
#include "shell/window_painter.h"

namespace tavrel {

// The command id of the item Tavrel adds to the main window's system menu
// (the system's own ids start at 0xF000, and the low four bits are the
// system's).
inline constexpr UINT kShortcutMenuId = 0x0110;

// Shows a message box owned by `owner` (none: it stands alone); true for
// Yes or OK. The window's tests put one of their own in place.
using BoxPresenter = std::function<bool(HWND owner, const Box& box)>;
bool ShowMessageBox(HWND owner, const Box& box);

class MainWindow final : public IRunView, private IDropSink {
 public:
  explicit MainWindow(HINSTANCE instance, BoxPresenter boxes = ShowMessageBox)
      : instance_(instance), boxes_(std::move(boxes)) {}
  ~MainWindow() override { Destroy(); }
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  // The window shows the run and speaks its language.
  void Attach(Run& run) {
    run_ = &run;
    texts_ = &run.texts();
  }
  // Creates the window, hidden, with all its controls; false when something
  // could not be made (nothing is left half-built: Destroy runs).
  bool Create(std::string_view title);
  // Revokes the drop targets, destroys the window and uninitialises OLE.
  // Safe to call more than once, and from inside the window's own handlers.
  void Destroy();
  // The message that a failed Create or start-up ends with.
  std::string FailureText() const;
  // The tooltip and the drop targets: once, when the queue first runs empty
  // (every control has painted by then). On failure the run is told, and
  // closes the way every close goes.
  void FinishStartUp();
  // Dialog navigation (Tab, Space, the Alt+E access key) for a message of
  // the window's; true when it was handled so.
  bool HandleDialogKey(MSG& message);

  // IRunView
  void Show(const Screen& screen) override;
  WindowHandle Owner() const override { return window_.get(); }
  void BringToFront() override;
  bool ShowBox(const Box& box) override;

 private:
  // IDropSink: the drags over the file boxes go to the run.
  bool Accepts(DropBox box, const DropData& data) override;
  void Drop(DropBox box, const DropData& data) override;

  // The window procedures of the window's classes and the labels' subclass.
  static WindowControls::Procedures Procedures();
  // The procedure of a window whose messages go to `Handler` of its owner.
  template <LRESULT (MainWindow::*Handler)(HWND, UINT, WPARAM, LPARAM)>
  static LRESULT CALLBACK RoutedProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK LabelProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                    UINT_PTR id, DWORD_PTR self);
  bool Fail(DWORD error);
  bool AddShortcutItem();

  LRESULT OnMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT OnFrameMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT OnControlMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  void OnCommand(Control c, int code);
  // A click on a file box, or Enter or Space on it: the Open dialog, and
  // the file chosen there to the run as if dropped on the box.
  void ChooseFileFor(Control box);
  void ReportChooserFailure(DWORD error);
  // What a screen reader asks a file box through WM_GETOBJECT; 0 for the
  // system's answer.
  LRESULT AnswerBoxObject(Control box, HWND hwnd, WPARAM wParam, LPARAM lParam);
  // The system colours or the high-contrast theme changed.
  void OnSystemColours();
  void OnActivate(bool active);
  void OnDpiChanged(int dpi, const RECT& suggested);
  // Fonts, controls and pictures at `dpi`, repainted; false (nothing
  // changed, controls_.Error() tells why) when the fonts cannot be made.
  bool Rescale(int dpi);
  LRESULT OnCopyData(const COPYDATASTRUCT& data);
  void OnHandOvers();
  void OnLabelMouseMove(Control c, LPARAM position);
  void ShowLinkHot(bool hot);

  void ShowCaption(Control c, const std::string& now, const std::string& before);
  void ShowProgramIcon(const std::string& program);
  void ShowShortcutItem(bool offered);
  void ShowWindowState(const Screen& screen, bool wasVisible);
  void FocusFirstReachableControl();
  HWND Window(Control c) const { return controls_.Window(c); }

  HINSTANCE instance_;
  BoxPresenter boxes_;
  Run* run_ = nullptr;
  const Texts* texts_ = nullptr;  // the run's: kept while the window goes
  WindowPainter painter_;
  WindowControls controls_;
  UniqueWindow window_;  // after controls_: goes first, before the fonts it uses
  Screen shown_;         // what the window shows now
  std::vector<HandOver> handOvers_;  // copied from WM_COPYDATA, for the run once the sender is free
  HWND savedFocus_ = nullptr;
  bool startUpFinished_ = false;
  bool choosing_ = false;  // an Open dialog is up: its own loop may deliver another click
  DWORD error_ = ERROR_SUCCESS;
};

}  // namespace tavrel
