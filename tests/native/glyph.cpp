#include "native/glyph.h"

#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <memory>

#include "base/win32/handles.h"

namespace tavrel::native {
namespace {

struct DcDeleter {
  void operator()(HDC dc) const { DeleteDC(dc); }
};
using UniqueDc = std::unique_ptr<std::remove_pointer_t<HDC>, DcDeleter>;

// Puts an object into a DC for the scope, and the DC's own one back after.
class Selected {
 public:
  Selected(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
  ~Selected() { SelectObject(dc_, previous_); }
  Selected(const Selected&) = delete;
  Selected& operator=(const Selected&) = delete;

 private:
  HDC dc_;
  HGDIOBJ previous_;
};

struct Box {
  int left = kGlyphCells, top = kGlyphCells, right = -1, bottom = -1;
  bool empty() const { return right < left; }
  int width() const { return right - left + 1; }
  int height() const { return bottom - top + 1; }
};

Box InkedBox(const Glyph& glyph) {
  Box box;
  for (int y = 0; y < kGlyphCells; ++y) {
    for (int x = 0; x < kGlyphCells; ++x) {
      if (!glyph[y * kGlyphCells + x]) continue;
      box = {std::min(box.left, x), std::min(box.top, y), std::max(box.right, x), std::max(box.bottom, y)};
    }
  }
  return box;
}

bool InkAt(const Glyph& glyph, const Box& box, int x, int y) {
  return x < box.width() && y < box.height() && glyph[(box.top + y) * kGlyphCells + box.left + x];
}

}  // namespace

Glyph DrawCharacter(const std::wstring& face, wchar_t ch) {
  const UniqueDc dc(CreateCompatibleDC(nullptr));
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = kGlyphCells;
  info.bmiHeader.biHeight = -kGlyphCells;  // top-down rows
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  const UniqueBitmap bitmap(CreateDIBSection(dc.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  // No smoothing: a pixel is ink or not, whatever the machine's ClearType setting.
  const UniqueFont font(CreateFontW(-kGlyphCells * 2 / 3, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                                    OUT_TT_PRECIS, CLIP_DEFAULT_PRECIS, NONANTIALIASED_QUALITY, DEFAULT_PITCH,
                                    face.c_str()));
  if (!dc || !bitmap || !font) return Glyph(kGlyphCells * kGlyphCells, false);
  const Selected with_bitmap(dc.get(), bitmap.get());
  const Selected with_font(dc.get(), font.get());
  PatBlt(dc.get(), 0, 0, kGlyphCells, kGlyphCells, WHITENESS);
  SetTextColor(dc.get(), RGB(0, 0, 0));
  SetBkMode(dc.get(), TRANSPARENT);
  TextOutW(dc.get(), kGlyphCells / 6, kGlyphCells / 6, &ch, 1);
  GdiFlush();  // the section's bits are written only once GDI's batch is done
  const auto* pixels = static_cast<const DWORD*>(bits);
  Glyph glyph(kGlyphCells * kGlyphCells);
  for (size_t i = 0; i < glyph.size(); ++i) glyph[i] = (pixels[i] & 0xFFFFFF) != 0xFFFFFF;
  return glyph;
}

bool LookAlike(const Glyph& a, const Glyph& b) {
  const Box box_a = InkedBox(a), box_b = InkedBox(b);
  if (box_a.empty() || box_b.empty()) return false;
  if (std::abs(box_a.width() - box_b.width()) > 2 || std::abs(box_a.height() - box_b.height()) > 2) return false;
  int ink = 0, differing = 0;
  const int width = std::max(box_a.width(), box_b.width()), height = std::max(box_a.height(), box_b.height());
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const bool in_a = InkAt(a, box_a, x, y), in_b = InkAt(b, box_b, x, y);
      ink += in_a || in_b;
      differing += in_a != in_b;
    }
  }
  return differing * 10 <= ink;
}

PrivateFont::PrivateFont(std::wstring path)
    : path_(std::move(path)), added_(AddFontResourceExW(path_.c_str(), FR_PRIVATE, nullptr) > 0) {}

PrivateFont::~PrivateFont() {
  if (added_) RemoveFontResourceExW(path_.c_str(), FR_PRIVATE, nullptr);
}

}  // namespace tavrel::native
