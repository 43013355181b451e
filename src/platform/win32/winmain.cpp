// Tavrel's entry point: the Win32 backends of every service, the window, and
// the form that runs on them.
#include <windows.h>

#include <cstdlib>

#include "app/command_line.h"
#include "app/frm_main.h"
#include "platform/win32/startup_trace.h"
#include "platform/win32/win32_files.h"
#include "platform/win32/win32_main_window.h"
#include "platform/win32/win32_processes.h"
#include "platform/win32/win32_profile.h"
#include "platform/win32/win32_registry.h"
#include "platform/win32/win32_session.h"
#include "platform/win32/win32_shell.h"
#include "platform/win32/win32_variant.h"
#include "platform/win32/win32_window_tree.h"

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
  if (found) {
    reinterpret_cast<SetDefaultDllDirectoriesFn>(reinterpret_cast<void*>(found))(
        LOAD_LIBRARY_SEARCH_SYSTEM32);
  } else {
    SetDllDirectoryW(L"");  // at least the current folder is no longer searched
  }
}
int RunTavrel(HINSTANCE instance) {
  using namespace tavrel;
  Win32Registry registry;
  Win32FileSystem files;
  Win32Shell shell;
  Win32Processes processes;
  Win32WindowTree windows;
  Win32Session session;
  Win32Profile profile;
  Win32VariantConversions variants;
  MainWindow window(instance);
  Services services{registry, files, shell, processes, window, windows, session, profile, variants};
  frmMain form(services, window);
  window.Attach(form);
  // Every way out ends the process at once (a launch waiting further down
  // the stack must never resume), but the window goes properly first.
  session.BeforeEndProcess([&window] { window.Destroy(); });

  // Read first, before anything can change the current folder that relative
  // paths are taken against.
  const CommandLine commandLine = ReadCommandLine(session, files);
  // The logon's recovery (the RunOnce value): no window; ends the process.
  if (commandLine.restore) form.RestoreAtLogon();
  // The guard runs before any window of Tavrel's exists.
  form.Form_Initialize();
  MarkStartup("window search");
  if (!window.Create()) {
    window.ReportFailure();
    return 1;
  }
  MarkStartup("window, fonts and controls");
  form.Form_Load(commandLine);
  return window.Run();
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  SearchSystem32ForDlls();
  tavrel::MarkStartup("C runtime start-up");
  try {
    return RunTavrel(instance);
  } catch (...) {
    return 1;
  }
}
