#include "platform/win32/win32_processes.h"

#include <windows.h>

#include <cstddef>

#include "platform/win32/wide.h"

namespace tavrel {

static_assert(kInfinite == INFINITE && kWaitObject0 == WAIT_OBJECT_0 &&
              kWaitTimeout == WAIT_TIMEOUT && kWaitFailed == WAIT_FAILED);
static_assert(kSynchronize == SYNCHRONIZE &&
              kProcessQueryLimitedInformation == PROCESS_QUERY_LIMITED_INFORMATION);
static_assert(sizeof(FileTime) == sizeof(FILETIME) &&
              offsetof(FileTime, dwHighDateTime) == offsetof(FILETIME, dwHighDateTime));

BOOL Win32Processes::CreateProcessW(const char16_t* applicationName, char16_t* commandLine,
                                    int showCommand, ProcessInformation* info) {
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = static_cast<WORD>(showCommand);
  PROCESS_INFORMATION started{};
  const BOOL created = ::CreateProcessW(AsWide(applicationName), AsWide(commandLine), nullptr,
                                        nullptr, FALSE, 0, nullptr, nullptr, &startup, &started);
  if (!Checked(created, !created)) return FALSE;
  ::CloseHandle(started.hThread);
  info->hProcess = started.hProcess;
  info->dwProcessId = started.dwProcessId;
  return TRUE;
}

Handle Win32Processes::OpenProcess(DWORD desiredAccess, DWORD processId) {
  const HANDLE process = ::OpenProcess(desiredAccess, FALSE, processId);
  return Checked(process, process == nullptr);
}

DWORD Win32Processes::GetProcessId(Handle process) {
  const DWORD id = ::GetProcessId(process);
  return Checked(id, id == 0);
}

BOOL Win32Processes::GetProcessTimes(Handle process, FileTime* creation, FileTime* exit,
                                     FileTime* kernel, FileTime* user) {
  const BOOL got = ::GetProcessTimes(process, reinterpret_cast<FILETIME*>(creation),
                                     reinterpret_cast<FILETIME*>(exit),
                                     reinterpret_cast<FILETIME*>(kernel),
                                     reinterpret_cast<FILETIME*>(user));
  return Checked(got, !got);
}

BOOL Win32Processes::CloseHandle(Handle handle) { return ::CloseHandle(handle); }

DWORD Win32Processes::WaitForSingleObject(Handle handle, DWORD milliseconds) {
  const DWORD woke = ::WaitForSingleObject(handle, milliseconds);
  return Checked(woke, woke == WAIT_FAILED);
}

DWORD Win32Processes::MsgWaitForSingleObject(Handle handle, DWORD milliseconds) {
  // MWMO_INPUTAVAILABLE: wake for messages already in the queue too, not only
  // for those that arrive after the last look at it.
  const DWORD woke =
      ::MsgWaitForMultipleObjectsEx(1, &handle, milliseconds, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
  return Checked(woke, woke == WAIT_FAILED);
}

}  // namespace tavrel
