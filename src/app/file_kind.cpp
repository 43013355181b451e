#include "app/file_kind.h"

#include "base/text.h"

namespace tavrel {

// Characters, not bytes: "本.tte" and "ab.TTE" both end in ".tte".
std::string LastFourLowered(std::string_view path) {
  std::u16string wide = Utf8ToUtf16(path);
  if (wide.size() > 4) wide.erase(0, wide.size() - 4);
  for (char16_t& c : wide) {
    if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
  }
  return Utf16ToUtf8(wide);
}

std::string DirectoryOf(std::string_view path) {
  const size_t slash = path.rfind('\\');
  return slash == std::string_view::npos ? std::string() : std::string(path.substr(0, slash + 1));
}

std::string FolderOf(std::string_view path) {
  const size_t slash = path.rfind('\\');
  if (slash == std::string_view::npos) return {};
  return std::string(path.substr(0, slash == 2 && path[1] == ':' ? 3 : slash));
}

}  // namespace tavrel
