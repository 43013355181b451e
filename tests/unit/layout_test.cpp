// The window's layout as data: what the keyboard can reach and what lies
// outside the visible client area.
#include <gtest/gtest.h>

#include "app/layout.h"

namespace tavrel {
namespace {

TEST(Layout, TheKeyboardReachesOnlyVisibleControlsInTabOrder) {
  EXPECT_EQ(FocusOrder(), (std::vector<Control>{Control::cmdExecSoft, Control::cmdEnd,
                                                Control::chkExit}));
}

TEST(Layout, TheFunctionalControlsLieBelowTheClientAreaAndTakeNoFocus) {
  for (const ControlSpec& spec : Controls()) {
    const bool hidden = spec.control == Control::Picture1 || spec.control == Control::Command1_0 ||
                        spec.control == Control::Command1_1 || spec.control == Control::Label1_2;
    EXPECT_EQ(IsVisibleAtLayoutSize(spec), !hidden) << static_cast<int>(spec.control);
    if (hidden) {
      EXPECT_FALSE(spec.takesFocus);
    }
  }
}

TEST(Layout, TheFramesControlsFitInsideIt) {
  const TwipsRect frame = Spec(Control::Frame1).rect;
  for (const ControlSpec& spec : Controls()) {
    if (!spec.insideFrame) continue;
    EXPECT_LE(spec.rect.left + spec.rect.width, frame.width) << static_cast<int>(spec.control);
    EXPECT_LE(spec.rect.top + spec.rect.height, frame.height) << static_cast<int>(spec.control);
  }
}

TEST(Layout, TwipsBecomePixelsAtTheMonitorsDpi) {
  const WindowSpec& w = MainWindowSpec();
  EXPECT_EQ(TwipsToPixels(w.clientWidth, 96), 452);
  EXPECT_EQ(TwipsToPixels(w.clientHeight, 96), 207);
  EXPECT_EQ(TwipsToPixels(w.clientWidth, 144), 678);
  EXPECT_FLOAT_EQ(PixelsToTwips(4, 96), 60.0f);
  // At 96 DPI every length of the layout is a whole number of pixels.
  for (const ControlSpec& spec : Controls()) {
    EXPECT_EQ(spec.rect.width % 15, 0) << static_cast<int>(spec.control);
    EXPECT_EQ(spec.rect.height % 15, 0) << static_cast<int>(spec.control);
  }
}

}  // namespace
}  // namespace tavrel
