// The desktop over kernel32, user32 and shell32.
#pragma once

#include <windows.h>

#include "base/win32/handles.h"
#include "desktop/desktop.h"

namespace tavrel {

class Win32Desktop final : public IDesktop {
 public:
  Win32Desktop() = default;
  Win32Desktop(const Win32Desktop&) = delete;
  Win32Desktop& operator=(const Win32Desktop&) = delete;
  ~Win32Desktop() override;
  std::string ExecutablePath() override;
  std::vector<std::string> Arguments() override;
  std::uint32_t Session() override;
  std::uint16_t DisplayLanguage() override;
  InstanceLock TakeInstanceLock() override;
  void AnnounceGuardDecided() override;
  void AwaitGuardDecision() override;
  bool AwaitLockWhileNoCopyIsOpen() override;
  bool AnotherCopyIsOpen() override;
  HandOverResult HandToRunningCopy(const tavrel::HandOver& handOver) override;
  void ReleaseInstanceLock() override;
  std::string ErrorText(ErrorCode error, std::string_view insert) override;

 private:
  HANDLE GuardEvent();
  enum class Waited { Taken, TakenAfterAKill, NotYet, Failed };
  // Waits up to `timeoutMs` for the lock; once taken, `lock` is this copy's.
  Waited WaitForLock(UniqueWin32Handle& lock, DWORD timeoutMs);
  enum class Sent { Taken, Refused, NoWindow };
  Sent SendToMainWindow(const std::vector<std::uint8_t>& bytes);

  UniqueWin32Handle instanceLock_;  // owned, for the life of the process; none while another copy owns it
  UniqueWin32Handle guardDecided_;
};

}  // namespace tavrel
