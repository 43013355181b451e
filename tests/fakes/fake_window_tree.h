// A desktop window tree with titles, read through GetWindowTextA as user32
// does: the title in code page 932, cut to maxCount - 1 bytes.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "platform/window_tree_api.h"

namespace tavrel::fakes {

class FakeWindowTree final : public IWindowTree {
 public:
  FakeWindowTree();
  // Adds a window of a class under `parent` (nullptr: a top-level window);
  // its handle.
  Hwnd Add(Hwnd parent, std::string title, std::u16string className = u"#32770");
  Hwnd Desktop() const { return desktop_; }

  Hwnd GetDesktopWindow() override { return desktop_; }
  Hwnd GetWindow(Hwnd window, UINT command) override;
  int GetWindowTextA(Hwnd window, char* buffer, int maxCount) override;
  Hwnd GetAncestor(Hwnd window, UINT flags) override;
  int GetClassNameW(Hwnd window, char16_t* buffer, int maxCount) override;

 private:
  struct Node {
    std::string title;
    std::u16string className;
    Hwnd parent = nullptr;
    std::vector<Hwnd> children;
  };
  std::map<Hwnd, Node> nodes_;
  std::uintptr_t next_ = 0x10000;
  Hwnd desktop_ = nullptr;
};

}  // namespace tavrel::fakes
