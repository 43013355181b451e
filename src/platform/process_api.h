// Starting a process, finding it again by its id, waiting for it while the
// window's messages flow, and the one pass of the event loop.
#pragma once

#include <cstdint>

#include "platform/unique_handle.h"
#include "platform/win_types.h"

namespace tavrel {

inline constexpr DWORD kInfinite = 0xFFFFFFFF;
inline constexpr DWORD kWaitObject0 = 0;
inline constexpr DWORD kWaitTimeout = 258;
inline constexpr DWORD kWaitFailed = 0xFFFFFFFF;

inline constexpr DWORD kSynchronize = 0x00100000;
inline constexpr DWORD kProcessQueryLimitedInformation = 0x1000;

struct ProcessInformation {
  Handle hProcess = nullptr;  // full rights, SYNCHRONIZE included
  DWORD dwProcessId = 0;
};

struct FileTime {
  DWORD dwLowDateTime = 0;
  DWORD dwHighDateTime = 0;
};

// A process as it can be found again later: its id alone is not enough, since
// Windows hands an ended process's id to a later one.
struct ProcessIdentity {
  DWORD processId = 0;
  std::uint64_t creationTime = 0;  // FILETIME: 100 ns units since 1601
  bool operator==(const ProcessIdentity&) const = default;
};

class IProcesses {
 public:
  virtual ~IProcesses() = default;

  // CreateProcessW with the given program and command line (the command line
  // buffer may be written to, as the SDK allows); the new window is shown with
  // `showCommand`. The thread handle is closed at once.
  virtual BOOL CreateProcessW(const char16_t* applicationName, char16_t* commandLine,
                              int showCommand, ProcessInformation* info) = 0;
  // A handle with `desiredAccess` to the process with this id, not inheritable;
  // nullptr on failure.
  virtual Handle OpenProcess(DWORD desiredAccess, DWORD processId) = 0;
  virtual DWORD GetProcessId(Handle process) = 0;
  virtual BOOL GetProcessTimes(Handle process, FileTime* creation, FileTime* exit,
                               FileTime* kernel, FileTime* user) = 0;
  virtual BOOL CloseHandle(Handle handle) = 0;
  // kWaitObject0 when signalled within the time, kWaitTimeout, kWaitFailed.
  virtual DWORD WaitForSingleObject(Handle handle, DWORD milliseconds) = 0;
  // MsgWaitForMultipleObjectsEx on one handle, waking for any input that is
  // already queued too: kWaitObject0 when the handle is signalled,
  // kWaitObject0 + 1 when messages wait, kWaitFailed on failure.
  virtual DWORD MsgWaitForSingleObject(Handle handle, DWORD milliseconds) = 0;

  // The error of the last call of this interface that failed, as
  // GetLastError() gave it right after that call.
  virtual DWORD GetLastError() = 0;
};

class IEventLoop {
 public:
  virtual ~IEventLoop() = default;
  // One pass of the event loop: dispatches every pending message, then returns.
  virtual void DoEvents() = 0;
};

using KernelHandleTraits = ApiHandleTraits<IProcesses, Handle, &IProcesses::CloseHandle>;
using UniqueKernelHandle = UniqueHandle<KernelHandleTraits>;

}  // namespace tavrel
