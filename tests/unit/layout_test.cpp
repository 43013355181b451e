// The window's table: the colours each part is painted in, normally and in a
// high-contrast theme, and the keyboard's way through the controls.
#include <gtest/gtest.h>

#include <tuple>

#include "window/layout.h"

namespace tavrel {
namespace {

constexpr Colour Sys(SystemColour c) { return Colour::System(c); }
constexpr Colour kGrey = Colour::Rgb(192, 192, 192);

struct ColourRow {
  std::optional<Control> part;  // nothing: the window itself
  bool highContrast;
  bool linkHot;
  Painted painted;
};

void PrintTo(const ColourRow& row, std::ostream* out) {
  *out << (row.part ? ControlId(*row.part) : 0) << (row.highContrast ? " high contrast" : " normal")
       << (row.linkHot ? " hot" : "");
}

class Colours : public ::testing::TestWithParam<ColourRow> {};

TEST_P(Colours, ComeFromTheTableOrInHighContrastFromTheSystem) {
  const ColourRow& row = GetParam();
  const Painted painted =
      row.part ? ColoursOf(*row.part, row.highContrast, row.linkHot) : WindowColours(row.highContrast);
  EXPECT_EQ(painted, row.painted);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Rows, Colours, ::testing::Values(
    ColourRow{std::nullopt, false, false, {Colour::Rgb(128, 128, 128), Colour::Rgb(0, 255, 255)}},
    ColourRow{std::nullopt, true, false, {Sys(SystemColour::Window), Sys(SystemColour::WindowText)}},
    ColourRow{Control::FileFrame, false, false, {kGrey, Colour::Rgb(192, 0, 192)}},
    // the boxes: yellow on grey, or the colours of a window's contents
    ColourRow{Control::ProgramBox, false, false, {Colour::Rgb(128, 128, 128), Colour::Rgb(255, 255, 128)}},
    ColourRow{Control::FontBox, true, false, {Sys(SystemColour::Window), Sys(SystemColour::WindowText)}},
    // a caption on the frame takes the frame's background
    ColourRow{Control::ProgramTitle, false, false, {kGrey, Colour::Rgb(0, 0, 0)}},
    // a control without colours of its own: the frame's face, the button text
    ColourRow{Control::ExitCheck, false, false, {kGrey, Sys(SystemColour::ButtonText)}},
    ColourRow{Control::ExitCheck, true, false, {Sys(SystemColour::Window), Sys(SystemColour::WindowText)}},
    // buttons keep the colours of buttons; outside the frame the window shows behind them
    ColourRow{Control::LaunchButton, true, false, {Sys(SystemColour::ButtonFace), Sys(SystemColour::ButtonText)}},
    ColourRow{Control::EndButton, false, false, {kGrey, Sys(SystemColour::ButtonText)}},
    // the link lights up under the pointer, and is always a link in high contrast
    ColourRow{Control::LinkLabel, false, false, {kGrey, kLinkNormal}},
    ColourRow{Control::LinkLabel, false, true, {kGrey, kLinkHot}},
    ColourRow{Control::LinkLabel, true, true, {Sys(SystemColour::Window), Sys(SystemColour::HotLight)}}));
// clang-format on

TEST(Colours, EveryOneIsTheSystemsInHighContrast) {
  for (const ControlLayout& layout : Controls()) {
    for (const bool hot : {false, true}) {
      const Painted painted = ColoursOf(layout.control, true, hot);
      EXPECT_TRUE(painted.back.IsSystem() && painted.fore.IsSystem()) << ControlId(layout.control);
    }
  }
}

// Tab goes the way a reader reads: down the window, and along a line from
// left to right; the two file boxes are on the way.
TEST(FocusOrder, FollowsTheReadingOrderAndReachesTheBoxes) {
  const std::vector<Control> order = FocusOrder();
  EXPECT_EQ(order, (std::vector{Control::LaunchButton, Control::ProgramBox, Control::EndButton,
                                Control::FontBox, Control::ExitCheck}));
  for (std::size_t i = 1; i < order.size(); ++i) {
    const TwipsRect before = ClientRect(LayoutOf(order[i - 1]));
    const TwipsRect now = ClientRect(LayoutOf(order[i]));
    EXPECT_LT(std::tuple(before.top, before.left), std::tuple(now.top, now.left)) << ControlId(order[i]);
  }
}

}  // namespace
}  // namespace tavrel
