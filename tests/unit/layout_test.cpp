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
  for (const ControlLayout& layout : Controls()) {
    const bool hidden = layout.control == Control::Picture1 || layout.control == Control::Command1_0 ||
                        layout.control == Control::Command1_1 || layout.control == Control::Label1_2;
    EXPECT_EQ(IsVisibleAtLayoutSize(layout), !hidden) << static_cast<int>(layout.control);
    if (hidden) {
      EXPECT_FALSE(layout.takesFocus);
    }
  }
}

TEST(Layout, TheFramesControlsFitInsideIt) {
  const TwipsRect frame = LayoutOf(Control::Frame1).rect;
  for (const ControlLayout& layout : Controls()) {
    if (!layout.insideFrame) continue;
    EXPECT_LE(layout.rect.left + layout.rect.width, frame.width) << static_cast<int>(layout.control);
    EXPECT_LE(layout.rect.top + layout.rect.height, frame.height) << static_cast<int>(layout.control);
  }
}

TEST(Layout, TwipsBecomePixelsAtTheMonitorsDpi) {
  const WindowLayout& w = MainWindowLayout();
  EXPECT_EQ(TwipsToPixels(w.clientWidth, 96), 452);
  EXPECT_EQ(TwipsToPixels(w.clientHeight, 96), 207);
  EXPECT_EQ(TwipsToPixels(w.clientWidth, 144), 678);
  EXPECT_FLOAT_EQ(PixelsToTwips(4, 96), 60.0f);
  // At 96 DPI every length of the layout is a whole number of pixels.
  for (const ControlLayout& layout : Controls()) {
    EXPECT_EQ(layout.rect.width % 15, 0) << static_cast<int>(layout.control);
    EXPECT_EQ(layout.rect.height % 15, 0) << static_cast<int>(layout.control);
  }
}

struct LengthRow {
  const char* what;
  int twips;
  int pixelsAt96, pixelsAt144;
};

TEST(Layout, TheDrawingLengthsAreWholePixelsThatScaleWithTheDpi) {
  const DrawingLayout& d = Drawing();
  const LengthRow rows[] = {
      {"picture to caption", d.pictureGap, 2, 3},
      {"frame title indent", d.frameTitleIndent, 8, 12},
      {"focus rectangle inset", d.focusInset, 4, 6},
      {"picture size", LayoutOf(Control::Picture1).rect.width, 32, 48},
  };
  for (const LengthRow& row : rows) {
    EXPECT_EQ(TwipsToPixels(row.twips, 96), row.pixelsAt96) << row.what;
    EXPECT_EQ(TwipsToPixels(row.twips, 144), row.pixelsAt144) << row.what;
  }
}

TEST(Layout, ChildWindowIdsNameTheirControls) {
  EXPECT_EQ(ControlWithId(ControlId(Control::Frame1) - 1), std::nullopt);
  EXPECT_EQ(ControlWithId(ControlId(Control::Label1_1) + 1), std::nullopt);
  for (const ControlLayout& layout : Controls()) {
    EXPECT_EQ(ControlWithId(ControlId(layout.control)), layout.control);
  }
}

}  // namespace
}  // namespace tavrel
