// IProcesses over kernel32 and user32.
#pragma once

#include "platform/process_api.h"
#include "platform/win32/last_error.h"

namespace tavrel {

class Win32Processes final : private LastErrorKeeper, public IProcesses {
 public:
  BOOL CreateProcessW(const char16_t* applicationName, char16_t* commandLine, int showCommand,
                      ProcessInformation* info) override;
  Handle OpenProcess(DWORD desiredAccess, DWORD processId) override;
  DWORD GetProcessId(Handle process) override;
  BOOL GetProcessTimes(Handle process, FileTime* creation, FileTime* exit, FileTime* kernel,
                       FileTime* user) override;
  BOOL CloseHandle(Handle handle) override;
  DWORD WaitForSingleObject(Handle handle, DWORD milliseconds) override;
  DWORD MsgWaitForSingleObject(Handle handle, DWORD milliseconds) override;
  DWORD GetLastError() override { return lastError_; }
};

}  // namespace tavrel
