#include "app/file_kind.h"

#include "base/text.h"
#include "desktop/files.h"

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

bool IsFullPath(std::string_view path) {
  const bool driveRoot = path.size() >= 3 && path[1] == ':' && path[2] == '\\' &&
                         ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'));
  return driveRoot || path.starts_with("\\\\");
}

bool IsFontFile(IFiles& files, std::string_view path) {
  const FileHead head = files.ReadHead(Utf8ToUtf16(path), 4);
  return head.error == kSuccess && BeginsLikeAFont(head.bytes);
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
