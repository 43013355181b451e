// One character drawn by GDI, black on white, and the likeness of two such
// drawings: what tells whether Windows' font linking drew the user's EUDC
// glyph.
#pragma once

#include <string>
#include <vector>

namespace tavrel::native {

// Which pixels are ink, a square of kGlyphCells on a side, row by row.
using Glyph = std::vector<bool>;
inline constexpr int kGlyphCells = 96;

// ch drawn in the font of this face name, at an em of two thirds of the square.
Glyph DrawCharacter(const std::wstring& face, wchar_t ch);
// The same shape, wherever each drawing put it and at whatever size: their
// inked boxes' proportions agree within a tenth, and resampled to one size,
// nine cells of ten of their ink coincide.
bool LookAlike(const Glyph& a, const Glyph& b);

// A font file usable by this process alone while the owner lives.
class PrivateFont {
 public:
  explicit PrivateFont(std::wstring path);
  ~PrivateFont();
  PrivateFont(const PrivateFont&) = delete;
  PrivateFont& operator=(const PrivateFont&) = delete;
  bool added() const { return added_; }

 private:
  std::wstring path_;
  bool added_;
};

}  // namespace tavrel::native
