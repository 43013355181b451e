#include "shell/window_painter.h"

#include <string>

#include "shell/resource.h"
#include "shell/scopes.h"
#include "shell/window_text.h"

namespace tavrel {
namespace {

UniqueWin32Icon LoadIconResource(HINSTANCE instance, int id, int size) {
  return UniqueWin32Icon(static_cast<HICON>(
      LoadImageW(instance, MAKEINTRESOURCEW(id), IMAGE_ICON, size, size, LR_DEFAULTCOLOR)));
}

// The colour a control's background shows: its own, else its parent's.
Colour BackOf(const ControlLayout& layout) {
  if (layout.back) return *layout.back;
  return layout.insideFrame ? *LayoutOf(Control::FileFrame).back : MainWindowLayout().back;
}

// GetSysColor's index of a system colour.
int SystemIndexOf(SystemColour colour) {
  switch (colour) {
    case SystemColour::Window: return COLOR_WINDOW;
    case SystemColour::WindowText: return COLOR_WINDOWTEXT;
    case SystemColour::ButtonText:
    case SystemColour::None: break;
  }
  return COLOR_BTNTEXT;
}

}  // namespace

WindowPainter::WindowPainter() {
  for (const ControlLayout& layout : Controls()) {
    textColours_[static_cast<int>(layout.control)] =
        layout.fore.value_or(Colour::System(SystemColour::ButtonText));
  }
}

bool WindowPainter::Create(HINSTANCE instance, int dpi) {
  if (!AddBrush(MainWindowLayout().back)) return false;
  for (const ControlLayout& layout : Controls()) {
    if (!AddBrush(BackOf(layout))) return false;
  }
  return Rescale(instance, dpi);
}

bool WindowPainter::Rescale(HINSTANCE instance, int dpi) {
  const int picture = TwipsToPixels(LayoutOf(Control::LaunchPicture).rect.width, dpi);
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
  const Colour back = BackOf(LayoutOf(c));
  SetTextColor(dc, Resolve(textColours_[static_cast<int>(c)]));
  SetBkColor(dc, Resolve(back));
  return Brush(back);
}

bool WindowPainter::SetTextColour(Control c, Colour colour) {
  Colour& current = textColours_[static_cast<int>(c)];
  if (current == colour) return false;
  current = colour;
  return true;
}

void WindowPainter::EraseWindow(HWND window, HDC dc) const {
  RECT client;
  GetClientRect(window, &client);
  FillRect(dc, &client, Brush(MainWindowLayout().back));
}

void WindowPainter::PaintFrame(HWND frame, HFONT titleFont) const {
  const PaintScope paint(frame);
  if (!paint) return;
  HDC dc = paint.dc();
  RECT client;
  GetClientRect(frame, &client);
  const ControlLayout& layout = LayoutOf(Control::FileFrame);
  FillRect(dc, &client, Brush(*layout.back));
  const Selection font(dc, titleFont);
  TEXTMETRICW metrics;
  GetTextMetricsW(dc, &metrics);
  RECT edge = client;
  edge.top += metrics.tmHeight / 2;
  DrawEdge(dc, &edge, EDGE_ETCHED, BF_RECT);
  const std::wstring title = WindowText(frame);
  SetTextColor(dc, Resolve(*layout.fore));
  SetBkColor(dc, Resolve(*layout.back));
  SetBkMode(dc, OPAQUE);
  TextOutW(dc, Px(Drawing().frameTitleIndent), 0, title.c_str(), static_cast<int>(title.size()));
}

void WindowPainter::PaintPicture(HWND picture) const {
  const PaintScope paint(picture);
  if (!paint) return;
  RECT client;
  GetClientRect(picture, &client);
  FillRect(paint.dc(), &client, Brush(*LayoutOf(Control::LaunchPicture).back));
  if (!pictureImage_) return;
  const MemoryCanvas image(pictureImage_.get());
  if (image) BitBlt(paint.dc(), 0, 0, client.right, client.bottom, image.dc(), 0, 0, SRCCOPY);
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

bool WindowPainter::DrawLaunchPicture(HICON icon) {
  const ControlLayout& picture = LayoutOf(Control::LaunchPicture);
  const int width = Px(picture.rect.width);
  const int height = Px(picture.rect.height);
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
    FillRect(canvas.dc(), &all, Brush(*picture.back));
    // At the icon's own size (DrawIcon would stretch it to the system DPI's).
    DrawIconEx(canvas.dc(), 0, 0, icon, 0, 0, 0, nullptr, DI_NORMAL);
  }
  // A copy, so that the button keeps its picture whatever the launch picture shows next.
  UniqueBitmap copy(static_cast<HBITMAP>(CopyImage(image.get(), IMAGE_BITMAP, 0, 0, 0)));
  if (!copy) return false;
  pictureImage_ = std::move(image);
  launchPicture_ = std::move(copy);
  return true;
}

}  // namespace tavrel
