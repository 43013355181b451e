// The process Tavrel runs in: its executable and command line, its
// one-instance lock, message boxes that belong to no window yet, error texts,
// EUDC reloads and its end.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/win_types.h"

namespace tavrel {

class ISession {
 public:
  virtual ~ISession() = default;

  // Full path of the running executable (UTF-8).
  virtual std::string ModulePath() = 0;
  virtual Hinstance ModuleInstance() = 0;

  // The command line the process was started with (kernel32 GetCommandLineW).
  virtual std::u16string GetCommandLineW() = 0;
  // shell32 CommandLineToArgvW: the arguments of a command line, the program
  // first, quotes and backslashes undone; empty when the call fails.
  virtual std::vector<std::u16string> CommandLineToArgvW(std::u16string_view commandLine) = 0;

  // Takes the named mutex of the user's session; false when another copy holds it.
  virtual bool TryTakeInstanceLock() = 0;
  // The holder of the lock tells waiting copies that its start-up check is over.
  virtual void AnnounceGuardDecided() = 0;
  // A copy that lost the lock waits (briefly) until the holder has decided, so
  // that its own refusal box cannot be mistaken for a running copy.
  virtual void AwaitGuardDecision() = 0;

  virtual int MessageBoxW(Hwnd owner, std::string_view text, std::string_view caption,
                          UINT style) = 0;
  // The system's text for an error code (FormatMessageW from the system's
  // table, in the user's language), without its line end; empty when Windows
  // has none.
  virtual std::string FormatMessageW(DWORD error) = 0;
  // gdi32 EnableEUDC: reloads (TRUE) or releases (FALSE) the EUDC fonts.
  virtual BOOL EnableEUDC(BOOL enable) = 0;

  // Ends the process at once; nothing of the caller's stack runs afterwards.
  [[noreturn]] virtual void EndProcess(UINT exitCode) = 0;
};

}  // namespace tavrel
