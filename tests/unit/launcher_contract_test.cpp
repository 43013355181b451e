#include "fakes/fakes.h"
#include "suites/launcher_suite.h"

namespace tavrel::testing {

// The fake knows no files: the missing program is one its next start fails on.
struct FakeLauncherBackend {
  fakes::FakeLauncher launcher;
  ILauncher& seam() { return launcher; }
  std::u16string Program() { return u"C:\\Apps\\Viewer\\viewer.exe"; }
  std::u16string Launcher() { return u"C:\\Apps\\Viewer\\menu.exe"; }
  // The launcher started last starts its child and ends.
  ProcessIdentity ChildOf(const ProcessIdentity&) {
    fakes::FakeLauncher::Process& started = launcher.Started(launcher.StartCount() - 1);
    const ProcessIdentity child = launcher.StartChild(started).identity;
    launcher.End(started);
    return child;
  }
  std::u16string MissingProgram() {
    launcher.startError = kFileNotFound;
    return u"C:\\Apps\\Viewer\\gone.exe";
  }
  void End(const ProcessIdentity& identity) {
    for (auto& process : launcher.processes) {
      if (process.identity == identity) launcher.End(process);
    }
  }
  bool Signalled(WaitHandle signal) {
    for (const auto& process : launcher.processes) {
      if (process.signal == signal) return !process.running;
    }
    ADD_FAILURE() << "no process has this end signal";
    return false;
  }
};

INSTANTIATE_TYPED_TEST_SUITE_P(Fake, LauncherContract, FakeLauncherBackend);

}  // namespace tavrel::testing
