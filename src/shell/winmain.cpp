// Tavrel's entry point: the Win32 backends of the seams, the run, its window
// and the message loop.
#include <windows.h>

#include <cstdlib>

#include "command_line/command_line.h"
#include "run/run.h"
#include "desktop/win32/desktop_win32.h"
#include "files/win32/files_win32.h"
#include "settings/win32/settings_win32.h"
#include "shortcuts/win32/shortcuts_win32.h"
#include "eudc/win32/eudc_key_win32.h"
#include "eudc/win32/journal_store_win32.h"
#include "launch/win32/launcher_win32.h"
#include "shell/main_window.h"
#include "shell/message_loop.h"
#include "shell/startup_trace.h"

// An exception that escapes (none should: the C boundaries catch) ends the
// process as std::terminate does. libstdc++'s own handler would first print
// the exception's demangled type to stderr, which a program without a
// console does not have, and brings the demangler and a printf, a quarter
// of the executable, along.
namespace __gnu_cxx {
void __verbose_terminate_handler() { std::abort(); }
}  // namespace __gnu_cxx

namespace {

// Tavrel is copied into program folders, often beside downloaded files: a
// DLL there must never be loaded in place of a system one. From here on a
// load by bare name searches System32 alone, for our own loads and for those
// the system DLLs make on our behalf.
void SearchSystem32ForDlls() {
  // Resolved at run time: Windows 7 without KB2533623 lacks the call, and an
  // import would keep Tavrel from starting there at all.
  using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
  const FARPROC found =
      GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "SetDefaultDllDirectories");
  // Either call fails only for an argument it does not know; these are
  // documented ones, so the results are not looked at.
  if (found) {
    reinterpret_cast<SetDefaultDllDirectoriesFn>(reinterpret_cast<void*>(found))(
        LOAD_LIBRARY_SEARCH_SYSTEM32);
  } else {
    SetDllDirectoryW(L"");  // at least the current folder is no longer searched
  }
}
// The show state a shortcut's run setting (実行時の大きさ) starts Tavrel with.
tavrel::ShowState ShowStateOf(int showCommand) {
  switch (showCommand) {
    case SW_SHOWMINIMIZED:
    case SW_MINIMIZE:
    case SW_SHOWMINNOACTIVE:
      return tavrel::ShowState::Minimized;
    case SW_SHOWMAXIMIZED:
      return tavrel::ShowState::Maximized;
    default:
      return tavrel::ShowState::Normal;
  }
}

int RunTavrel(HINSTANCE instance, int showCommand) {
  using namespace tavrel;
  Win32EudcKey eudcKey;
  Win32JournalStore journalStore;
  Win32Launcher launcher;
  Win32Desktop desktop;
  Win32Files files;
  Win32Settings settings(Win32Settings::BesideExecutable());
  Win32Shortcuts shortcuts;
  MainWindow window(instance);
  Run run(Seams{eudcKey, journalStore, launcher, desktop, files, settings, shortcuts}, window);
  window.Attach(run);

  // Read first, before anything can change the current folder that relative
  // paths are taken against.
  const CommandLine commandLine = ReadCommandLine(desktop, files);
  if (commandLine.restore) {
    // The logon's recovery (the RunOnce value): no window.
    run.RestoreAtLogon();
    return RunMessageLoop(run, nullptr);
  }
  // The guard runs before any window of Tavrel's exists.
  if (!run.GuardSingleInstance(commandLine, ShowStateOf(showCommand))) return 0;
  MarkStartup("window search");
  if (!window.Create(run.screen().title)) {
    run.WindowFailed(window.FailureText());
    return 1;
  }
  MarkStartup("window, fonts and controls");
  run.Open(commandLine, ShowStateOf(showCommand));
  return RunMessageLoop(run, &window);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
  SearchSystem32ForDlls();
  tavrel::MarkStartup("C runtime start-up");
  try {
    return RunTavrel(instance, showCommand);
  } catch (...) {
    return 1;
  }
}
