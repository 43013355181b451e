#include "platform/win32/win32_processes.h"

#include <windows.h>

namespace tavrel {

static_assert(kInfinite == INFINITE && kWaitObject0 == WAIT_OBJECT_0 && kWaitFailed == WAIT_FAILED);

BOOL Win32Processes::CreateProcessA(const char* applicationName, char* commandLine,
                                    int showCommand, ProcessInformation* info) {
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = static_cast<WORD>(showCommand);
  PROCESS_INFORMATION started{};
  if (!::CreateProcessA(applicationName, commandLine, nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &started)) {
    return FALSE;
  }
  ::CloseHandle(started.hThread);
  info->hProcess = started.hProcess;
  info->dwProcessId = started.dwProcessId;
  return TRUE;
}

BOOL Win32Processes::CloseHandle(Handle handle) { return ::CloseHandle(handle); }

DWORD Win32Processes::MsgWaitForSingleObject(Handle handle, DWORD milliseconds) {
  // MWMO_INPUTAVAILABLE: wake for messages already in the queue too, not only
  // for those that arrive after the last look at it.
  return ::MsgWaitForMultipleObjectsEx(1, &handle, milliseconds, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
}

}  // namespace tavrel
