#include "eudc/font_file.h"

#include <algorithm>
#include <array>

#include "files/files.h"

namespace tavrel {
namespace {

// "C:\..." or "\\server\...". "C:name" and "\name" count from a folder
// that is the current one of whoever reads the key.
bool IsFullPath(std::u16string_view path) {
  const bool letter = !path.empty() && ((path[0] >= u'A' && path[0] <= u'Z') || (path[0] >= u'a' && path[0] <= u'z'));
  return (letter && path.size() >= 3 && path[1] == u':' && path[2] == u'\\') || path.starts_with(u"\\\\");
}

}  // namespace

// How TrueType and OpenType files begin: a TrueType outline version, the
// older Apple tag, CFF outlines, or a collection.
bool BeginsLikeAFont(const std::vector<std::uint8_t>& head) {
  static constexpr std::array<std::array<std::uint8_t, 4>, 4> kSignatures{{
      {0x00, 0x01, 0x00, 0x00}, {'t', 'r', 'u', 'e'}, {'O', 'T', 'T', 'O'}, {'t', 't', 'c', 'f'}}};
  return head.size() >= 4 && std::any_of(kSignatures.begin(), kSignatures.end(), [&](const auto& s) {
           return std::equal(s.begin(), s.end(), head.begin());
         });
}

FontFileCheck CheckFontFile(IFiles& files, std::u16string_view path) {
  if (!IsFullPath(path) || !files.IsFile(path)) return {};
  const FileHead head = files.ReadHead(path, 4);
  if (head.error != kSuccess) return FontFileCheck{false, head.error};
  return FontFileCheck{BeginsLikeAFont(head.bytes), kSuccess};
}

}  // namespace tavrel
