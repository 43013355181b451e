// IShell over shell32 and user32.
#pragma once

#include <windows.h>

#include "platform/shell_api.h"

namespace tavrel {

class Win32Shell final : public IShell {
 public:
  BOOL ShellExecuteExW(ShellExecuteInfoW* info) override;
  Hicon ExtractIconW(Hinstance instance, const char16_t* exeFileName, UINT iconIndex) override;
  BOOL DestroyIcon(Hicon icon) override;
  DWORD GetLastError() override { return lastError_; }

 private:
  DWORD lastError_ = 0;
};

}  // namespace tavrel
