// How the main window looks: the colours of the window and its controls,
// the file frame and the launch picture, the two picture buttons and the launch button's
// picture. Every brush, icon and bitmap it draws with is its own; sizes come
// from the layout table in twips at the DPI it is given.
#pragma once

#include <windows.h>

#include <array>
#include <cstdint>
#include <utility>
#include <vector>

#include "window/layout.h"
#include "base/win32/handles.h"

namespace tavrel {

class WindowPainter {
 public:
  // The brushes of the layout's colours and the picture buttons' icons at
  // `dpi`; false (GetLastError tells why) when one cannot be made.
  bool Create(HINSTANCE instance, int dpi);
  // The picture buttons' icons at another DPI; false (nothing changed) when
  // they cannot be loaded. The launch picture is drawn again by the caller.
  bool Rescale(HINSTANCE instance, int dpi);
  // The side of the launch picture, and of the icons it shows, in pixels.
  int PictureSize() const { return Px(Drawing().launchPicture); }

  // WM_CTLCOLORSTATIC / WM_CTLCOLORBTN: the control's colours set into `dc`,
  // and the brush of its background (a control without a back colour of its
  // own shows its parent's).
  HBRUSH ControlColours(HDC dc, Control c) const;
  // Records whether the pointer is on the link; true when that changed.
  bool SetLinkHot(bool hot);
  // Records whether a high-contrast theme is on; true when that changed.
  // The caller repaints the window and redraws the launch picture.
  bool SetHighContrast(bool on);

  void EraseWindow(HWND window, HDC dc) const;
  void PaintFrame(HWND frame, HFONT titleFont) const;
  // An owner-drawn picture button: its picture centred above its caption.
  void DrawPictureButton(const DRAWITEMSTRUCT& item, Control c, HFONT captionFont) const;
  // A file box: its text wrapped like a label's, and the focus rectangle.
  void DrawFileBox(const DRAWITEMSTRUCT& item, Control c, HFONT font) const;

  // Clears the launch picture's image to its back colour and draws the icon,
  // at its own size, at its top-left corner; the launch button shows a copy
  // of that image. False (nothing changed) when GDI cannot make the bitmaps.
  bool DrawLaunchPicture(HICON icon);

 private:
  COLORREF Resolve(Colour colour) const;
  void DrawDottedFrame(HDC dc, const RECT& r, Colour colour) const;
  HBRUSH Brush(Colour colour) const;
  bool AddBrush(Colour colour);
  int Px(int twips) const { return TwipsToPixels(twips, dpi_); }

  int dpi_ = 96;
  bool highContrast_ = false;
  bool linkHot_ = false;
  // A few RGB colours by value; a vector keeps the tree code of a map out of
  // the executable.
  std::vector<std::pair<Colour, UniqueBrush>> brushes_;
  UniqueWin32Icon endIcon_;
  UniqueWin32Icon placeholderIcon_;
  UniqueBitmap launchPicture_;  // the launch button's picture, once a program has icons
};

}  // namespace tavrel
