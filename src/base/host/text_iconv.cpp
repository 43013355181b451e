// Host stand-in for the Windows ANSI conversions: code page 932 through glibc's
// iconv "CP932", one character at a time so that an unmappable character turns
// into "?" as it does on Windows.
#include <iconv.h>

#include <cwctype>
#include <stdexcept>

#include "base/text.h"

namespace tavrel {
namespace {

class Converter {
 public:
  Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {
    if (cd_ == reinterpret_cast<iconv_t>(-1)) throw std::runtime_error("iconv_open failed");
  }
  ~Converter() { iconv_close(cd_); }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  // Converts `in` whole; false when iconv refuses it.
  bool Convert(std::string_view in, std::string& out) {
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    char buffer[16];
    auto* src = const_cast<char*>(in.data());
    size_t srcLeft = in.size();
    char* dst = buffer;
    size_t dstLeft = sizeof buffer;
    if (iconv(cd_, &src, &srcLeft, &dst, &dstLeft) == static_cast<size_t>(-1)) return false;
    out.append(buffer, dst);
    return true;
  }

 private:
  iconv_t cd_;
};

}  // namespace

std::string Utf8ToAnsi(std::string_view utf8) {
  thread_local Converter toCp932("CP932", "UTF-32LE");
  std::string out;
  for (const char32_t cp : CodePoints(utf8)) {
    const char bytes[4] = {static_cast<char>(cp & 0xFF), static_cast<char>((cp >> 8) & 0xFF),
                           static_cast<char>((cp >> 16) & 0xFF), 0};
    if (!toCp932.Convert(std::string_view(bytes, 4), out)) out += '?';
  }
  return out;
}

std::string AnsiToUtf8(std::string_view ansi) {
  thread_local Converter fromCp932("UTF-8", "CP932");
  std::string out;
  for (size_t i = 0; i < ansi.size();) {
    const auto lead = static_cast<unsigned char>(ansi[i]);
    const bool doubleByte = ((lead >= 0x81 && lead <= 0x9F) || (lead >= 0xE0 && lead <= 0xFC)) &&
                            i + 1 < ansi.size();
    const size_t width = doubleByte ? 2 : 1;
    // Windows shows an undefined code as the katakana middle dot.
    if (!fromCp932.Convert(ansi.substr(i, width), out)) out += "\xE3\x83\xBB";
    i += width;
  }
  return out;
}

std::u16string UpperCase(std::u16string_view text) {
  std::u16string upper(text);
  for (char16_t& c : upper) {
    if (c < 0xD800 || c > 0xDFFF) c = static_cast<char16_t>(std::towupper(c));
  }
  return upper;
}

}  // namespace tavrel
