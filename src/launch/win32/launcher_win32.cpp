#include "launch/win32/launcher_win32.h"

#include <windows.h>
#include <shellapi.h>

#include <string>

#include "base/win32/handles.h"
#include "base/win32/wide.h"
#include "launch/win32/launch_job.h"

namespace tavrel {
namespace {

int ShowCommandOf(ShowState show) {
  switch (show) {
    case ShowState::Normal: return SW_SHOWNORMAL;
    // What a shortcut set to 最小化 passes: minimised, without taking the focus.
    case ShowState::Minimized: return SW_SHOWMINNOACTIVE;
    case ShowState::Maximized: return SW_SHOWMAXIMIZED;
  }
  return SW_SHOWNORMAL;
}

// The program named explicitly, with its arguments, as the shell would
// have started it.
StartOutcome StartDirectly(const std::wstring& program, const std::wstring& arguments,
                           const StartRequest& request) {
  std::wstring commandLine = L"\"" + program + L"\"" + (arguments.empty() ? L"" : L" " + arguments);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = static_cast<WORD>(ShowCommandOf(request.show));
  PROCESS_INFORMATION started{};
  const std::wstring folder = WideOf(request.folder);
  // CreateProcessW may write to the command line: it gets a buffer of its own.
  // Suspended until it is in the launch's job, so that no child it starts
  // escapes the wait.
  if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, CREATE_SUSPENDED,
                      nullptr, folder.empty() ? nullptr : folder.c_str(), &startup, &started)) {
    return StartOutcome{StartOutcome::Result::Failed, nullptr, GetLastError()};
  }
  const UniqueWin32Handle thread(started.hThread);
  // The launch owns the process handle from here on, as long as it lives.
  const HANDLE process = started.hProcess;
  RunningProgram launch = HoldLaunch(UniqueWin32Handle(process));
  if (ResumeThread(thread.get()) == static_cast<DWORD>(-1)) {
    const DWORD error = GetLastError();
    // Never left behind suspended, where it would hold the font for good.
    (void)TerminateProcess(process, error);
    return StartOutcome{StartOutcome::Result::Failed, nullptr, error};
  }
  return StartOutcome{StartOutcome::Result::Started, std::move(launch), kSuccess};
}

// The record's size is the target's (112 bytes on x86_64, 60 on 32-bit):
// Windows refuses any other; Wine does not check it.
#ifdef _WIN64
static_assert(sizeof(SHELLEXECUTEINFOW) == 112);
#else
static_assert(sizeof(SHELLEXECUTEINFOW) == 60);
#endif

BOOL ShellOpen(const std::wstring& file, const std::wstring& parameters, const std::wstring& folder,
               int show, HWND owner, ULONG mask, HANDLE* process) {
  SHELLEXECUTEINFOW info{};
  info.cbSize = sizeof info;
  info.fMask = SEE_MASK_FLAG_NO_UI | mask;
  info.hwnd = owner;
  info.lpVerb = L"open";
  info.lpFile = file.c_str();
  info.lpParameters = parameters.c_str();
  info.lpDirectory = folder.c_str();
  info.nShow = show;
  const BOOL opened = ShellExecuteExW(&info);
  if (process) *process = opened ? info.hProcess : nullptr;
  return opened;
}

}  // namespace

// The program is always a full path (the run registers nothing else), so
// nothing of it is split or searched for.
StartOutcome Win32Launcher::Start(const StartRequest& request) {
  const std::wstring program = WideOf(request.program);
  const std::wstring arguments = WideOf(request.arguments);
  const std::wstring folder = WideOf(request.folder);
  HANDLE process = nullptr;
  if (ShellOpen(program, arguments, folder, ShowCommandOf(request.show), request.owner,
                SEE_MASK_NOCLOSEPROCESS, &process)) {
    // Served without a new process (a document handed to a running program):
    // there is nothing to wait for.
    if (!process) return StartOutcome{StartOutcome::Result::HandedOver, nullptr, kSuccess};
    // The shell starts the program running: it joins the job only now, and
    // a child it started in the moments before is not waited for.
    return StartOutcome{StartOutcome::Result::Started, HoldLaunch(UniqueWin32Handle(process)), kSuccess};
  }
  const DWORD shellError = GetLastError();
  // The user said no at the shell's prompt (the warning on a downloaded
  // file, the elevation prompt): final. A direct start would skip it.
  if (shellError == ERROR_CANCELLED) return StartOutcome{StartOutcome::Result::Cancelled, nullptr, shellError};
  // Any other failure means the shell could not start the file at all (no
  // association, no memory): CreateProcessW may.
  return StartDirectly(program, arguments, request);
}

ErrorCode Win32Launcher::Open(std::u16string_view target, WindowHandle owner) {
  if (ShellOpen(WideOf(target), L"", L"", SW_SHOWNORMAL, owner, 0, nullptr)) return kSuccess;
  return GetLastError();
}

ProcessIdentity Win32Launcher::Self() {
  // The pseudo-handle of the own process needs no closing, and its times
  // can always be read.
  return IdentityOf(GetCurrentProcess()).value_or(ProcessIdentity{GetCurrentProcessId(), 0});
}

RunningProgram Win32Launcher::FindRunning(const ProcessIdentity& identity) {
  return FindLaunch(identity);
}

}  // namespace tavrel
