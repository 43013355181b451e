// The run as the main window shows it, and what the run asks of the window.
#pragma once

#include <string>

#include "base/errors.h"

namespace tavrel {

enum class BoxIcon { Information, Warning, Question };
enum class BoxButtons { Ok, YesNo };

// A message box, titled with the application's name (kApplicationTitle).
struct Box {
  std::string text;  // UTF-8
  BoxIcon icon = BoxIcon::Information;
  BoxButtons buttons = BoxButtons::Ok;
  bool operator==(const Box&) const = default;
};

// Everything the window shows that depends on the run. The window draws the
// program's icon on the launch button from `program` itself.
struct Screen {
  std::string title;            // the window's caption, with the version
  std::string programCaption;   // the program box: its path, or a prompt
  std::string program;          // the registered program's full path, or empty
  std::string fontCaption;      // the font box: its path, or a prompt
  bool launchEnabled = true;
  bool exitWhenDone = false;    // the check box
  bool shortcutOffered = false; // the system menu's shortcut item: both files are known
  bool visible = false;
  bool minimized = false;
  bool closed = false;          // the window goes and the message loop ends
  bool operator==(const Screen&) const = default;
};

class IRunView {
 public:
  virtual ~IRunView() = default;
  // Shows the screen; called after every change of the run.
  virtual void Show(const Screen& screen) = 0;
  // The window that owns message boxes and the shell's prompts.
  [[nodiscard]] virtual WindowHandle Owner() const = 0;
  // Brings the window to the front, above the program that started Tavrel.
  virtual void BringToFront() = 0;
  // A modal box, owned by the window while it is shown (standing alone
  // before and after); true when the user answered Yes (or OK).
  virtual bool ShowBox(const Box& box) = 0;
};

}  // namespace tavrel
