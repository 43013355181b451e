#include "launch/process_wait.h"

namespace tavrel {
namespace {

std::uint64_t Ticks(const FileTime& time) {
  return (static_cast<std::uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

}  // namespace

bool WaitForProcessEnd(IProcesses& processes, IEventLoop& events, Handle process) {
  // Sleeps until the process ends or a message arrives.
  for (;;) {
    const DWORD woke = processes.MsgWaitForSingleObject(process, kInfinite);
    if (woke == kWaitObject0) return true;
    if (woke != kWaitObject0 + 1) return false;
    events.DoEvents();
  }
}

std::optional<ProcessIdentity> IdentityOf(IProcesses& processes, Handle process) {
  FileTime creation, exit, kernel, user;
  const DWORD id = processes.GetProcessId(process);
  if (id == 0 || !processes.GetProcessTimes(process, &creation, &exit, &kernel, &user)) {
    return std::nullopt;
  }
  return ProcessIdentity{id, Ticks(creation)};
}

UniqueKernelHandle OpenRunningProcess(IProcesses& processes, const ProcessIdentity& identity) {
  UniqueKernelHandle process(
      processes.OpenProcess(kSynchronize | kProcessQueryLimitedInformation, identity.processId),
      KernelHandleTraits{&processes});
  if (!process) return process;
  // The id alone says little: Windows gives an ended process's id to a new
  // one, and Wine keeps an ended process openable by its id for a while.
  const std::optional<ProcessIdentity> found = IdentityOf(processes, process.get());
  if (!found || *found != identity || processes.WaitForSingleObject(process.get(), 0) != kWaitTimeout) {
    process.reset();
  }
  return process;
}

}  // namespace tavrel
