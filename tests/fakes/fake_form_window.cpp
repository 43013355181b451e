#include "fakes/fake_form_window.h"

#include <stdexcept>
#include <utility>

namespace tavrel::fakes {

FakeFormWindow::FakeFormWindow() {
  for (const ControlLayout& layout : Controls()) {
    controls_.push_back(ControlState{layout.caption, layout.enabledAtStart, false,
                                     layout.fore.value_or(Colour{})});
  }
}

void FakeFormWindow::SetCaption(Control c, std::string_view caption) {
  (*this)[c].caption = caption;
}

std::string FakeFormWindow::Caption(Control c) const {
  return controls_[static_cast<int>(c)].caption;
}

void FakeFormWindow::SetEnabled(Control c, bool enabled) { (*this)[c].enabled = enabled; }

bool FakeFormWindow::IsEnabled(Control c) const { return controls_[static_cast<int>(c)].enabled; }

bool FakeFormWindow::IsChecked(Control c) const { return controls_[static_cast<int>(c)].checked; }

void FakeFormWindow::SetTextColour(Control c, Colour colour) { (*this)[c].textColour = colour; }

void FakeFormWindow::Show() {
  shown = true;
  enabledWhenShown = IsEnabled(Control::cmdExecSoft);
}

void FakeFormWindow::SetWindowState(WindowState s) {
  state = s;
  stateChanges.push_back(s);
}

int FakeFormWindow::MsgBox(std::string_view text, UINT style, std::string_view title) {
  boxes.push_back(MessageBoxShown{Handle(), std::string(text), std::string(title), style});
  // A box with OK alone tells; only a question needs a scripted answer.
  if ((style & 0xF) == kMbOk && answers.empty()) return kIdOk;
  if (answers.empty()) throw std::logic_error("unexpected message box: " + std::string(text));
  const int answer = answers.front();
  answers.pop_front();
  if (whileBoxIsShown) std::exchange(whileBoxIsShown, nullptr)();
  return answer;
}

}  // namespace tavrel::fakes
