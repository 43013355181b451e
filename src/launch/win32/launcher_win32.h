// The launcher over shell32 and kernel32: the shell's "open", a direct start
// where the shell could not start the file at all, each start held in a job
// with the processes it starts (launch_job.h), and launches found again by
// their identity.
#pragma once

#include "launch/launcher.h"

namespace tavrel {

class Win32Launcher final : public ILauncher {
 public:
  StartOutcome Start(const StartRequest& request) override;
  ErrorCode Open(std::u16string_view target, WindowHandle owner) override;
  ProcessIdentity Self() override;
  RunningProgram FindRunning(const ProcessIdentity& identity) override;
};

}  // namespace tavrel
