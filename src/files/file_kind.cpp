#include "files/file_kind.h"

#include "base/text.h"
#include "files/files.h"

namespace tavrel {

// Characters, not bytes: "本.tte" and "ab.TTE" both end in ".tte".
bool HasExtension(std::string_view path, std::string_view extension) {
  std::u16string wide = Utf8ToUtf16(path);
  const std::size_t length = Utf8ToUtf16(extension).size();
  if (wide.size() > length) wide.erase(0, wide.size() - length);
  for (char16_t& c : wide) {
    if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
  }
  return Utf16ToUtf8(wide) == extension;
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

}  // namespace tavrel
