// The desktop over kernel32, user32 and shell32.
#pragma once

#include <windows.h>

#include "base/win32/handles.h"
#include "desktop/desktop.h"

namespace tavrel {

class Win32Desktop final : public IDesktop {
 public:
  std::string ExecutablePath() override;
  std::vector<std::string> Arguments() override;
  std::uint32_t Session() override;
  bool TakeInstanceLock() override;
  void AnnounceGuardDecided() override;
  void AwaitGuardDecision() override;
  bool AnotherCopyIsOpen() override;
  bool Show(WindowHandle owner, const Box& box) override;
  std::string ErrorText(ErrorCode error) override;

 private:
  HANDLE GuardEvent();

  UniqueWin32Handle instanceLock_;  // held for the life of the process
  UniqueWin32Handle guardDecided_;
};

}  // namespace tavrel
