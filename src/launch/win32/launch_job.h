// A launch as a job object: the started program joins a job of Tavrel's as it
// starts, and every process it starts joins it too, so the launch has ended
// when the job holds no running process. A thread serves the job's completion
// port: it sets the launch's end signal once the last process has ended, and
// gives each process that joins a handle to the job. The job is named after
// the started process's identity, which the journal records already, and
// its name lives as long as a handle to it does: a copy started after
// Tavrel was killed opens it by that name while a process of it runs.
#pragma once

#include <windows.h>

#include <optional>

#include "base/win32/handles.h"
#include "launch/launcher.h"

namespace tavrel {

// A process's id and creation time; nothing when they cannot be read.
std::optional<ProcessIdentity> IdentityOf(HANDLE process);

// Puts a process that has just started into a job of its own and holds the
// launch; where it cannot join one (Windows 7 while Tavrel itself runs in a
// job, a program the consent prompt elevated) the process alone. The launch
// owns the process handle for as long as it lives.
RunningProgram HoldLaunch(UniqueWin32Handle process);

// The launch started as the process with this identity, from its job; where
// no job has that name, the process alone. Null once none of its processes
// runs, or when the id now names another process.
RunningProgram FindLaunch(const ProcessIdentity& identity);

}  // namespace tavrel
