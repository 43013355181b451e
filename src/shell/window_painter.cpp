#include "shell/window_painter.h"

#include <string>
#include <utility>

#include "shell/resource.h"
#include "shell/scopes.h"
#include "shell/window_text.h"

namespace tavrel {
namespace {

UniqueWin32Icon LoadIconResource(HINSTANCE instance, int id, int size) {
  return UniqueWin32Icon(static_cast<HICON>(
      LoadImageW(instance, MAKEINTRESOURCEW(id), IMAGE_ICON, size, size, LR_DEFAULTCOLOR)));
}

// GetSysColor's index of a system colour.
int SystemIndexOf(SystemColour colour) {
  switch (colour) {
    case SystemColour::Window: return COLOR_WINDOW;
    case SystemColour::WindowText: return COLOR_WINDOWTEXT;
    case SystemColour::ButtonFace: return COLOR_BTNFACE;
    case SystemColour::HotLight: return COLOR_HOTLIGHT;
    case SystemColour::ButtonText:
    case SystemColour::None: break;
  }
  return COLOR_BTNTEXT;
}

}  // namespace

// The brushes of the table's colours; in a high-contrast theme every colour
// is a system colour, whose brush the system keeps.
bool WindowPainter::Create(HINSTANCE instance, int dpi) {
  if (!AddBrush(WindowColours(false).back)) return false;
  for (const ControlLayout& layout : Controls()) {
    if (!AddBrush(ColoursOf(layout.control, false).back)) return false;
  }
  return Rescale(instance, dpi);
}

bool WindowPainter::Rescale(HINSTANCE instance, int dpi) {
  const int picture = TwipsToPixels(Drawing().launchPicture, dpi);
  UniqueWin32Icon end = LoadIconResource(instance, IDI_END, picture);
  UniqueWin32Icon placeholder = LoadIconResource(instance, IDI_EXEC_PLACEHOLDER, picture);
  if (!end || !placeholder) return false;
  dpi_ = dpi;
  endIcon_ = std::move(end);
  placeholderIcon_ = std::move(placeholder);
  return true;
}

bool WindowPainter::AddBrush(Colour colour) {
  if (colour.IsSystem()) return GetSysColorBrush(SystemIndexOf(colour.system)) != nullptr;
  if (Brush(colour)) return true;
  UniqueBrush brush(CreateSolidBrush(Resolve(colour)));
  if (!brush) return false;
  brushes_.emplace_back(colour, std::move(brush));
  return true;
}

HBRUSH WindowPainter::Brush(Colour colour) const {
  // System colours follow the user's scheme; the system owns their brushes.
  if (colour.IsSystem()) return GetSysColorBrush(SystemIndexOf(colour.system));
  for (const auto& [made, brush] : brushes_) {
    if (made == colour) return brush.get();
  }
  return nullptr;
}

COLORREF WindowPainter::Resolve(Colour colour) const {
  if (colour.IsSystem()) return GetSysColor(SystemIndexOf(colour.system));
  return RGB(colour.red, colour.green, colour.blue);
}

HBRUSH WindowPainter::ControlColours(HDC dc, Control c) const {
  const Painted colours = ColoursOf(c, highContrast_, linkHot_);
  SetTextColor(dc, Resolve(colours.fore));
  SetBkColor(dc, Resolve(colours.back));
  return Brush(colours.back);
}

bool WindowPainter::SetLinkHot(bool hot) { return std::exchange(linkHot_, hot) != hot; }

bool WindowPainter::SetHighContrast(bool on) { return std::exchange(highContrast_, on) != on; }

void WindowPainter::EraseWindow(HWND window, HDC dc) const {
  RECT client;
  GetClientRect(window, &client);
  FillRect(dc, &client, Brush(WindowColours(highContrast_).back));
}

void WindowPainter::PaintFrame(HWND frame, HFONT titleFont) const {
  const PaintScope paint(frame);
  if (!paint) return;
  HDC dc = paint.dc();
  RECT client;
  GetClientRect(frame, &client);
  const Painted colours = ColoursOf(Control::FileFrame, highContrast_);
  FillRect(dc, &client, Brush(colours.back));
  const Selection font(dc, titleFont);
  TEXTMETRICW metrics;
  GetTextMetricsW(dc, &metrics);
  RECT edge = client;
  edge.top += metrics.tmHeight / 2;
  DrawEdge(dc, &edge, EDGE_ETCHED, BF_RECT);
  const std::wstring title = WindowText(frame);
  SetTextColor(dc, Resolve(colours.fore));
  SetBkColor(dc, Resolve(colours.back));
  SetBkMode(dc, OPAQUE);
  TextOutW(dc, Px(Drawing().frameTitleIndent), 0, title.c_str(), static_cast<int>(title.size()));
}

void WindowPainter::DrawPictureButton(const DRAWITEMSTRUCT& item, Control c, HFONT captionFont) const {
  HDC dc = item.hDC;
  RECT r = item.rcItem;
  const bool pushed = item.itemState & ODS_SELECTED;
  const bool disabled = item.itemState & ODS_DISABLED;
  DrawFrameControl(dc, &r, DFC_BUTTON, DFCS_BUTTONPUSH | (pushed ? DFCS_PUSHED : 0));

  // The picture centred above the caption, both centred in the button.
  {
    const Selection font(dc, captionFont);
    const std::wstring caption = WindowText(item.hwndItem);
    RECT textSize{0, 0, r.right - r.left, 0};
    DrawTextW(dc, caption.c_str(), -1, &textSize, DT_CALCRECT | DT_SINGLELINE);
    const int picture = PictureSize();
    const int gap = Px(Drawing().pictureGap);
    const int shift = pushed ? 1 : 0;
    const int top = r.top + (r.bottom - r.top - (picture + gap + textSize.bottom)) / 2 + shift;
    const int left = r.left + (r.right - r.left - picture) / 2 + shift;
    const UINT state = disabled ? DSS_DISABLED : DSS_NORMAL;
    if (c == Control::LaunchButton && launchPicture_) {
      DrawStateW(dc, nullptr, nullptr, reinterpret_cast<LPARAM>(launchPicture_.get()), 0, left, top,
                 picture, picture, DST_BITMAP | state);
    } else {
      HICON icon = c == Control::EndButton ? endIcon_.get() : placeholderIcon_.get();
      DrawStateW(dc, nullptr, nullptr, reinterpret_cast<LPARAM>(icon), 0, left, top, picture, picture,
                 DST_ICON | state);
    }
    RECT text{r.left + shift, top + picture + gap, r.right + shift, r.bottom};
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(disabled ? COLOR_GRAYTEXT : COLOR_BTNTEXT));
    DrawTextW(dc, caption.c_str(), -1, &text, DT_CENTER | DT_TOP | DT_SINGLELINE);
  }
  if ((item.itemState & ODS_FOCUS) && !(item.itemState & ODS_NOFOCUSRECT)) {
    RECT focus = r;
    const int inset = Px(Drawing().focusInset);
    InflateRect(&focus, -inset, -inset);
    DrawFocusRect(dc, &focus);
  }
}

void WindowPainter::DrawFileBox(const DRAWITEMSTRUCT& item, Control c, HFONT font) const {
  HDC dc = item.hDC;
  RECT r = item.rcItem;
  const Painted colours = ColoursOf(c, highContrast_);
  FillRect(dc, &r, Brush(colours.back));
  const Selection selected(dc, font);
  SetTextColor(dc, Resolve(colours.fore));
  SetBkMode(dc, TRANSPARENT);
  // As a label with SS_EDITCONTROL draws: a long path wraps anywhere, and
  // "&" in a path is no access key.
  const std::wstring text = WindowText(item.hwndItem);
  DrawTextW(dc, text.c_str(), -1, &r, DT_LEFT | DT_TOP | DT_WORDBREAK | DT_EDITCONTROL | DT_NOPREFIX);
  // Hidden until the keyboard is used, as on every other control.
  if ((item.itemState & ODS_FOCUS) && !(item.itemState & ODS_NOFOCUSRECT)) DrawDottedFrame(dc, r, colours.fore);
}

// DrawFocusRect inverts the pixels it draws on, and on the boxes' mid grey
// the inverse is a grey one step darker: the frame is drawn dotted in the
// text's colour instead, which is a contrast the theme already holds.
void WindowPainter::DrawDottedFrame(HDC dc, const RECT& r, Colour colour) const {
  const LOGBRUSH brush{BS_SOLID, Resolve(colour), 0};
  const UniqueGdi<HPEN> pen(ExtCreatePen(PS_COSMETIC | PS_ALTERNATE, 1, &brush, 0, nullptr));
  if (!pen) {
    DrawFocusRect(dc, &r);  // for want of memory only: a frame that may be faint
    return;
  }
  const Selection selectedPen(dc, pen.get());
  const Selection hollow(dc, GetStockObject(NULL_BRUSH));
  Rectangle(dc, r.left, r.top, r.right, r.bottom);
}

bool WindowPainter::DrawLaunchPicture(HICON icon) {
  const int width = Px(Drawing().launchPicture);
  const int height = width;
  UniqueBitmap image;
  {
    const WindowDc screen(nullptr);
    if (!screen) return false;
    image.reset(CreateCompatibleBitmap(screen.get(), width, height));
  }
  if (!image) return false;
  {
    const MemoryCanvas canvas(image.get());
    if (!canvas) return false;
    RECT all{0, 0, width, height};
    // The icon's own transparent parts show the window colour, as on any button.
    FillRect(canvas.dc(), &all, GetSysColorBrush(COLOR_WINDOW));
    // At the icon's own size (DrawIcon would stretch it to the system DPI's).
    DrawIconEx(canvas.dc(), 0, 0, icon, 0, 0, 0, nullptr, DI_NORMAL);
  }
  launchPicture_ = std::move(image);
  return true;
}

}  // namespace tavrel
