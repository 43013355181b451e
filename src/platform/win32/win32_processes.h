// IProcesses over kernel32 and user32.
#pragma once

#include <windows.h>

#include "platform/process_api.h"

namespace tavrel {

class Win32Processes final : public IProcesses {
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

 private:
  // Keeps GetLastError() of a call that failed, before anything else runs.
  template <typename T>
  T Checked(T result, bool failed) {
    if (failed) lastError_ = ::GetLastError();
    return result;
  }

  DWORD lastError_ = 0;
};

}  // namespace tavrel
