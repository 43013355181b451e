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

// The inked box resampled to a square of kShapeCells on a side.
constexpr int kShapeCells = 32;

std::vector<bool> Shape(const Glyph& glyph, const Box& box) {
  std::vector<bool> shape(kShapeCells * kShapeCells);
  for (int y = 0; y < kShapeCells; ++y) {
    for (int x = 0; x < kShapeCells; ++x) {
      const int from_x = box.left + (2 * x + 1) * box.width() / (2 * kShapeCells);
      const int from_y = box.top + (2 * y + 1) * box.height() / (2 * kShapeCells);
      shape[y * kShapeCells + x] = glyph[from_y * kGlyphCells + from_x];
    }
  }
  return shape;
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

// GDI may scale a linked font's glyph to the base font's cell rather than to
// its em, so the two are compared in size only by their proportions.
bool LookAlike(const Glyph& a, const Glyph& b) {
  const Box box_a = InkedBox(a), box_b = InkedBox(b);
  if (box_a.empty() || box_b.empty()) return false;
  const int aspect_a = 100 * box_a.width() / box_a.height(), aspect_b = 100 * box_b.width() / box_b.height();
  if (std::abs(aspect_a - aspect_b) * 10 > std::max(aspect_a, aspect_b)) return false;
  const std::vector<bool> shape_a = Shape(a, box_a), shape_b = Shape(b, box_b);
  int ink = 0, differing = 0;
  for (size_t i = 0; i < shape_a.size(); ++i) {
    ink += shape_a[i] || shape_b[i];
    differing += shape_a[i] != shape_b[i];
  }
  return differing * 10 <= ink;
}

PrivateFont::PrivateFont(std::wstring path)
    : path_(std::move(path)), added_(AddFontResourceExW(path_.c_str(), FR_PRIVATE, nullptr) > 0) {}

PrivateFont::~PrivateFont() {
  if (added_) RemoveFontResourceExW(path_.c_str(), FR_PRIVATE, nullptr);
}

}  // namespace tavrel::native
