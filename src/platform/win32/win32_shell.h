// IShell over shell32 and user32.
#pragma once

#include "platform/shell_api.h"
#include "platform/win32/last_error.h"

namespace tavrel {

class Win32Shell final : private LastErrorKeeper, public IShell {
 public:
  BOOL ShellExecuteExW(ShellExecuteInfoW* info) override;
  Hicon ExtractIconW(Hinstance instance, const char16_t* exeFileName, UINT iconIndex) override;
  BOOL DestroyIcon(Hicon icon) override;
  DWORD GetLastError() override { return lastError_; }
};

}  // namespace tavrel
