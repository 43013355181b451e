// The main window as its event handlers see it: the state of its controls,
// its window state and its message boxes. The Win32 window implements it over
// real controls; host tests use an in-memory model of the controls.
#pragma once

#include <string>
#include <string_view>

#include "app/layout.h"
#include "platform/win_types.h"

namespace tavrel {

enum class WindowState { Normal = 0, Minimized = 1 };

class IFormWindow {
 public:
  virtual ~IFormWindow() = default;

  virtual Hwnd Handle() const = 0;
  // The caption of the window itself (it may not exist yet: then it is used
  // when the window is created).
  virtual void SetFormCaption(std::string_view caption) = 0;

  virtual void SetCaption(Control c, std::string_view caption) = 0;
  virtual std::string Caption(Control c) const = 0;
  virtual void SetEnabled(Control c, bool enabled) = 0;
  virtual bool IsEnabled(Control c) const = 0;
  // The value of a check box: true when ticked.
  virtual bool IsChecked(Control c) const = 0;
  virtual void SetChecked(Control c, bool checked) = 0;
  virtual void SetTextColour(Control c, Colour colour) = 0;
  virtual void SetFocus(Control c) = 0;

  // Clears Picture1 to its back colour, draws the icon at its top-left corner,
  // and makes Picture1's image the picture of the launch button.
  virtual void ShowIconOnLaunchButton(Hicon icon) = 0;

  virtual void Show() = 0;
  // Queues a click on a button: its handler runs from the message loop, after
  // what is already waiting there.
  virtual void PostClick(Control c) = 0;
  virtual void SetWindowState(WindowState state) = 0;
  // A modal message box owned by the window; returns the button chosen.
  virtual int MsgBox(std::string_view text, UINT style, std::string_view title) = 0;
};

}  // namespace tavrel
