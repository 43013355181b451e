// The main window's controls as data: kind, nesting, geometry in twips,
// captions, fonts, colours, tab order and which ones take the keyboard focus.
// The Win32 window creates its controls from this table.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "texts/texts.h"

namespace tavrel {

// Every control, in creation order. The window's own controls come first, then
// those inside the file frame.
enum class Control : int {
  FileFrame,         // the frame around the buttons and the two file boxes
  ExitCheck,         // end Tavrel with the program
  EndButton,
  LaunchButton,
  LinkLabel,         // the maker's line, a link to the home page
  ProgramTitle,
  ProgramBox,        // takes a dropped program, or opens a dialog to choose one
  FontTitle,
  FontBox,           // takes a dropped font file, or opens a dialog to choose one
};
inline constexpr int kControlCount = 9;

// The Win32 child-window identifier of a control (also what the end-to-end
// tests look controls up by).
constexpr int ControlId(Control c) { return 1000 + static_cast<int>(c); }

// A file box shows a path like a label, takes the keyboard focus and clicks
// like a button, and takes drops.
enum class ControlKind { Frame, PictureButton, CheckBox, Label, FileBox };

// One of the user's system colours, which follow the scheme they chose.
enum class SystemColour : std::uint8_t { None, Window, WindowText, ButtonFace, ButtonText, HotLight };

// A colour of the window: an RGB triple, or one of the user's system colours.
struct Colour {
  std::uint8_t red = 0, green = 0, blue = 0;
  SystemColour system = SystemColour::None;
  static constexpr Colour Rgb(int r, int g, int b) {
    return Colour{static_cast<std::uint8_t>(r), static_cast<std::uint8_t>(g), static_cast<std::uint8_t>(b)};
  }
  static constexpr Colour System(SystemColour system) { return Colour{0, 0, 0, system}; }
  constexpr bool IsSystem() const { return system != SystemColour::None; }
  constexpr bool operator==(const Colour&) const = default;
};

inline constexpr Colour kLinkNormal = Colour::Rgb(255, 255, 255);
inline constexpr Colour kLinkHot = Colour::Rgb(0, 0, 255);

struct FontLayout {
  const char* face;  // UTF-8
  int hundredthsOfPoint;
  int weight;
  bool italic;
  bool underline;
  int charset;
};

struct TwipsRect {
  int left, top, width, height;
};

struct ControlLayout {
  Control control;
  ControlKind kind;
  bool insideFrame;    // positioned relative to the file frame's top-left corner
  TwipsRect rect;
  std::optional<Text> caption;  // nothing: the control starts without text
  std::optional<Colour> back;  // nothing: the control kind's default
  std::optional<Colour> fore;
  std::optional<FontLayout> font;  // nothing: the window's user-interface font
  int tabIndex;
  bool takesFocus;    // a tab stop that the keyboard can reach
  bool enabledAtStart;
  bool acceptsDrops;
  std::optional<Text> tooltip;         // shown while the pointer rests on it
  std::optional<Text> accessibleName;  // what a screen reader calls it, when not its caption
};

struct WindowLayout {
  const char* caption;  // before the version is appended
  int clientWidth, clientHeight;  // twips
  Colour back, fore;
};

// Lengths the window draws with, in twips like the controls.
struct DrawingLayout {
  int launchPicture;     // the side of the program's icon on the launch button
  int pictureGap;        // from a picture button's picture down to its caption
  int frameTitleIndent;  // from the file frame's left edge to its title
  int focusInset;        // from a picture button's edge in to its focus rectangle
};

// The colours a control or the window is painted in.
struct Painted {
  Colour back, fore;
  constexpr bool operator==(const Painted&) const = default;
};

// The colours of the window's background and text: the table's, or the
// system's in a high-contrast theme.
Painted WindowColours(bool highContrast);
// The colours of a control: its own or its parent's background, and its
// text (the link's depends on whether the pointer is on it). In a
// high-contrast theme every one is a system colour, in the pairs the theme
// sets: window text, hyperlinks, button text.
Painted ColoursOf(Control c, bool highContrast, bool linkHot = false);

const WindowLayout& MainWindowLayout();
const DrawingLayout& Drawing();
std::span<const ControlLayout> Controls();
const ControlLayout& LayoutOf(Control c);

// The control with this child-window id, if it is one of ours.
std::optional<Control> ControlWithId(int id);

// Whether a point of the link line, in twips from its top-left corner, lies
// on the words that link to the home page.
bool IsOverLinkText(float x, float y);

// Whether the control lies (at least partly) inside the visible client area.
bool IsVisibleAtLayoutSize(const ControlLayout& layout);
// The controls the keyboard can reach, in tab order: focusable and visible.
std::vector<Control> FocusOrder();
// Every control in the order of creation: the main window's, then the file frame's,
// each in tab order, since dialog navigation follows the order of creation.
std::vector<const ControlLayout*> CreationOrder();

// Twips and pixels at a given DPI (15 twips per pixel at 96 DPI).
int TwipsToPixels(int twips, int dpi);
float PixelsToTwips(int pixels, int dpi);

// Where a control sits within the client area in twips (frame offset applied).
TwipsRect ClientRect(const ControlLayout& layout);

}  // namespace tavrel
