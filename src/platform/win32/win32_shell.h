// IShell over shell32 and user32.
#pragma once

#include "platform/shell_api.h"

namespace tavrel {

class Win32Shell final : public IShell {
 public:
  BOOL ShellExecuteExA(ShellExecuteInfoA* info) override;
  Hicon ExtractIconA(Hinstance instance, const char* exeFileName, UINT iconIndex) override;
  BOOL DestroyIcon(Hicon icon) override;
};

}  // namespace tavrel
