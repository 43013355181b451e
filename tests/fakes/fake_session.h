// The process Tavrel runs in: its executable path and command line (split by
// Windows' rules), the one-instance lock, message boxes without owner,
// EnableEUDC calls and the end of the process.
// Ending the process throws ProcessEnded, so a test sees that nothing of the
// caller's stack ran afterwards.
#pragma once

#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/session_api.h"

namespace tavrel::fakes {

struct ProcessEnded {
  UINT exitCode;
};

struct MessageBoxShown {
  Hwnd owner;
  std::string text, caption;
  UINT style;
};

class FakeSession final : public ISession {
 public:
  std::string modulePath = "C:\\Apps\\Viewer\\Tavrel.exe";
  std::string commandLine;  // UTF-8; empty: the module path in quotes, as Explorer starts it
  bool lockHeldByAnotherCopy = false;
  std::vector<std::string> guardSteps;  // "lock", "await", "announce" in order
  std::vector<MessageBoxShown> boxes;
  std::deque<int> answers;  // for boxes that ask, in order; OK alone needs none
  std::vector<BOOL> eudcReloads;
  std::function<void(BOOL)> onEnableEudc;  // sees the registry at each reload
  std::function<void()> whileBoxIsShown;    // runs inside each message box

  std::string ModulePath() override { return modulePath; }
  Hinstance ModuleInstance() override { return reinterpret_cast<Hinstance>(0x400000); }
  std::u16string GetCommandLineW() override;
  std::vector<std::u16string> CommandLineToArgvW(std::u16string_view line) override;
  bool TryTakeInstanceLock() override;
  void AnnounceGuardDecided() override { guardSteps.push_back("announce"); }
  void AwaitGuardDecision() override { guardSteps.push_back("await"); }
  int MessageBoxW(Hwnd owner, std::string_view text, std::string_view caption,
                  UINT style) override;
  // The texts Windows gives in Japanese for the errors the tests meet.
  std::string FormatMessageW(DWORD error) override;
  BOOL EnableEUDC(BOOL enable) override;
  [[noreturn]] void EndProcess(UINT exitCode) override { throw ProcessEnded{exitCode}; }
};

}  // namespace tavrel::fakes
