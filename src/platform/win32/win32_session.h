// ISession over kernel32, user32 and gdi32.
#pragma once

#include <windows.h>

#include "platform/session_api.h"

namespace tavrel {

class Win32Session final : public ISession {
 public:
  Win32Session() = default;
  ~Win32Session() override;
  Win32Session(const Win32Session&) = delete;
  Win32Session& operator=(const Win32Session&) = delete;

  std::string ModulePath() override;
  Hinstance ModuleInstance() override;
  bool TryTakeInstanceLock() override;
  void AnnounceGuardDecided() override;
  void AwaitGuardDecision() override;
  int MessageBoxW(Hwnd owner, std::string_view text, std::string_view caption,
                  UINT style) override;
  BOOL EnableEUDC(BOOL enable) override;
  [[noreturn]] void EndProcess(UINT exitCode) override;

 private:
  HANDLE GuardEvent();

  HANDLE instanceLock_ = nullptr;  // held for the life of the process
  HANDLE guardDecided_ = nullptr;
};

}  // namespace tavrel
