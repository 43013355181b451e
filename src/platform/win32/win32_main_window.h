// frmMain's window on Win32: the main window, Frame1 and the controls of the
// layout table, created through the wide entry points, sized in twips at the
// system DPI. Events are forwarded to frmMain; frmMain changes the controls
// through IFormWindow. The window is also the event loop the launcher pumps.
#pragma once

#include <windows.h>

#include <array>
#include <map>
#include <optional>
#include <string>

#include "app/form_window.h"
#include "app/frm_main.h"
#include "platform/process_api.h"
#include "platform/win32/win32_handles.h"

namespace tavrel {

class DropTarget;

class MainWindow final : public IFormWindow, public IEventLoop {
 public:
  static constexpr wchar_t kClassName[] = L"TavrelMainWindow";

  explicit MainWindow(HINSTANCE instance);
  ~MainWindow() override;
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  void Attach(frmMain& form) { form_ = &form; }
  // Creates the window, hidden, with all its controls.
  bool Create();
  // Runs the message loop until WM_QUIT; its exit code.
  int Run();

  // IFormWindow
  Hwnd Handle() const override { return hwnd_; }
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
  // The procedure of a window whose messages go to `Handler` of its owner.
  template <LRESULT (MainWindow::*Handler)(HWND, UINT, WPARAM, LPARAM)>
  static LRESULT CALLBACK RoutedProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK PictureProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK LabelProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                    UINT_PTR id, DWORD_PTR self);
  static bool RegisterClasses(HINSTANCE instance);

  LRESULT OnMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT OnFrameMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  void OnCommand(int id, int code);
  void OnDrawItem(const DRAWITEMSTRUCT& item);
  HBRUSH OnCtlColor(HDC dc, Control c);
  void OnActivate(bool active);
  void OnLabelMouseMove(Control c, LPARAM position);
  void PaintFrame(HWND frame);
  void PaintPicture(HWND picture);
  bool DispatchOne(MSG& message);

  void CreateFonts();
  HWND CreateControl(const ControlLayout& layout);
  void SetUpTooltip();
  void RegisterDropTargets();
  void RevokeDropTargets();
  HWND Window(Control c) const { return controls_[static_cast<int>(c)]; }
  // The control with this child-window id, if it is one of ours.
  static std::optional<Control> ControlOf(int id);
  HBRUSH Brush(COLORREF colour);
  COLORREF Resolve(Colour colour) const;
  int Px(int twips) const;
  RECT ClientRectOf(const ControlLayout& layout) const;

  HINSTANCE instance_;
  frmMain* form_ = nullptr;
  HWND hwnd_ = nullptr;
  HWND tooltip_ = nullptr;
  HWND savedFocus_ = nullptr;
  int dpi_ = 96;
  std::wstring caption_;
  std::array<HWND, kControlCount> controls_{};
  std::array<Colour, kControlCount> textColours_{};
  std::array<DropTarget*, 2> dropTargets_{};

  UniqueFont uiFont_;
  UniqueFont buttonFont_;
  UniqueFont linkFont_;
  std::map<COLORREF, UniqueBrush> brushes_;
  UniqueWin32Icon endIcon_;
  UniqueWin32Icon placeholderIcon_;
  UniqueBitmap pictureImage_;    // Picture1's persistent image
  UniqueBitmap launchPicture_;   // the launch button's picture, once a program has icons
};

}  // namespace tavrel
