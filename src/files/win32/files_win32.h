// The files Tavrel looks at, over kernel32.
#pragma once

#include "files/files.h"

namespace tavrel {

class Win32Files final : public IFiles {
 public:
  std::vector<FolderEntry> List(std::u16string_view pattern) override;
  FileHead ReadHead(std::u16string_view path, std::size_t count) override;
  std::optional<std::u16string> FullPath(std::u16string_view path) override;
  bool IsFile(std::u16string_view path) override;
};

}  // namespace tavrel
