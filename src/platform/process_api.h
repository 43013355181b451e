// Starting a process, waiting for it while the window's messages flow, and the
// one pass of the event loop.
#pragma once

#include "platform/unique_handle.h"
#include "platform/win_types.h"

namespace tavrel {

inline constexpr DWORD kInfinite = 0xFFFFFFFF;
inline constexpr DWORD kWaitObject0 = 0;
inline constexpr DWORD kWaitFailed = 0xFFFFFFFF;

struct ProcessInformation {
  Handle hProcess = nullptr;  // full rights, SYNCHRONIZE included
  DWORD dwProcessId = 0;
};

class IProcesses {
 public:
  virtual ~IProcesses() = default;

  // CreateProcessA with the given program and command line (the command line
  // buffer may be written to, as the SDK allows); the new window is shown with
  // `showCommand`. The thread handle is closed at once.
  virtual BOOL CreateProcessA(const char* applicationName, char* commandLine, int showCommand,
                              ProcessInformation* info) = 0;
  virtual BOOL CloseHandle(Handle handle) = 0;
  // MsgWaitForMultipleObjectsEx on one handle, waking for any input that is
  // already queued too: kWaitObject0 when the handle is signalled,
  // kWaitObject0 + 1 when messages wait, kWaitFailed on failure.
  virtual DWORD MsgWaitForSingleObject(Handle handle, DWORD milliseconds) = 0;
};

class IEventLoop {
 public:
  virtual ~IEventLoop() = default;
  // One pass of the event loop: dispatches every pending message, then returns.
  virtual void DoEvents() = 0;
};

struct KernelHandleTraits {
  using Type = Handle;
  static Type Invalid() { return nullptr; }
  void Close(Type handle) const { processes->CloseHandle(handle); }
  IProcesses* processes = nullptr;
};

using UniqueKernelHandle = UniqueHandle<KernelHandleTraits>;

}  // namespace tavrel
