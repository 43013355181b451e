#include "fakes/fake_window_tree.h"

#include <algorithm>
#include <cstring>

#include "platform/text.h"

namespace tavrel::fakes {

FakeWindowTree::FakeWindowTree() {
  desktop_ = reinterpret_cast<Hwnd>(next_);
  next_ += 0x10;
  nodes_[desktop_] = Node{};
}

Hwnd FakeWindowTree::Add(Hwnd parent, std::string title, std::u16string className) {
  const auto window = reinterpret_cast<Hwnd>(next_);
  next_ += 0x10;
  if (!parent) parent = desktop_;
  nodes_[window] = Node{std::move(title), std::move(className), parent, {}};
  nodes_[parent].children.push_back(window);
  return window;
}

Hwnd FakeWindowTree::GetWindow(Hwnd window, UINT command) {
  const auto it = nodes_.find(window);
  if (it == nodes_.end()) return nullptr;
  if (command == kGwChild) return it->second.children.empty() ? nullptr : it->second.children[0];
  if (command != kGwHwndNext || !it->second.parent) return nullptr;
  const auto& siblings = nodes_[it->second.parent].children;
  const auto pos = std::find(siblings.begin(), siblings.end(), window);
  return pos + 1 < siblings.end() ? *(pos + 1) : nullptr;
}

int FakeWindowTree::GetWindowTextA(Hwnd window, char* buffer, int maxCount) {
  const auto it = nodes_.find(window);
  if (maxCount <= 0) return 0;
  const std::string ansi = it == nodes_.end() ? std::string() : Utf8ToAnsi(it->second.title);
  const size_t n = std::min(ansi.size(), static_cast<size_t>(maxCount - 1));
  std::memcpy(buffer, ansi.data(), n);
  buffer[n] = '\0';
  return static_cast<int>(n);
}

Hwnd FakeWindowTree::GetAncestor(Hwnd window, UINT flags) {
  if (flags != kGaRoot || !nodes_.count(window) || window == desktop_) return nullptr;
  while (nodes_[window].parent != desktop_) window = nodes_[window].parent;
  return window;
}

int FakeWindowTree::GetClassNameW(Hwnd window, char16_t* buffer, int maxCount) {
  const auto it = nodes_.find(window);
  if (it == nodes_.end() || maxCount <= 0) return 0;
  const std::u16string& name = it->second.className;
  const size_t n = std::min(name.size(), static_cast<size_t>(maxCount - 1));
  std::copy_n(name.begin(), n, buffer);
  buffer[n] = u'\0';
  return static_cast<int>(n);
}

}  // namespace tavrel::fakes
