#include <windows.h>

#include <algorithm>

#include "base/win32/handles.h"
#include "base/win32/wide.h"
#include "launch/win32/launcher_win32.h"
#include "suites/launcher_suite.h"

namespace tavrel::testing {

// eudcview, the sample program: started without arguments it takes its
// options from EUDCVIEW_OPTIONS, here to run windowless for a minute unless
// the test ends it first.
class Win32LauncherBackend {
 public:
  Win32LauncherBackend() {
    SetEnvironmentVariableW(L"EUDCVIEW_OPTIONS", L"--no-window --exit-after-ms 60000");
  }
  ~Win32LauncherBackend() { SetEnvironmentVariableW(L"EUDCVIEW_OPTIONS", nullptr); }
  ILauncher& seam() { return launcher_; }

  // The build gives the path as the host sees it; Wine's Z: drive is the host's root.
  std::u16string Program() {
    std::u16string path = Utf8ToUtf16("Z:" TAVREL_SAMPLE_PROGRAM);
    std::replace(path.begin(), path.end(), u'/', u'\\');
    return path;
  }
  std::u16string MissingProgram() {
    const std::u16string program = Program();
    return program.substr(0, program.rfind(u'\\')) + u"\\gone.exe";
  }
  void End(const ProcessIdentity& identity) {
    const UniqueWin32Handle process(
        OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, identity.processId));
    ASSERT_TRUE(process);
    EXPECT_TRUE(TerminateProcess(process.get(), 1));
    EXPECT_EQ(WaitForSingleObject(process.get(), 10000), WAIT_OBJECT_0);
  }
  bool Signalled(WaitHandle signal) { return WaitForSingleObject(signal, 0) == WAIT_OBJECT_0; }

 private:
  Win32Launcher launcher_;
};

INSTANTIATE_TYPED_TEST_SUITE_P(Win32, LauncherContract, Win32LauncherBackend);

}  // namespace tavrel::testing
