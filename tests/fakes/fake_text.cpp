#include "fakes/fake_text.h"

#include <cwctype>

#include "platform/text.h"

namespace tavrel::fakes {

std::u16string Fold(std::u16string_view s) {
  std::u16string out(s);
  for (char16_t& c : out) c = static_cast<char16_t>(std::towupper(c));
  return out;
}

bool EqualNoCase(std::string_view a, std::string_view b) {
  return Fold(Utf8ToUtf16(a)) == Fold(Utf8ToUtf16(b));
}

std::vector<BYTE> TextBytes(std::u16string_view text, bool withNul) {
  std::vector<BYTE> out;
  for (char16_t c : text) {
    out.push_back(static_cast<BYTE>(c & 0xFF));
    out.push_back(static_cast<BYTE>(c >> 8));
  }
  if (withNul) out.insert(out.end(), {0, 0});
  return out;
}

std::u16string BytesToUtf16(const std::vector<BYTE>& bytes) {
  std::u16string out;
  for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
    out += static_cast<char16_t>(bytes[i] | (bytes[i + 1] << 8));
  }
  return out;
}

}  // namespace tavrel::fakes
