// The launcher against the real shell and real processes: eudcview.exe, the
// sample program, stands in for the user's program. Started without arguments
// it takes its options from EUDCVIEW_OPTIONS and reports to EUDCVIEW_REPORT.
#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "launch/cexecute.h"
#include "launch/process_wait.h"
#include "platform/win32/win32_files.h"
#include "platform/win32/win32_processes.h"
#include "platform/win32/win32_shell.h"
#include "wine/scratch_folder.h"
#include "wine/scratch_window.h"

namespace tavrel::testing {
namespace {

// The build passes the sample program's path as the host sees it; Wine's Z:
// drive is the host's root.
std::wstring SampleProgram() {
  std::wstring path = Wide("Z:" TAVREL_SAMPLE_PROGRAM);
  for (wchar_t& c : path) {
    if (c == L'/') c = L'\\';
  }
  return path;
}

class PumpingLoop final : public IEventLoop {
 public:
  void DoEvents() override {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
  }
};

class RealLauncher : public ::testing::Test {
 protected:
  void SetUp() override {
    report_ = folder_.WidePath() + L"\\report.txt";
    SetEnvironmentVariableW(L"EUDCVIEW_REPORT", report_.c_str());
    Options(L"--no-window");
  }
  void TearDown() override {
    SetEnvironmentVariableW(L"EUDCVIEW_REPORT", nullptr);
    SetEnvironmentVariableW(L"EUDCVIEW_OPTIONS", nullptr);
  }
  static void Options(const wchar_t* options) { SetEnvironmentVariableW(L"EUDCVIEW_OPTIONS", options); }
  // A copy of the sample program at `relative` inside the scratch folder.
  std::string Program(const std::string& relative) {
    const std::wstring target = folder_.WidePath() + L"\\" + Wide(relative);
    CreateDirectoryW(target.substr(0, target.rfind(L'\\')).c_str(), nullptr);
    CopyFileW(SampleProgram().c_str(), target.c_str(), FALSE);
    return Narrow(target);
  }
  bool Run(const std::string& line, bool wait = true) {
    return cExecute(shell_, files_, processes_, loop_).ShellX(line, SW_SHOWNORMAL, nullptr, wait);
  }
  bool Reported() const { return GetFileAttributesW(report_.c_str()) != INVALID_FILE_ATTRIBUTES; }

  ScratchFolder folder_;
  std::wstring report_;
  Win32Shell shell_;
  Win32FileSystem files_;
  Win32Processes processes_;
  PumpingLoop loop_;
};

TEST_F(RealLauncher, WaitsUntilTheProgramHasEnded) {
  Options(L"--no-window --exit-after-ms 300");
  const ULONGLONG start = GetTickCount64();
  EXPECT_TRUE(Run(Program("app.exe")));
  EXPECT_GE(GetTickCount64() - start, 250u);
  EXPECT_TRUE(Reported());
}

TEST_F(RealLauncher, AProgramEndingWithTheStillActiveCodeDoesNotHangTheWait) {
  Options(L"--no-window --exit-code 259");
  EXPECT_TRUE(Run(Program("app.exe")));
  EXPECT_TRUE(Reported());
}

TEST_F(RealLauncher, AProgramBesideASiblingFolderNamedLikeItsPathStarts) {
  folder_.MakeFolder("Viewer");
  EXPECT_TRUE(Run(Program("Viewer Pro\\viewer.exe")));
  EXPECT_TRUE(Reported());
}

TEST_F(RealLauncher, ADocumentOpensThroughItsAssociation) {
  // A file type of the test's own, opened by the sample program.
  const std::wstring command = L"\"" + SampleProgram() + L"\" --no-window";
  RegSetKeyValueW(HKEY_CLASSES_ROOT, L".tavreldoc", nullptr, REG_SZ,
                  L"TavrelTest.Document", sizeof(L"TavrelTest.Document"));
  RegSetKeyValueW(HKEY_CLASSES_ROOT, L"TavrelTest.Document\\shell\\open\\command",
                  nullptr, REG_SZ, command.c_str(),
                  static_cast<DWORD>((command.size() + 1) * sizeof(wchar_t)));
  folder_.MakeFile("notes.tavreldoc", FILE_ATTRIBUTE_NORMAL);
  EXPECT_TRUE(Run(folder_.Path() + "\\notes.tavreldoc"));
  EXPECT_TRUE(Reported());
  RegDeleteTreeW(HKEY_CLASSES_ROOT, L".tavreldoc");
  RegDeleteTreeW(HKEY_CLASSES_ROOT, L"TavrelTest.Document");
}

TEST_F(RealLauncher, AUrlLikeTargetOpensThroughItsProtocolWithoutWaiting) {
  const std::wstring command = L"\"" + SampleProgram() + L"\" --no-window";
  RegSetKeyValueW(HKEY_CLASSES_ROOT, L"tavrel-test", L"URL Protocol", REG_SZ,
                  L"", sizeof(L""));
  RegSetKeyValueW(HKEY_CLASSES_ROOT, L"tavrel-test\\shell\\open\\command",
                  nullptr, REG_SZ, command.c_str(),
                  static_cast<DWORD>((command.size() + 1) * sizeof(wchar_t)));
  EXPECT_TRUE(Run("tavrel-test://home", false));
  for (int i = 0; i < 100 && !Reported(); ++i) Sleep(50);
  EXPECT_TRUE(Reported());
  RegDeleteTreeW(HKEY_CLASSES_ROOT, L"tavrel-test");
}

TEST_F(RealLauncher, NothingToStartGivesFalse) {
  EXPECT_FALSE(Run(folder_.Path() + "\\missing\\nothing.exe"));
  EXPECT_FALSE(Run(folder_.Path() + "\\My Tools\\app.exe"));
  EXPECT_FALSE(Reported());
}

// Counts the WM_APP messages any window of its class receives.
LRESULT CALLBACK CountAppMessages(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_APP) SetWindowLongPtrW(hwnd, GWLP_USERDATA, GetWindowLongPtrW(hwnd, GWLP_USERDATA) + 1);
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

// Nothing pumps messages here but the launcher's wait: a message posted
// before it must have reached its window when the wait returns.
TEST_F(RealLauncher, TheWindowsMessagesFlowDuringTheWait) {
  Options(L"--no-window --exit-after-ms 300");
  ScratchWindow window(L"TavrelCountingWindow", L"", HWND_MESSAGE, CountAppMessages);
  ASSERT_NE(window.get(), nullptr);
  ASSERT_TRUE(PostMessageW(window.get(), WM_APP, 0, 0));
  EXPECT_TRUE(Run(Program("app.exe")));
  EXPECT_EQ(GetWindowLongPtrW(window.get(), GWLP_USERDATA), 1);
}

// Waiting needs SYNCHRONIZE: a handle opened for queries alone cannot be
// waited on, and the wait says so at once instead of spinning.
TEST_F(RealLauncher, AWaitOnAHandleWithoutSynchronizeFailsAtOnce) {
  Options(L"--no-window --exit-after-ms 2000");
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION started{};
  std::wstring line = L"\"" + SampleProgram() + L"\"";
  ASSERT_TRUE(CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                             &startup, &started));
  HANDLE queryOnly = OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, started.dwProcessId);
  ASSERT_NE(queryOnly, nullptr);
  EXPECT_EQ(processes_.MsgWaitForSingleObject(queryOnly, INFINITE), WAIT_FAILED);
  EXPECT_EQ(processes_.MsgWaitForSingleObject(started.hProcess, 5000), WAIT_OBJECT_0);
  CloseHandle(queryOnly);
  CloseHandle(started.hThread);
  CloseHandle(started.hProcess);
}

TEST_F(RealLauncher, AProgramInAFolderNamedOutsideTheAnsiCodePageStarts) {
  EXPECT_TRUE(Run(Program("Zoë ゲーム 도구\\app.exe")));
  EXPECT_TRUE(Reported());
}

TEST_F(RealLauncher, AProgramThatCannotStartSaysWhy) {
  cExecute launcher(shell_, files_, processes_, loop_);
  EXPECT_FALSE(launcher.ShellX(folder_.Path() + "\\gone.exe", SW_SHOWNORMAL, nullptr, true));
  EXPECT_FALSE(launcher.Started());
  EXPECT_EQ(launcher.LastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
}

// The identity a journal keeps finds the program again only while it runs.
// Under Wine an ended process stays openable by its id for a while (on
// Windows OpenProcess fails once no handle holds it), so the check that it
// still runs is what tells the two apart here.
TEST_F(RealLauncher, AStartedProgramIsFoundAgainByItsIdentityOnlyWhileItRuns) {
  Options(L"--no-window --exit-after-ms 1500");
  cExecute launcher(shell_, files_, processes_, loop_);
  std::optional<ProcessIdentity> identity;
  bool foundWhileRunning = false;
  bool strangerFound = true;
  launcher.OnStarted([&](Handle process) {
    identity = IdentityOf(processes_, process);
    ASSERT_TRUE(identity);
    EXPECT_EQ(identity->processId, ::GetProcessId(process));
    foundWhileRunning = static_cast<bool>(OpenRunningProcess(processes_, *identity));
    strangerFound = static_cast<bool>(
        OpenRunningProcess(processes_, {identity->processId, identity->creationTime + 1}));
  });
  EXPECT_TRUE(launcher.ShellX(Program("app.exe"), SW_SHOWNORMAL, nullptr, true));
  ASSERT_TRUE(identity);
  EXPECT_TRUE(foundWhileRunning);
  EXPECT_FALSE(strangerFound);
  EXPECT_FALSE(OpenRunningProcess(processes_, *identity));
}

}  // namespace
}  // namespace tavrel::testing
