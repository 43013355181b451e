// A launch as a job object: the started program joins a job of Tavrel's as it
// starts, and every process it starts joins it too, so the launch has ended
// when the job holds no running process. The job is named after the started
// process's identity, which the journal records already: a copy started after
// Tavrel was killed opens it by that name and waits for what still runs.
#pragma once

#include <windows.h>

#include <optional>

#include "base/win32/handles.h"
#include "launch/launcher.h"

namespace tavrel {

// A process's id and creation time; nothing when they cannot be read.
std::optional<ProcessIdentity> IdentityOf(HANDLE process);

// The program started (or found): its job, when it has one, and the one
// process of it waited on now. Without a job the program is its one process.
class Win32Launch final : public IRunningProgram {
 public:
  Win32Launch(UniqueWin32Handle job, UniqueWin32Handle member, std::optional<ProcessIdentity> identity)
      : job_(std::move(job)), member_(std::move(member)), identity_(identity) {}
  WaitHandle EndSignal() const override { return member_.get(); }
  bool Ended() override;
  std::optional<ProcessIdentity> Identity() const override { return identity_; }

 private:
  UniqueWin32Handle job_;     // null: waited for alone
  UniqueWin32Handle member_;  // with SYNCHRONIZE
  std::optional<ProcessIdentity> identity_;
};

// Puts a process that has just started into a job of its own and holds the
// launch; where it cannot join one (Windows 7 while Tavrel itself runs in a
// job, a program the consent prompt elevated) the process alone.
RunningProgram HoldLaunch(UniqueWin32Handle process);

// The launch started as the process with this identity, from its job; null
// when no job has that name or none of its processes runs any more.
RunningProgram FindLaunch(const ProcessIdentity& identity);

}  // namespace tavrel
