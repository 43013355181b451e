// The launcher: how a command line is split and opened, the direct start that
// follows a failed shell start, and the wait.
#include <gtest/gtest.h>

#include "fakes/fake_file_system.h"
#include "fakes/fake_processes.h"
#include "fakes/fake_shell.h"
#include "launch/cexecute.h"

namespace tavrel::fakes {
namespace {

class Launcher : public ::testing::Test {
 protected:
  Launcher() {
    files_.SetSearchPath({"C:\\Apps", "C:\\WINDOWS\\system32"});
    files_.AddFile("C:\\Apps\\app.exe");
    files_.AddFile("C:\\Apps\\readme.txt");
    files_.AddFile("C:\\WINDOWS\\system32\\notepad.exe");
  }
  bool Run(const std::string& line, bool wait = true) {
    return cExecute(shell_, files_, processes_, processes_).ShellX(line, 1, nullptr, wait);
  }
  const FakeShell::Call& LastCall() const { return shell_.calls.back(); }

  FakeFileSystem files_;
  FakeProcesses processes_{files_};
  FakeShell shell_{files_, processes_};
};

struct SplitCase {
  const char* name;
  const char* line;
  const char* file;
  const char* parameters;
};

class Splitting : public Launcher, public ::testing::WithParamInterface<SplitCase> {};

TEST_P(Splitting, TakesTheShortestPrefixThatNamesAFile) {
  files_.AddFile("C:\\Program Files\\Tool\\tool.exe");
  files_.AddFile("D:\\Apps\\Viewer Pro\\viewer.exe");
  files_.AddFolder("D:\\Apps\\Viewer");
  Run(GetParam().line, false);
  EXPECT_EQ(LastCall().file, GetParam().file);
  EXPECT_EQ(LastCall().parameters, GetParam().parameters);
}

INSTANTIATE_TEST_SUITE_P(
    , Splitting,
    ::testing::Values(
        SplitCase{"NoSpace", "C:\\Apps\\app.exe", "C:\\Apps\\app.exe", ""},
        SplitCase{"WholePathWithSpaces", "C:\\Program Files\\Tool\\tool.exe",
                  "C:\\Program Files\\Tool\\tool.exe", ""},
        SplitCase{"MissingPathWithSpacesStaysWhole", "C:\\Program Files\\Gone\\x.exe",
                  "C:\\Program Files\\Gone\\x.exe", ""},
        SplitCase{"ProgramAndArgument", "app.exe readme.txt", "app.exe", "readme.txt"},
        SplitCase{"SecondSpaceKept", "app.exe  readme.txt", "app.exe", " readme.txt"},
        SplitCase{"LeadingSpaceOpensWhole", " app.exe readme.txt", " app.exe readme.txt", ""},
        SplitCase{"QuotesAreOrdinary", "\"app.exe\" x", "\"app.exe\" x", ""},
        // A sibling folder named like the start of the path is no program.
        SplitCase{"FolderPrefixSkipped", "D:\\Apps\\Viewer Pro\\viewer.exe -v",
                  "D:\\Apps\\Viewer Pro\\viewer.exe", "-v"},
        SplitCase{"RegisteredProgramBesideSiblingFolder", "D:\\Apps\\Viewer Pro\\viewer.exe",
                  "D:\\Apps\\Viewer Pro\\viewer.exe", ""}),
    [](const auto& row) { return std::string(row.param.name); });

TEST_F(Launcher, AUrlOpensAtOnceWithoutAskingForAProcess) {
  EXPECT_TRUE(Run("http://www.ferroday.example/", false));
  EXPECT_EQ(LastCall().fMask, 0x400u);
  EXPECT_EQ(LastCall().file, "http://www.ferroday.example/");
  EXPECT_EQ(processes_.WaitCount(), 0u);
}

TEST_F(Launcher, WaitsForTheStartedProgramAndClosesItsHandle) {
  EXPECT_TRUE(Run("C:\\Apps\\app.exe"));
  EXPECT_EQ(LastCall().fMask, 0x440u);
  EXPECT_FALSE(processes_.Started().back()->running);
  EXPECT_EQ(processes_.OpenHandleCount(), 0u);
}

TEST_F(Launcher, ADocumentServedByARunningProgramNeedsNoWait) {
  EXPECT_TRUE(Run("C:\\Apps\\readme.txt"));
  EXPECT_EQ(processes_.WaitCount(), 0u);
}

TEST_F(Launcher, TheDirectStartNamesTheProgramItFound) {
  shell_.failShellExecute = true;
  EXPECT_TRUE(Run("app.exe readme.txt"));
  ASSERT_EQ(processes_.Started().size(), 1u);
  EXPECT_EQ(processes_.Started()[0]->application, "C:\\Apps\\app.exe");
  EXPECT_EQ(processes_.Started()[0]->commandLine, "\"C:\\Apps\\app.exe\" readme.txt");
  EXPECT_EQ(processes_.WaitCount(), 1u);
  EXPECT_EQ(processes_.OpenHandleCount(), 0u);
}

struct DirectCase {
  const char* name;
  const char* line;
  const char* application;  // nullptr: nothing may start
};

class DirectStart : public Launcher, public ::testing::WithParamInterface<DirectCase> {};

TEST_P(DirectStart, NeverRunsADifferentProgram) {
  files_.AddFile("C:\\My.exe");
  files_.AddFile("C:\\My Tools\\real.exe");
  shell_.failShellExecute = true;
  const bool started = Run(GetParam().line);
  EXPECT_EQ(started, GetParam().application != nullptr);
  if (GetParam().application) {
    ASSERT_EQ(processes_.Started().size(), 1u);
    EXPECT_EQ(processes_.Started()[0]->application, GetParam().application);
  } else {
    EXPECT_TRUE(processes_.Started().empty());
  }
}

INSTANTIATE_TEST_SUITE_P(
    , DirectStart,
    ::testing::Values(
        DirectCase{"MissingPathWithSpaces", "C:\\My Tools\\app.exe", nullptr},
        DirectCase{"ExistingPathWithSpaces", "C:\\My Tools\\real.exe", "C:\\My Tools\\real.exe"},
        DirectCase{"QuotedPath", "\"C:\\My Tools\\real.exe\" arg", "C:\\My Tools\\real.exe"},
        DirectCase{"BareNameGetsExe", "notepad", "C:\\WINDOWS\\system32\\notepad.exe"},
        DirectCase{"NothingThere", "nothing.exe", nullptr}),
    [](const auto& row) { return std::string(row.param.name); });

TEST_F(Launcher, BothStartsFailingGiveFalseAtOnce) {
  shell_.failShellExecute = true;
  processes_.refuseDirectStart = true;
  EXPECT_FALSE(Run("C:\\Apps\\app.exe"));
  EXPECT_EQ(processes_.WaitCount(), 0u);
}

TEST_F(Launcher, AnOverlongCommandLineIsOpenedWholeOrRefused) {
  const std::string line = "app.exe " + std::string(40000, 'a');
  shell_.failShellExecute = true;
  EXPECT_FALSE(Run(line));
  EXPECT_EQ(LastCall().file, line);
  EXPECT_TRUE(processes_.Started().empty());
}

TEST_F(Launcher, AFailedWaitEndsAtOnceAndReportsThatTheEndWasNotSeen) {
  processes_.waitsFail = true;
  EXPECT_FALSE(Run("C:\\Apps\\app.exe"));
  EXPECT_EQ(processes_.WaitCount(), 1u);
  EXPECT_EQ(processes_.OpenHandleCount(), 0u);
}

TEST_F(Launcher, PendingEventsAreDispatchedDuringTheWait) {
  int dispatched = 0;
  processes_.Queue([&] { ++dispatched; });
  processes_.Queue([&] { ++dispatched; });
  EXPECT_TRUE(Run("C:\\Apps\\app.exe"));
  EXPECT_EQ(dispatched, 2);
}

TEST(ShellRecord, HasTheTargetsSize) {
  EXPECT_EQ(sizeof(ShellExecuteInfoW), sizeof(void*) == 8 ? 112u : 60u);
}

}  // namespace
}  // namespace tavrel::fakes
