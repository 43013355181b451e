#include "launch/win32/launcher_win32.h"

#include <windows.h>
#include <shellapi.h>

#include <string>

#include "base/win32/filled_text.h"
#include "base/win32/handles.h"
#include "base/win32/wide.h"
#include "launch/win32/launch_job.h"

namespace tavrel {
namespace {

// Positions in the command line are 16-bit, and the split forms the position
// after a space: longer command lines are not split.
constexpr size_t kLongestSplitLine = 32766;

bool NamesExistingFile(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// The full path of a file (never a folder) the search path finds by this name.
std::optional<std::wstring> FindOnSearchPath(const std::wstring& name,
                                             const wchar_t* extension = nullptr) {
  std::optional<std::wstring> found = FilledText([&](wchar_t* buffer, DWORD size) {
    return SearchPathW(nullptr, name.c_str(), extension, size, buffer, nullptr);
  });
  // The search finds folders as well; only a file can be opened as a program.
  if (!found || !NamesExistingFile(*found)) return std::nullopt;
  return found;
}

struct Split {
  std::wstring file;        // the file part
  std::wstring parameters;  // the parameter part
  std::wstring found;       // the file part's full path, when the search found it
};

// A registered program is a full path, possibly with spaces: a whole line
// that names a file is opened as it is. Otherwise the shortest prefix ending
// before a space that the search finds is the file; quotes are ordinary
// characters here.
Split SplitCommandLine(const std::wstring& line) {
  if (NamesExistingFile(line) || line.size() > kLongestSplitLine) return Split{line, {}, {}};
  for (size_t space = line.find(L' '); space != std::wstring::npos && space > 0;
       space = line.find(L' ', space + 1)) {
    if (std::optional<std::wstring> found = FindOnSearchPath(line.substr(0, space))) {
      return Split{line.substr(0, space), line.substr(space + 1), *found};
    }
  }
  return Split{line, {}, {}};
}

// Which program a direct start runs, and with which arguments. The program
// is always named explicitly: started from a bare command line,
// "C:\My Tools\app.exe" would run C:\My.exe when that exists.
std::optional<Split> DirectStartOf(const std::wstring& line, const Split& split) {
  if (!split.found.empty()) return Split{split.found, split.parameters, split.found};
  if (NamesExistingFile(line)) return Split{line, split.parameters, line};
  if (line.starts_with(L'"')) {
    const size_t close = line.find(L'"', 1);
    if (close == std::wstring::npos) return std::nullopt;
    const std::optional<std::wstring> program = FindOnSearchPath(line.substr(1, close - 1), L".exe");
    if (!program) return std::nullopt;
    std::wstring arguments = line.substr(close + 1);
    if (arguments.starts_with(L' ')) arguments.erase(0, 1);
    return Split{*program, arguments, *program};
  }
  // Which program an unquoted line with spaces means is unknown.
  if (line.find(L' ') != std::wstring::npos) return std::nullopt;
  const std::optional<std::wstring> program = FindOnSearchPath(line, L".exe");
  if (!program) return std::nullopt;
  return Split{*program, {}, *program};
}

int ShowCommandOf(ShowState show) {
  switch (show) {
    case ShowState::Normal: return SW_SHOWNORMAL;
    // What a shortcut set to 最小化 passes: minimised, without taking the focus.
    case ShowState::Minimized: return SW_SHOWMINNOACTIVE;
    case ShowState::Maximized: return SW_SHOWMAXIMIZED;
  }
  return SW_SHOWNORMAL;
}

StartOutcome StartDirectly(const std::wstring& line, const Split& split, const StartRequest& request,
                           ErrorCode shellError) {
  const std::optional<Split> direct = DirectStartOf(line, split);
  if (!direct) return StartOutcome{StartOutcome::Result::Failed, nullptr, shellError};
  std::wstring commandLine =
      L"\"" + direct->file + L"\"" + (direct->parameters.empty() ? L"" : L" " + direct->parameters);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = static_cast<WORD>(ShowCommandOf(request.show));
  PROCESS_INFORMATION started{};
  const std::wstring folder = WideOf(request.folder);
  // CreateProcessW may write to the command line: it gets a buffer of its own.
  // Suspended until it is in the launch's job, so that no child it starts
  // escapes the wait.
  if (!CreateProcessW(direct->file.c_str(), commandLine.data(), nullptr, nullptr, FALSE, CREATE_SUSPENDED,
                      nullptr, folder.empty() ? nullptr : folder.c_str(), &startup, &started)) {
    return StartOutcome{StartOutcome::Result::Failed, nullptr, GetLastError()};
  }
  const UniqueWin32Handle thread(started.hThread);
  RunningProgram launch = HoldLaunch(UniqueWin32Handle(started.hProcess));
  if (ResumeThread(thread.get()) == static_cast<DWORD>(-1)) {
    const DWORD error = GetLastError();
    // Never left behind suspended, where it would hold the font for good.
    (void)TerminateProcess(launch->EndSignal(), error);
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

StartOutcome Win32Launcher::Start(const StartRequest& request) {
  const std::wstring line = WideOf(request.program);
  Split split = SplitCommandLine(line);
  if (!request.arguments.empty()) {
    split.parameters += (split.parameters.empty() ? L"" : L" ") + WideOf(request.arguments);
  }
  const std::wstring folder = WideOf(request.folder);
  HANDLE process = nullptr;
  if (ShellOpen(split.file, split.parameters, folder, ShowCommandOf(request.show), request.owner,
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
  // association, a name it cannot resolve, no memory): CreateProcessW may.
  return StartDirectly(line, split, request, shellError);
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
  // The launch's job while a process of it runs; the process alone where it
  // had none (its program could not join one, or an older Tavrel started it).
  if (RunningProgram launch = FindLaunch(identity)) return launch;
  // SYNCHRONIZE to wait on it; the limited query right for its identity.
  const HANDLE opened =
      OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, identity.processId);
  if (!opened) return nullptr;
  auto process = std::make_unique<Win32Launch>(nullptr, UniqueWin32Handle(opened), IdentityOf(opened));
  // The id alone says little: Windows gives an ended process's id to a new
  // one, and Wine keeps an ended process openable by its id for a while.
  const std::optional<ProcessIdentity> found = process->Identity();
  if (!found || *found != identity || WaitForSingleObject(opened, 0) != WAIT_TIMEOUT) return nullptr;
  return process;
}

}  // namespace tavrel
