#include "window/layout.h"

#include "product/maker.h"

#include <algorithm>
#include <cmath>

namespace tavrel {
namespace {

constexpr Colour kLightGrey = Colour::Rgb(192, 192, 192);
constexpr Colour kMidGrey = Colour::Rgb(128, 128, 128);
constexpr Colour kLightYellow = Colour::Rgb(255, 255, 128);
constexpr Colour kBlack = Colour::Rgb(0, 0, 0);

constexpr FontLayout kButtonFont{"ＭＳ Ｐゴシック", 900, 700, false, false, 128};
constexpr FontLayout kLinkFont{"Times New Roman", 975, 700, true, true, 0};

constexpr WindowLayout kWindow{kApplicationTitle, 6780, 3105, kMidGrey, Colour::Rgb(0, 255, 255)};

// The picture 32 pixels square, then 2, 8 and 4 pixels, at 96 DPI.
constexpr DrawingLayout kDrawing{480, 30, 120, 60};

// clang-format off
constexpr ControlLayout kControls[] = {
  {Control::FileFrame, ControlKind::Frame, false, {120, 120, 6555, 2835},
   Text::FrameTitle,
   kLightGrey, Colour::Rgb(192, 0, 192), std::nullopt, 4, false, true, false, std::nullopt, std::nullopt},
  {Control::ExitCheck, ControlKind::CheckBox, true, {180, 2460, 6135, 255},
   Text::ExitCheck,
   std::nullopt, std::nullopt, std::nullopt, 12, true, true, false, std::nullopt, std::nullopt},
  {Control::EndButton, ControlKind::PictureButton, true, {180, 1560, 1335, 855}, Text::EndButton,
   std::nullopt, std::nullopt, kButtonFont, 9, true, true, false, std::nullopt, std::nullopt},
  {Control::LaunchButton, ControlKind::PictureButton, true, {180, 660, 1335, 855}, Text::LaunchButton,
   std::nullopt, std::nullopt, kButtonFont, 6, true, true, false, std::nullopt, std::nullopt},
  {Control::LinkLabel, ControlKind::Label, true, {180, 240, 6135, 315}, Text::CopyrightLine,
   std::nullopt, kLinkNormal, kLinkFont, 5, false, true, false, Text::HomePageTooltip, std::nullopt},
  {Control::ProgramTitle, ControlKind::Label, true, {1740, 720, 4575, 315},
   Text::ProgramTitle,
   std::nullopt, kBlack, std::nullopt, 7, false, true, false, std::nullopt, std::nullopt},
  {Control::ProgramBox, ControlKind::FileBox, true, {1680, 1020, 4635, 435}, std::nullopt,
   kMidGrey, kLightYellow, std::nullopt, 8, true, true, true, Text::ProgramBoxTooltip, Text::ProgramTitle},
  {Control::FontTitle, ControlKind::Label, true, {1740, 1620, 4515, 255},
   Text::FontTitle,
   std::nullopt, kBlack, std::nullopt, 10, false, true, false, std::nullopt, std::nullopt},
  {Control::FontBox, ControlKind::FileBox, true, {1680, 1920, 4635, 435}, std::nullopt,
   kMidGrey, kLightYellow, std::nullopt, 11, true, true, true, Text::FontBoxTooltip, Text::FontTitle},
};
// clang-format on

static_assert(std::size(kControls) == kControlCount);

}  // namespace

namespace {

constexpr Colour System(SystemColour colour) { return Colour::System(colour); }

// In a high-contrast theme every text sits on the background it is paired
// with in the theme: the buttons' on the button face, links (hyperlink
// colour) and everything else (window text) on the window background.
Painted HighContrastColours(const ControlLayout& layout) {
  if (layout.kind == ControlKind::PictureButton) {
    return {System(SystemColour::ButtonFace), System(SystemColour::ButtonText)};
  }
  const SystemColour fore = layout.control == Control::LinkLabel ? SystemColour::HotLight : SystemColour::WindowText;
  return {System(SystemColour::Window), System(fore)};
}

}  // namespace

Painted WindowColours(bool highContrast) {
  if (highContrast) return {System(SystemColour::Window), System(SystemColour::WindowText)};
  return {kWindow.back, kWindow.fore};
}

Painted ColoursOf(Control c, bool highContrast, bool linkHot) {
  const ControlLayout& layout = LayoutOf(c);
  if (highContrast) return HighContrastColours(layout);
  const Colour parent = layout.insideFrame ? *LayoutOf(Control::FileFrame).back : kWindow.back;
  Colour fore = layout.fore.value_or(System(SystemColour::ButtonText));
  if (c == Control::LinkLabel && linkHot) fore = kLinkHot;
  return {layout.back.value_or(parent), fore};
}

const WindowLayout& MainWindowLayout() { return kWindow; }

const DrawingLayout& Drawing() { return kDrawing; }

std::span<const ControlLayout> Controls() { return kControls; }

const ControlLayout& LayoutOf(Control c) { return kControls[static_cast<int>(c)]; }

std::optional<Control> ControlWithId(int id) {
  const int index = id - ControlId(Control::FileFrame);
  if (index < 0 || index >= kControlCount) return std::nullopt;
  return static_cast<Control>(index);
}

bool IsOverLinkText(float x, float y) {
  // The hot rectangle, in twips from the line's top-left corner.
  constexpr float kLeft = 50, kRight = 6100, kTop = 20, kBottom = 300;
  return x > kLeft && x < kRight && y > kTop && y < kBottom;
}

TwipsRect ClientRect(const ControlLayout& layout) {
  TwipsRect r = layout.rect;
  if (layout.insideFrame) {
    r.left += LayoutOf(Control::FileFrame).rect.left;
    r.top += LayoutOf(Control::FileFrame).rect.top;
  }
  return r;
}

bool IsVisibleAtLayoutSize(const ControlLayout& layout) {
  const TwipsRect r = ClientRect(layout);
  return r.top < kWindow.clientHeight && r.left < kWindow.clientWidth;
}

namespace {

// Inserts `layout` after every entry whose key is not greater: an insertion
// sort that keeps the table's order among equal keys (the table is short).
template <typename Key>
void InsertInOrder(std::vector<const ControlLayout*>& order, const ControlLayout& layout, Key key) {
  auto at = order.end();
  while (at != order.begin() && key(**(at - 1)) > key(layout)) --at;
  order.insert(at, &layout);
}

}  // namespace

std::vector<Control> FocusOrder() {
  std::vector<const ControlLayout*> reachable;
  for (const ControlLayout& layout : kControls) {
    if (layout.takesFocus && IsVisibleAtLayoutSize(layout)) {
      InsertInOrder(reachable, layout, [](const ControlLayout& c) { return c.tabIndex; });
    }
  }
  std::vector<Control> order;
  for (const ControlLayout* layout : reachable) order.push_back(layout->control);
  return order;
}

std::vector<const ControlLayout*> CreationOrder() {
  std::vector<const ControlLayout*> order;
  for (const ControlLayout& layout : kControls) {
    InsertInOrder(order, layout,
                  [](const ControlLayout& c) { return std::pair(c.insideFrame, c.tabIndex); });
  }
  return order;
}

int TwipsToPixels(int twips, int dpi) {
  return static_cast<int>(std::lround(static_cast<double>(twips) * dpi / 1440.0));
}

float PixelsToTwips(int pixels, int dpi) { return static_cast<float>(pixels) * 1440.0f / dpi; }

}  // namespace tavrel
