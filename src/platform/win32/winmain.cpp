// Tavrel's entry point: the Win32 backends of every service, the window, and
// the form that runs on them.
#include <windows.h>

#include <cstdlib>

#include "app/frm_main.h"
#include "platform/win32/win32_files.h"
#include "platform/win32/win32_main_window.h"
#include "platform/win32/win32_processes.h"
#include "platform/win32/win32_profile.h"
#include "platform/win32/win32_registry.h"
#include "platform/win32/startup_trace.h"
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

  // The guard runs before any window of Tavrel's exists.
  form.Form_Initialize();
  MarkStartup("window search");
  if (!window.Create()) {
    window.ReportFailure();
    return 1;
  }
  MarkStartup("window, fonts and controls");
  form.Form_Load();
  return window.Run();
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  tavrel::MarkStartup("C runtime start-up");
  try {
    return RunTavrel(instance);
  } catch (...) {
    return 1;
  }
}
