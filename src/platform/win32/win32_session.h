// ISession over kernel32, user32 and gdi32.
#pragma once

#include <windows.h>

#include <functional>
#include <utility>

#include "platform/session_api.h"
#include "platform/win32/win32_handles.h"

namespace tavrel {

class Win32Session final : public ISession {
 public:
  std::string ModulePath() override;
  Hinstance ModuleInstance() override;
  std::u16string GetCommandLineW() override;
  std::vector<std::u16string> CommandLineToArgvW(std::u16string_view commandLine) override;
  bool TryTakeInstanceLock() override;
  void AnnounceGuardDecided() override;
  void AwaitGuardDecision() override;
  int MessageBoxW(Hwnd owner, std::string_view text, std::string_view caption,
                  UINT style) override;
  std::string FormatMessageW(DWORD error) override;
  BOOL EnableEUDC(BOOL enable) override;
  // Runs `teardown` before EndProcess ends the process: what the process
  // must not leave to the system (OLE, drop targets).
  void BeforeEndProcess(std::function<void()> teardown) { teardown_ = std::move(teardown); }
  [[noreturn]] void EndProcess(UINT exitCode) override;

 private:
  HANDLE GuardEvent();

  UniqueWin32Handle instanceLock_;  // held for the life of the process
  UniqueWin32Handle guardDecided_;
  std::function<void()> teardown_;
};

}  // namespace tavrel
