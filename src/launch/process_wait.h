// Waiting for a process while the window's messages flow, and finding a
// process again by its identity: its id and its creation time, since Windows
// hands an ended process's id to a later one.
#pragma once

#include <optional>

#include "platform/process_api.h"

namespace tavrel {

// True when the process ended; false when the wait failed (its end cannot be
// known). Pending messages are dispatched at once while it waits, so handlers
// (even a second launch) run inside.
bool WaitForProcessEnd(IProcesses& processes, IEventLoop& events, Handle process);

// The identity of a process we hold a handle to; nothing when it cannot be read.
std::optional<ProcessIdentity> IdentityOf(IProcesses& processes, Handle process);

// A handle that can be waited on to the process with this identity while it
// still runs; an empty handle when it has ended or its id now names another.
UniqueKernelHandle OpenRunningProcess(IProcesses& processes, const ProcessIdentity& identity);

}  // namespace tavrel
