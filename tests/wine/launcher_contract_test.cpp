#include <windows.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

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
  // The report of the last child, once written; empty before.
  std::string Report() {
    std::ifstream in{std::filesystem::path(report_)};
    const std::string text(std::istreambuf_iterator<char>(in), {});
    return text.find("\npid=") == std::string::npos ? "" : text;
  }
  ProcessIdentity ChildOf(const ProcessIdentity& launcher) {
    const UniqueWin32Handle process(OpenProcess(SYNCHRONIZE, FALSE, launcher.processId));
    EXPECT_TRUE(process && WaitForSingleObject(process.get(), 10000) == WAIT_OBJECT_0);
    std::string text;
    for (int tries = 0; tries < 1000 && (text = Report()).empty(); ++tries) Sleep(10);
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
  // The port's thread sets a launch's signal a moment after the last end.
  bool Signalled(WaitHandle signal) { return WaitForSingleObject(signal, 500) == WAIT_OBJECT_0; }

 private:
  Win32Launcher launcher_;
  std::wstring report_;
};

INSTANTIATE_TYPED_TEST_SUITE_P(Win32, LauncherContract, Win32LauncherBackend);

// Whether the process holds a handle to a job it is in: each of its handles,
// as the system lists them, copied out and asked.
bool HoldsItsJob(const ProcessIdentity& identity) {
  struct Entry {
    void* object;
    ULONG_PTR process, handle;
    ULONG access;
    USHORT trace, type;
    ULONG attributes, reserved;
  };
  using Query = LONG(WINAPI*)(ULONG, void*, ULONG, ULONG*);
  const auto query = reinterpret_cast<Query>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQuerySystemInformation")));
  constexpr ULONG kExtendedHandles = 64;  // SystemExtendedHandleInformation
  std::vector<ULONG_PTR> buffer(1 << 16);
  ULONG size = 0;
  while (query(kExtendedHandles, buffer.data(), static_cast<ULONG>(buffer.size() * sizeof(ULONG_PTR)), &size) ==
         static_cast<LONG>(0xC0000004)) {  // STATUS_INFO_LENGTH_MISMATCH
    buffer.resize(buffer.size() * 2);
  }
  const UniqueWin32Handle process(OpenProcess(PROCESS_DUP_HANDLE | PROCESS_QUERY_INFORMATION, FALSE, identity.processId));
  const auto* entries = reinterpret_cast<const Entry*>(buffer.data() + 2);
  for (ULONG_PTR i = 0; process && i < buffer[0]; ++i) {
    if (entries[i].process != identity.processId) continue;
    HANDLE copy = nullptr;
    if (!DuplicateHandle(process.get(), reinterpret_cast<HANDLE>(entries[i].handle), GetCurrentProcess(), &copy, 0,
                         FALSE, DUPLICATE_SAME_ACCESS)) {
      continue;
    }
    const UniqueWin32Handle held(copy);
    BOOL inJob = FALSE;
    if (IsProcessInJob(process.get(), held.get(), &inJob) && inJob) return true;
  }
  return false;
}

// The port's thread gives each process that joins a handle to the job, so
// that on Windows its name lives while any of them runs (Wine keeps it
// anyway); the thread stops when the launch goes first.
TEST(Win32Launcher, EveryProcessOfAProgramHoldsItsJob) {
  Win32LauncherBackend backend;
  StartOutcome started = backend.seam().Start(StartRequest{backend.Launcher(), {}, {}, ShowState::Normal, nullptr});
  ASSERT_EQ(started.result, StartOutcome::Result::Started) << started.error;
  const ProcessIdentity child = backend.ChildOf(*started.program->Identity());
  EXPECT_TRUE(HoldsItsJob(child));
  started.program.reset();
  backend.End(child);
}

}  // namespace tavrel::testing
