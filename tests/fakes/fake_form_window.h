// The main window as an in-memory model of its controls, starting from the
// layout's captions and enabled states. Message boxes that ask take their
// answers from a script; one that nobody expected fails the test.
#pragma once

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/form_window.h"
#include "fakes/fake_session.h"

namespace tavrel::fakes {

class FakeFormWindow final : public IFormWindow {
 public:
  struct ControlState {
    std::string caption;
    bool enabled = true;
    bool checked = false;
    Colour textColour{};
  };

  FakeFormWindow();

  ControlState& operator[](Control c) { return controls_[static_cast<int>(c)]; }

  std::string formCaption;
  bool shown = false;
  bool enabledWhenShown = true;  // the launch button's state at Show()
  WindowState state = WindowState::Normal;
  std::vector<WindowState> stateChanges;
  std::optional<Control> focus;
  Hicon iconOnLaunchButton = nullptr;
  std::deque<int> answers;  // for MsgBox, in order
  std::vector<MessageBoxShown> boxes;
  std::function<void()> whileBoxIsShown;  // runs inside the box's modal loop
  struct PostedClick {
    Control control;
    bool windowShown;  // whether the window was shown when it was posted
  };
  std::vector<PostedClick> postedClicks;

  Hwnd Handle() const override { return reinterpret_cast<Hwnd>(0xF00D0); }
  void SetFormCaption(std::string_view caption) override { formCaption = caption; }
  void SetCaption(Control c, std::string_view caption) override;
  std::string Caption(Control c) const override;
  void SetEnabled(Control c, bool enabled) override;
  bool IsEnabled(Control c) const override;
  bool IsChecked(Control c) const override;
  void SetChecked(Control c, bool checked) override { (*this)[c].checked = checked; }
  void SetTextColour(Control c, Colour colour) override;
  void SetFocus(Control c) override { focus = c; }
  void ShowIconOnLaunchButton(Hicon icon) override { iconOnLaunchButton = icon; }
  void Show() override;
  // Kept until the test runs them, as the message loop would.
  void PostClick(Control c) override { postedClicks.push_back({c, shown}); }
  void SetWindowState(WindowState s) override;
  int MsgBox(std::string_view text, UINT style, std::string_view title) override;

 private:
  std::vector<ControlState> controls_;
};

}  // namespace tavrel::fakes
