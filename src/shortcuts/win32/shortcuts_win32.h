// Shortcuts over shell32's shell link object and known folders.
#pragma once

#include "shortcuts/shortcuts.h"

namespace tavrel {

class Win32Shortcuts final : public IShortcuts {
 public:
  FolderPath DesktopFolder() override;
  ErrorCode Write(std::u16string_view file, const Shortcut& shortcut) override;
  LinkReading Read(std::u16string_view file) override;
};

}  // namespace tavrel
