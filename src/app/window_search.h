// The search of the desktop's window tree by title, used by the start-up
// guard against a second copy.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/window_tree_api.h"

namespace tavrel {

// The class of Tavrel's main window, by which the guard tells another copy's
// windows from those of other programs.
inline constexpr char16_t kMainWindowClass[] = u"TavrelMainWindow";

// Element 0 is a placeholder; matches are appended from index 1 on, so the
// last index equals the number of matches.
using WindowList = std::vector<Hwnd>;

class WindowSearch {
 public:
  explicit WindowSearch(IWindowTree& windows) : windows_(windows) {}

  // Fills `list` with every window on the desktop whose title contains `text`,
  // ignoring case, and returns their number.
  std::int16_t FindWindowsByTitle(WindowList& list, std::string_view text);
  // Appends every descendant of `parent` whose upper-cased title matches
  // `pattern`, depth first: a window's descendants before the window itself.
  void CollectMatchingWindows(WindowList& list, Hwnd parent, std::string_view pattern);
  // The title of the window, at most 254 bytes of it in the ANSI code page.
  std::string GetWindowTitle(Hwnd hWnd);
  // How many windows of `list` (from index 1) belong to a Tavrel main window.
  int CountTavrelWindows(const WindowList& list);

 private:
  IWindowTree& windows_;
};

// Wildcard match in which "*" stands for any run of characters and "?" for
// one; other characters compare exactly.
bool MatchesPattern(std::string_view text, std::string_view pattern);

}  // namespace tavrel
