// Shortcuts (.lnk files) Tavrel makes for the user, and the desktop folder
// they go to.
#pragma once

#include <string>
#include <string_view>

#include "base/errors.h"

namespace tavrel {

// What a shortcut starts, and how it looks.
struct Shortcut {
  std::u16string target;         // full path of the program the shortcut starts
  std::u16string arguments;      // its command line after the program's name
  std::u16string workingFolder;  // full path
  std::u16string iconFile;       // full path of the file holding the icon
  int iconIndex = 0;
  bool operator==(const Shortcut&) const = default;
};

// What a shortcut file says it starts, as the shell reads it.
struct [[nodiscard]] LinkReading {
  // Full path of the file it points at, environment variables expanded;
  // empty for a link to no file (an address, an item of the shell's own).
  std::u16string target;
  std::u16string arguments;
  std::u16string workingFolder;  // expanded; empty when the link names none
  ErrorCode error = kSuccess;    // why the file could not be read as a link
};

struct [[nodiscard]] FolderPath {
  std::u16string path;        // full path, without a closing backslash
  ErrorCode error = kSuccess;  // why it could not be found
};

class IShortcuts {
 public:
  virtual ~IShortcuts() = default;

  // The folder of the current user's desktop.
  virtual FolderPath DesktopFolder() = 0;
  // Writes the shortcut to the full path `file`, replacing a file there.
  [[nodiscard]] virtual ErrorCode Write(std::u16string_view file, const Shortcut& shortcut) = 0;
  // What the shortcut file at the full path `file` starts.
  virtual LinkReading Read(std::u16string_view file) = 0;
};

}  // namespace tavrel
