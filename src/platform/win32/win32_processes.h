// IProcesses over kernel32 and user32.
#pragma once

#include "platform/process_api.h"

namespace tavrel {

class Win32Processes final : public IProcesses {
 public:
  BOOL CreateProcessA(const char* applicationName, char* commandLine, int showCommand,
                      ProcessInformation* info) override;
  BOOL CloseHandle(Handle handle) override;
  DWORD MsgWaitForSingleObject(Handle handle, DWORD milliseconds) override;
};

}  // namespace tavrel
