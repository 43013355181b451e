#include <windows.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "base/win32/handles.h"
#include "base/win32/wide.h"
#include "launch/win32/launcher_win32.h"
#include "suites/launcher_suite.h"
#include "wine/built_file.h"

namespace tavrel::testing {

// eudcview, the sample program: started without arguments it takes its
// options from EUDCVIEW_OPTIONS, here to run windowless for a minute unless
// the test ends it first.
class Win32LauncherBackend {
 public:
  Win32LauncherBackend() {
    SetEnvironmentVariableW(L"EUDCVIEW_OPTIONS", L"--no-window --exit-after-ms 60000");
  }
  ~Win32LauncherBackend() {
    SetEnvironmentVariableW(L"EUDCVIEW_OPTIONS", nullptr);
    SetEnvironmentVariableW(L"EUDCVIEW_REPORT", nullptr);
    if (!report_.empty()) DeleteFileW(report_.c_str());
  }
  ILauncher& seam() { return launcher_; }

  std::u16string Program() { return Utf16Of(BuiltFile(TAVREL_SAMPLE_PROGRAM)); }
  std::u16string MissingProgram() {
    const std::u16string program = Program();
    return program.substr(0, program.rfind(u'\\')) + u"\\gone.exe";
  }
  // The sample program as a launcher: its child reports its id.
  std::u16string Launcher() {
    SetEnvironmentVariableW(L"EUDCVIEW_OPTIONS", L"--launch --no-window --exit-after-ms 60000");
    wchar_t folder[MAX_PATH];
    EXPECT_NE(GetTempPathW(MAX_PATH, folder), 0u);
    report_ = std::wstring(folder) + L"tavrel-launcher-contract-" + std::to_wstring(GetCurrentProcessId()) + L".txt";
    DeleteFileW(report_.c_str());
    SetEnvironmentVariableW(L"EUDCVIEW_REPORT", report_.c_str());
    return Program();
  }
  ProcessIdentity ChildOf(const ProcessIdentity& launcher) {
    const UniqueWin32Handle process(OpenProcess(SYNCHRONIZE, FALSE, launcher.processId));
    EXPECT_TRUE(process && WaitForSingleObject(process.get(), 10000) == WAIT_OBJECT_0);
    std::string text;
    for (int tries = 0; tries < 1000 && text.find("\npid=") == std::string::npos; ++tries) {
      Sleep(10);
      std::ifstream in{std::filesystem::path(report_)};
      text.assign(std::istreambuf_iterator<char>(in), {});
    }
    const size_t at = text.find("\npid=");
    if (at == std::string::npos) {
      ADD_FAILURE() << "the launcher's child wrote no report";
      return {};
    }
    const auto id = static_cast<DWORD>(std::stoul(text.substr(at + 5)));
    const UniqueWin32Handle child(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, id));
    FILETIME creation{}, exit{}, kernel{}, user{};
    EXPECT_TRUE(child && GetProcessTimes(child.get(), &creation, &exit, &kernel, &user));
    return ProcessIdentity{id, (std::uint64_t{creation.dwHighDateTime} << 32) | creation.dwLowDateTime};
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
  std::wstring report_;
};

INSTANTIATE_TYPED_TEST_SUITE_P(Win32, LauncherContract, Win32LauncherBackend);

}  // namespace tavrel::testing
