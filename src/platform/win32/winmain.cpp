// Tavrel's entry point: the Win32 backends of every service, the window, and
// the form that runs on them.
#include <windows.h>
#include <commctrl.h>
#include <ole2.h>

#include "app/command_line.h"
#include "app/frm_main.h"
#include "platform/win32/win32_files.h"
#include "platform/win32/win32_main_window.h"
#include "platform/win32/win32_processes.h"
#include "platform/win32/win32_profile.h"
#include "platform/win32/win32_registry.h"
#include "platform/win32/win32_session.h"
#include "platform/win32/win32_shell.h"
#include "platform/win32/win32_variant.h"
#include "platform/win32/win32_window_tree.h"

namespace {

// Initialises OLE for the drop targets; uninitialises only what it initialised.
class OleScope {
 public:
  OleScope() : result_(OleInitialize(nullptr)) {}
  ~OleScope() {
    if (SUCCEEDED(result_)) OleUninitialize();
  }
  OleScope(const OleScope&) = delete;
  OleScope& operator=(const OleScope&) = delete;

 private:
  HRESULT result_;
};

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

  // Read first, before anything can change the current folder that relative
  // paths are taken against.
  const CommandLine commandLine = ReadCommandLine(session, files);
  // The logon's recovery (the RunOnce value): no window; ends the process.
  if (commandLine.restore) form.RestoreAtLogon();
  // The guard runs before any window of Tavrel's exists.
  form.Form_Initialize();
  OleScope ole;
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES};
  InitCommonControlsEx(&controls);
  if (!window.Create()) return 1;
  form.Form_Load(commandLine);
  return window.Run();
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  SearchSystem32ForDlls();
  try {
    return RunTavrel(instance);
  } catch (...) {
    return 1;
  }
}
