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
  std::uint16_t DisplayLanguage() override;
  bool TakeInstanceLock() override;
  void AnnounceGuardDecided() override;
  void AwaitGuardDecision() override;
  bool AnotherCopyIsOpen() override;
  HandOverResult HandToRunningCopy(const tavrel::HandOver& handOver) override;
  void ReleaseInstanceLock() override;
  std::string ErrorText(ErrorCode error) override;

 private:
  HANDLE GuardEvent();
  enum class Sent { Taken, Refused, NoWindow };
  Sent SendToMainWindow(const std::vector<std::uint8_t>& bytes);

  UniqueWin32Handle instanceLock_;  // held for the life of the process
  UniqueWin32Handle otherCopysLock_;  // the same lock, while another copy holds it
  UniqueWin32Handle guardDecided_;
};

}  // namespace tavrel
