#include "app/window_search.h"

#include "platform/text.h"

namespace tavrel {
namespace {

constexpr int kTitleBufferSize = 255;
// Longer than any class name Windows allows (256 with its NUL).
constexpr int kClassBufferSize = 257;

bool Matches(std::u32string_view text, std::u32string_view pattern) {
  // Iterative glob match with back-tracking to the last "*".
  size_t t = 0, p = 0, starP = std::u32string_view::npos, starT = 0;
  while (t < text.size()) {
    if (p < pattern.size() && (pattern[p] == U'?' || pattern[p] == text[t])) {
      ++t, ++p;
    } else if (p < pattern.size() && pattern[p] == U'*') {
      starP = p++, starT = t;
    } else if (starP != std::u32string_view::npos) {
      p = starP + 1, t = ++starT;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == U'*') ++p;
  return p == pattern.size();
}

}  // namespace

bool MatchesPattern(std::string_view text, std::string_view pattern) {
  // Code points, so that "?" stands for one character, not one byte.
  return Matches(CodePoints(text), CodePoints(pattern));
}

std::int16_t WindowSearch::FindWindowsByTitle(WindowList& list, std::string_view text) {
  list.assign(1, nullptr);
  const std::string pattern = UpperCase("*" + std::string(text) + "*");
  CollectMatchingWindows(list, windows_.GetDesktopWindow(), pattern);
  return static_cast<std::int16_t>(list.size() - 1);
}

void WindowSearch::CollectMatchingWindows(WindowList& list, Hwnd parent, std::string_view pattern) {
  for (Hwnd child = windows_.GetWindow(parent, kGwChild); child;
       child = windows_.GetWindow(child, kGwHwndNext)) {
    CollectMatchingWindows(list, child, pattern);
    if (MatchesPattern(UpperCase(GetWindowTitle(child)), pattern)) list.push_back(child);
  }
}

int WindowSearch::CountTavrelWindows(const WindowList& list) {
  int count = 0;
  for (size_t i = 1; i < list.size(); ++i) {
    char16_t name[kClassBufferSize] = {};
    const Hwnd root = windows_.GetAncestor(list[i], kGaRoot);
    if (root && windows_.GetClassNameW(root, name, kClassBufferSize) > 0 &&
        std::u16string_view(name) == kMainWindowClass) {
      ++count;
    }
  }
  return count;
}

std::string WindowSearch::GetWindowTitle(Hwnd hWnd) {
  char buffer[kTitleBufferSize] = {};
  windows_.GetWindowTextA(hWnd, buffer, kTitleBufferSize);
  return AnsiToUtf8(std::string_view(buffer, std::char_traits<char>::length(buffer)));
}

}  // namespace tavrel
