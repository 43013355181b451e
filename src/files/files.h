// The files Tavrel looks at: the folder it is kept in, the files it is given
// and the first bytes of the font file.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/errors.h"

namespace tavrel {

struct FolderEntry {
  std::u16string name;  // the long name, as the file system stores it
  bool normalFile = false;  // neither a folder nor a hidden or system file
  bool operator==(const FolderEntry&) const = default;
};

struct [[nodiscard]] FileHead {
  std::vector<std::uint8_t> bytes;  // at most the count asked for
  ErrorCode error = kSuccess;      // why the file could not be opened or read
};

class IFiles {
 public:
  virtual ~IFiles() = default;

  // Every entry that a folder path with a wildcard name matches (or the one
  // entry a plain path names), in the file system's order; empty when none.
  [[nodiscard]] virtual std::vector<FolderEntry> List(std::u16string_view pattern) = 0;
  // Up to `count` bytes from the start of the file.
  [[nodiscard]] virtual FileHead ReadHead(std::u16string_view path, std::size_t count) = 0;
  // The path made full against the current folder; nothing exists needs to.
  [[nodiscard]] virtual std::optional<std::u16string> FullPath(std::u16string_view path) = 0;
  // Whether the path names an existing file (not a folder).
  [[nodiscard]] virtual bool IsFile(std::u16string_view path) = 0;
};

}  // namespace tavrel
